// Bookmarks on a real view and in the real registry: the keys that set and visit them, the
// values they leave, and how values of other types and sizes are read. Every test puts the
// user's Bookmark values back as they were.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "hexedit/bookmarks.h"
#include "support/test_window.h"
#include "support/unix_files.h"

namespace {

using Bytes = std::vector<uint8_t>;

std::wstring ValueName(int slot) {
    return L"Bookmark" + std::to_wstring(slot);
}

// One value as it was before the test: present or not, its type and data.
struct SavedValue {
    bool present = false;
    DWORD type = 0;
    Bytes data;
};

class BookmarksOnView : public ::testing::Test {
  protected:
    void SetUp() override {
        RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Kestrow Software\\propWeave Hex Editor", 0,
                        nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
        ASSERT_NE(key, nullptr);
        for (int slot = 0; slot < 10; ++slot) {
            SavedValue& v = saved[slot];
            DWORD size = 0;
            if (RegQueryValueExW(key, ValueName(slot).c_str(), nullptr, &v.type, nullptr, &size) ==
                ERROR_SUCCESS) {
                v.present = true;
                v.data.resize(size);
                RegQueryValueExW(key, ValueName(slot).c_str(), nullptr, &v.type,
                                 v.data.empty() ? nullptr : v.data.data(), &size);
            }
            RegDeleteValueW(key, ValueName(slot).c_str());
        }
    }
    void TearDown() override {
        if (!key)
            return;
        for (int slot = 0; slot < 10; ++slot) {
            const SavedValue& v = saved[slot];
            if (v.present)
                RegSetValueExW(key, ValueName(slot).c_str(), 0, v.type, v.data.data(),
                               static_cast<DWORD>(v.data.size()));
            else
                RegDeleteValueW(key, ValueName(slot).c_str());
        }
        RegCloseKey(key);
    }
    void Open(size_t size) {
        page.Attach();
        Load(size);
        SetFocus(page.view());
        page.Repaint();
    }
    void Load(size_t size) {
        ASSERT_EQ(editor().LoadFile(folder.Write(L"marks.bin", Bytes(size, 0x5A)).c_str()), 0u);
    }
    LRESULT Key(WPARAM key, bool shift = false, bool ctrl = false) {
        return page.Key(key, shift, ctrl);
    }
    void SetValue(int slot, DWORD type, const void* data, DWORD size) {
        ASSERT_EQ(RegSetValueExW(key, ValueName(slot).c_str(), 0, type,
                                 static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
    }
    bool StoredDword(int slot, DWORD& value) {
        DWORD type = 0, size = sizeof(value);
        return RegQueryValueExW(key, ValueName(slot).c_str(), nullptr, &type,
                                reinterpret_cast<BYTE*>(&value), &size) == ERROR_SUCCESS &&
               type == REG_DWORD && size == 4;
    }
    CHexEdit& editor() { return page.editor(); }

    HKEY key = nullptr;
    SavedValue saved[10];
    TempFolder folder;
    TestPage page;
};

} // namespace

TEST_F(BookmarksOnView, F2VisitsTheUnsetSlotsUpToTheEnd) {
    Open(100000);
    const int32_t visited[] = {0, 65536, 100000};
    for (int32_t offset : visited) {
        Key(VK_F2);
        EXPECT_EQ(editor().caretOffset, offset);
    }
    EXPECT_EQ(editor().bookmarkSlot, 2);
}

TEST_F(BookmarksOnView, SetInOneFileVisitedInAnother) {
    Open(0x1000);
    editor().caretOffset = 0x1F4;
    Key('3', true, true);
    DWORD stored = 0;
    ASSERT_TRUE(StoredDword(2, stored));
    EXPECT_EQ(stored, 500u);
    Load(0x100);
    Key('3', false, true);
    EXPECT_EQ(editor().caretOffset, 0x100); // past the end: the append position
    Load(0x1000);
    Key('3', false, true);
    EXPECT_EQ(editor().caretOffset, 0x1F4);
}

TEST_F(BookmarksOnView, DigitZeroIsTheTenthSlot) {
    Open(0x1000);
    editor().caretOffset = 77;
    Key('0', true, true);
    DWORD stored = 0;
    ASSERT_TRUE(StoredDword(9, stored));
    EXPECT_EQ(stored, 77u);
    EXPECT_EQ(editor().bookmarkSlot, 9);
}

TEST_F(BookmarksOnView, NextAndPreviousStepFromTheSlotLastUsed) {
    Open(0x100000);
    Key(VK_F2, true); // the first operation: slot 9
    EXPECT_EQ(editor().bookmarkSlot, 9);
    EXPECT_EQ(editor().caretOffset, 9 * 65536);
    Key('5', false, true); // slot 4
    Key(VK_F2);
    EXPECT_EQ(editor().bookmarkSlot, 5);
    EXPECT_EQ(editor().caretOffset, 5 * 65536);
    Key(VK_F2, true);
    Key(VK_F2, true);
    EXPECT_EQ(editor().bookmarkSlot, 3);
    EXPECT_EQ(editor().caretOffset, 3 * 65536);
}

TEST_F(BookmarksOnView, ValuesOfAtMostFourBytesAreTheOffsetWhateverTheirType) {
    const wchar_t oneCharacter[] = L"A";   // 4 bytes with its NUL
    const wchar_t twoCharacters[] = L"AB"; // 6 bytes: too long
    const uint8_t twoBytes[] = {0x10, 0x02};
    const DWORD large = 0x7FFFFFF0;
    const uint64_t wide = 0x123456789; // from 4 GiB on: a QWORD; 8 bytes of another type: none
    const struct {
        const char* what;
        DWORD type;
        const void* data;
        DWORD size;
        uint64_t read;
    } cases[] = {
        {"qword", REG_QWORD, &wide, sizeof(wide), 0x123456789},
        {"eight-byte binary", REG_BINARY, &wide, sizeof(wide), 4 * 65536},
        {"REG_SZ of one character", REG_SZ, oneCharacter, sizeof(oneCharacter), 0x41},
        {"REG_SZ of two characters", REG_SZ, twoCharacters, sizeof(twoCharacters), 4 * 65536},
        {"two-byte binary", REG_BINARY, twoBytes, sizeof(twoBytes), 0x0210},
        {"dword", REG_DWORD, &large, sizeof(large), large},
    };
    for (const auto& c : cases) {
        SetValue(4, c.type, c.data, c.size);
        EXPECT_EQ(ReadBookmark(4), c.read) << c.what;
    }
    RegDeleteValueW(key, ValueName(4).c_str());
    EXPECT_EQ(ReadBookmark(4), 4u * 65536) << "missing";

    Open(0x300000);
    SetValue(4, REG_SZ, oneCharacter, sizeof(oneCharacter));
    Key('5', false, true);
    EXPECT_EQ(editor().caretOffset, 0x41);
}

// Set with the caret past 4 GiB: a REG_QWORD of the whole offset, and Ctrl+digit leads back.
TEST_F(BookmarksOnView, SetPast4GiBIsAQwordOfTheWholeOffset) {
    page.Attach();
    const std::wstring path = folder.Path(L"huge.bin");
    ASSERT_TRUE(MakeSparseFile(path, 0x123456800) && editor().LoadFile(path.c_str()) == 0);
    editor().caretOffset = 0x123456789;
    Key('2', true, true);
    uint64_t stored = 0;
    DWORD type = 0, size = sizeof(stored);
    RegQueryValueExW(key, L"Bookmark1", nullptr, &type, reinterpret_cast<BYTE*>(&stored), &size);
    EXPECT_EQ(std::make_pair(type, stored), std::make_pair(DWORD{REG_QWORD}, 0x123456789ull));
    Key(VK_HOME, false, true);
    Key('2', false, true);
    EXPECT_EQ(editor().caretOffset, 0x123456789);
    editor().ReleaseFile();
}

TEST_F(BookmarksOnView, WriteStoresADword) {
    ASSERT_EQ(WriteBookmark(6, 123456), ERROR_SUCCESS);
    DWORD stored = 0;
    ASSERT_TRUE(StoredDword(6, stored));
    EXPECT_EQ(stored, 123456u);
    EXPECT_EQ(ReadBookmark(6), 123456u);
}
