// Copy, Cut and Paste on a real view with the system's clipboard: the exact blocks each copy
// leaves, bytes travelling between two pages and between two processes, text that other
// windows put there, and what the user keeps when the clipboard is busy or memory runs out.
#include <windows.h>

#include <imm.h>

#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "hexedit/core/byte_buffer.h"
#include "hexedit/core/copy_layouts.h"
#include "hexedit/error_text.h"
#include "resources/resource_ids.h"
#include "support/message_box_recorder.h"
#include "support/path_recorder.h"
#include "support/test_window.h"
#include "support/unix_files.h"

namespace {

using Bytes = std::vector<uint8_t>;

// The raw bytes' format, by the name another program would register.
UINT RawFormat() {
    return RegisterClipboardFormatW(L"kestrow_hex");
}

// A block of it: the count of bytes, 8 bytes little-endian, the bytes, and any slack after them.
Bytes RawBlock(const Bytes& bytes, size_t slack = 0) {
    Bytes block(8 + bytes.size() + slack, 0x55);
    for (size_t i = 0; i < 8; ++i)
        block[i] = static_cast<uint8_t>(uint64_t{bytes.size()} >> (8 * i));
    std::copy(bytes.begin(), bytes.end(), block.begin() + 8);
    return block;
}

bool OpenForTest(HWND owner) {
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (OpenClipboard(owner))
            return true;
        Sleep(20);
    }
    return false;
}

// The whole block of one format, or nothing when the format isn't there.
bool ClipboardBlock(UINT format, Bytes& block) {
    block.clear();
    if (!OpenForTest(nullptr))
        return false;
    bool found = false;
    if (HANDLE data = GetClipboardData(format)) {
        if (const void* p = GlobalLock(data)) {
            const auto* bytes = static_cast<const uint8_t*>(p);
            block.assign(bytes, bytes + GlobalSize(data));
            GlobalUnlock(data);
            found = true;
        }
    }
    CloseClipboard();
    return found;
}

Bytes TextBlock(const std::string& text, size_t zerosAfter = 1) {
    Bytes block(text.begin(), text.end());
    block.insert(block.end(), zerosAfter, 0);
    return block;
}

// Another window of the process puts one block on the clipboard, as another program would.
class OtherWindow {
  public:
    OtherWindow()
        : window_(CreateWindowExW(0, L"STATIC", L"other", 0, 0, 0, 10, 10, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr)) {}
    ~OtherWindow() { DestroyWindow(window_); }
    void Put(UINT format, const void* data, size_t size, bool alone = true) const {
        ASSERT_TRUE(OpenForTest(window_));
        if (alone)
            EmptyClipboard();
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
        if (void* p = GlobalLock(block)) {
            std::memcpy(p, data, size);
            GlobalUnlock(block);
        }
        if (!SetClipboardData(format, block))
            GlobalFree(block);
        CloseClipboard();
    }
    void Put(UINT format, const Bytes& block, bool alone = true) const {
        Put(format, block.data(), block.size(), alone);
    }
    void Clear() const {
        ASSERT_TRUE(OpenForTest(window_));
        EmptyClipboard();
        CloseClipboard();
    }

  private:
    HWND window_;
};

// Another thread keeps the clipboard open for `ms`, or until this object goes.
class ClipboardHeldElsewhere {
  public:
    explicit ClipboardHeldElsewhere(DWORD ms = 20000)
        : opened_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
          release_(CreateEventW(nullptr, TRUE, FALSE, nullptr)), holder_([this, ms] {
              const bool open = OpenForTest(nullptr);
              SetEvent(opened_);
              WaitForSingleObject(release_, ms);
              if (open)
                  CloseClipboard();
          }) {
        WaitForSingleObject(opened_, 20000);
    }
    ~ClipboardHeldElsewhere() {
        SetEvent(release_);
        holder_.join();
        CloseHandle(opened_);
        CloseHandle(release_);
    }

  private:
    HANDLE opened_;
    HANDLE release_;
    std::thread holder_;
};

struct AllocationsSucceedAgain {
    ~AllocationsSucceedAgain() { FailNextAllocations(0); }
};

class ClipboardOnView : public ::testing::Test {
  public: // the tables of actions below reach the view through these
    void SetUp() override { other.Clear(); }
    void Open(TestPage& on, const Bytes& bytes, const wchar_t* name = L"clip.bin") {
        on.Attach();
        ASSERT_EQ(on.editor().LoadFile(folder.Write(name, bytes).c_str()), 0u);
        SetForegroundWindow(on.page());
        SetFocus(on.view());
        on.Repaint();
        ASSERT_GT(on.editor().charWidth, 0);
    }
    void Open(const Bytes& bytes) { Open(page, bytes); }
    // Another file into the attached page.
    void Reload(const Bytes& bytes) {
        editor().modified = 0; // no question about the pasted bytes
        ASSERT_EQ(editor().LoadFile(folder.Write(L"again.bin", bytes).c_str()), 0u);
    }
    void Key(WPARAM key, bool shift, bool ctrl) { page.Key(key, shift, ctrl); }
    void Select(int32_t anchor, int32_t end, int32_t pane) {
        editor().SetSelection(anchor, end);
        editor().caretOffset = end;
        editor().caretPane = pane;
    }
    Bytes Buffer() {
        return editor().buffer ? Bytes(editor().buffer, editor().buffer + editor().length)
                               : Bytes();
    }
    // Everything Paste must leave alone when it inserts nothing.
    void ExpectUnchanged(const Bytes& bytes, int32_t anchor, int32_t end, int32_t caret) {
        EXPECT_EQ(Buffer(), bytes);
        EXPECT_EQ(editor().selAnchor, anchor);
        EXPECT_EQ(editor().selEnd, end);
        EXPECT_EQ(editor().caretOffset, caret);
        EXPECT_EQ(editor().modified, 0);
    }
    CHexEdit& editor() { return page.editor(); }

    TempFolder folder;
    TestPage page;
    OtherWindow other;
};

const Bytes kAbc{0x61, 0x62, 0x63};
const std::wstring kNoMemory =
    L"Could not copy to clipboard - " + SystemErrorText(ERROR_NOT_ENOUGH_MEMORY);

} // namespace

TEST_F(ClipboardOnView, CopyFromTheHexPaneGivesHexTextAndTheRawBytes) {
    Open(kAbc);
    Select(2, 0, 2); // selected backwards
    Key('C', false, true);
    Bytes text, raw;
    ASSERT_TRUE(ClipboardBlock(CF_TEXT, text));
    EXPECT_EQ(text, TextBlock("61 62 63", 2)); // 3n + 1 bytes
    ASSERT_TRUE(ClipboardBlock(RawFormat(), raw));
    EXPECT_EQ(raw, RawBlock(kAbc));
    EXPECT_EQ(editor().selAnchor, 2);
    EXPECT_EQ(editor().selEnd, 0);
    EXPECT_EQ(editor().modified, 0);
}

TEST_F(ClipboardOnView, CopyFromTheTextPaneUpToTheLastByte) {
    const Bytes bytes{0x0A, 0x41, 0x80, 0x00};
    Open(bytes);
    Select(0, 4, 1); // the moving end on the end position
    Key(VK_INSERT, false, true);
    Bytes text, raw;
    ASSERT_TRUE(ClipboardBlock(CF_TEXT, text));
    EXPECT_EQ(text, TextBlock(".A\x80."));
    ASSERT_TRUE(ClipboardBlock(RawFormat(), raw));
    EXPECT_EQ(raw, RawBlock(bytes));
}

// After Ctrl+A in a 5 GiB file the address range is copied without reading a byte, where the
// bytes themselves would need more memory than a process may have.
TEST_F(ClipboardOnView, TheAddressRangeOfAllOfAHugeFileReadsNoByte) {
    page.Attach();
    const std::wstring path = folder.Path(L"five.bin");
    ASSERT_TRUE(MakeSparseFile(path, 5LL << 30) && editor().LoadFile(path.c_str()) == 0);
    Key('A', false, true);
    MessageBoxRecorder boxes;
    editor().CopyAs(static_cast<int>(CopyLayout::AddressRange));
    Bytes text;
    ASSERT_TRUE(ClipboardBlock(CF_TEXT, text));
    EXPECT_EQ(text, TextBlock("000000000 - 13FFFFFFF"));
    EXPECT_EQ(boxes.Count(), 0u);
    editor().ReleaseFile();
}

TEST_F(ClipboardOnView, TextLayoutsLeaveOnlyTheirText) {
    const struct {
        CopyLayout layout;
        int32_t anchor, end;
        std::string text;
    } cases[] = {
        {CopyLayout::CArray, 0, 2, "0x61, 0x62, 0x63"},
        {CopyLayout::View, 0, 2, "00000000  61 62 63" + std::string(17, ' ') + "abc\r\n"},
        {CopyLayout::Address, 0, 2, "00000002"},
        {CopyLayout::AddressRange, 0, 2, "00000000 - 00000002"},
        {CopyLayout::AddressRange, 3, 3, "00000003 - 00000003"}, // no byte selected
    };
    Open(kAbc);
    for (const auto& c : cases) {
        Select(0, 2, 2);
        Key('C', false, true); // the private format from a plain copy first
        Select(c.anchor, c.end, 2);
        editor().CopyAs(static_cast<int>(c.layout));
        Bytes text, raw;
        ASSERT_TRUE(ClipboardBlock(CF_TEXT, text)) << c.text;
        EXPECT_EQ(text, TextBlock(c.text)) << c.text;
        EXPECT_FALSE(ClipboardBlock(RawFormat(), raw)) << c.text;
    }
}

TEST_F(ClipboardOnView, BytesCopiedInOnePagePasteRawInAnother) {
    const Bytes bytes{0x00, 0x0D, 0x0A, 0xFF, 0x00};
    Open(bytes);
    Select(0, 4, 1);
    Key('C', false, true);

    TestPage second;
    Open(second, Bytes{0x11, 0x22, 0x33, 0x44}, L"second.bin");
    second.editor().caretOffset = 1;
    second.editor().caretPane = 3;
    second.editor().overwriteMode = 1;
    second.Key('V', false, true);
    const CHexEdit& e = second.editor();
    EXPECT_EQ(Bytes(e.buffer, e.buffer + e.length),
              (Bytes{0x11, 0x00, 0x0D, 0x0A, 0xFF, 0x00, 0x22, 0x33, 0x44}));
    EXPECT_EQ(e.caretOffset, 6);
    EXPECT_EQ(e.caretPane, 3);
    EXPECT_EQ(e.modified, 1);
    SCROLLINFO bar{sizeof(bar), SIF_RANGE, 0, 0, 0, 0, 0};
    GetScrollInfo(second.view(), SB_VERT, &bar);
    EXPECT_EQ(bar.nMax, 1) << "the end position moved to a second row";
}

TEST_F(ClipboardOnView, TextFromAnotherWindowIsInsertedAsItsCharacters) {
    const auto unicode = [](const std::wstring& text) {
        const auto* units = reinterpret_cast<const uint8_t*>(text.c_str());
        return Bytes(units, units + (text.size() + 1) * sizeof(wchar_t));
    };
    const struct {
        const char* what;
        UINT format;
        Bytes block;
        Bytes inserted;
        Bytes beside = {}; // an 8-bit text of other bytes put with it
    } cases[] = {
        {"CF_TEXT only", CF_TEXT, TextBlock("41"), {0x34, 0x31}},
        {"CF_TEXT block larger than its text", CF_TEXT, TextBlock("ab", 9), {'a', 'b'}},
        {"CF_UNICODETEXT only", CF_UNICODETEXT, unicode(L"Hi"), {'H', 'i'}},
        // In the view's code page whatever the system's; else the 8-bit text as it is.
        {"CF_UNICODETEXT the view shows", CF_UNICODETEXT, unicode(L"\u00E9\u20AC"), {0xE9, 0x80}},
        {"CF_TEXT whatever the system reads it as", CF_TEXT, TextBlock("\xE9"), {0xE9}},
        {"CF_UNICODETEXT before CF_TEXT",
         CF_UNICODETEXT,
         unicode(L"\u00E9"),
         {0xE9},
         TextBlock("x")},
    };
    Open(Bytes{});
    for (const auto& c : cases) {
        Reload(Bytes{0x01, 0x02});
        editor().caretOffset = 1;
        other.Put(c.format, c.block);
        if (!c.beside.empty())
            other.Put(CF_TEXT, c.beside, false);
        Key(VK_INSERT, true, false);
        Bytes expected{0x01};
        expected.insert(expected.end(), c.inserted.begin(), c.inserted.end());
        expected.push_back(0x02);
        EXPECT_EQ(Buffer(), expected) << c.what;
        EXPECT_EQ(editor().caretOffset, 1 + static_cast<int32_t>(c.inserted.size())) << c.what;
    }
}

std::vector<UINT> g_placed;
decltype(&SetClipboardData) g_setClipboardData = nullptr;

HANDLE WINAPI NotePlaced(UINT format, HANDLE data) {
    g_placed.push_back(format);
    return g_setClipboardData(format, data);
}

// The test run repeats this under the Russian locale, where the system's code page is 1251.
// Where it is 1252 the system would make the same Unicode text and locale from the 8-bit text:
// the formats the copy placed itself tell.
TEST_F(ClipboardOnView, TypedAndCopiedCharactersAreTheViewsCodePage) {
    const char* acp = getenv("PROPWEAVE_ACP");
    ASSERT_TRUE(!acp || GetACP() == static_cast<UINT>(atoi(acp))) << GetACP();
    Open(Bytes{0x41, 0x42});
    editor().caretPane = 1;
    editor().caretOffset = 1;
    for (WPARAM typed : {0x00E9, 0x20AC, 0x0439, 0xD83D, 0xDE00})
        SendMessageW(page.view(), WM_CHAR, typed, 0);
    EXPECT_EQ(Buffer(), (Bytes{0x41, 0xE9, 0x80}));
    // No input method composes there: its text would sit in the placeholder's own buffer.
    EXPECT_EQ(ImmGetContext(page.view()), nullptr);
    Select(0, 2, 1);
    g_setClipboardData = reinterpret_cast<decltype(g_setClipboardData)>(
        PatchImport("SetClipboardData", reinterpret_cast<void*>(&NotePlaced)));
    Key('C', false, true);
    PatchImport("SetClipboardData", reinterpret_cast<void*>(g_setClipboardData));
    EXPECT_EQ(g_placed, (std::vector<UINT>{CF_TEXT, CF_LOCALE, CF_UNICODETEXT, RawFormat()}));
    Bytes wide;
    ASSERT_TRUE(ClipboardBlock(CF_UNICODETEXT, wide));
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(wide.data())), L"A\u00E9\u20AC");
    Bytes locale; // the 8-bit text's: US English, code page 1252, whatever the system's
    ASSERT_TRUE(ClipboardBlock(CF_LOCALE, locale));
    EXPECT_EQ(locale, (Bytes{0x09, 0x04, 0, 0}));
}

TEST_F(ClipboardOnView, PasteWithNothingToInsertChangesNothing) {
    Open(kAbc);
    Select(0, 1, 2);
    other.Clear();
    Key('V', false, true);
    ExpectUnchanged(kAbc, 0, 1, 1);
    other.Put(CF_TEXT, TextBlock("", 4)); // an empty text
    Key('V', false, true);
    ExpectUnchanged(kAbc, 0, 1, 1);
    other.Put(RawFormat(), Bytes{}.data(), 0);
    Key('V', false, true);
    ExpectUnchanged(kAbc, 0, 1, 1);
}

TEST_F(ClipboardOnView, BusyClipboardOrNoSelectionLeavesBufferAndClipboardAlone) {
    Open(kAbc);
    other.Put(CF_TEXT, TextBlock("kept"));
    Select(0, 1, 2);
    MessageBoxRecorder boxes;
    {
        ClipboardHeldElsewhere held;
        Key('V', false, true);
        ExpectUnchanged(kAbc, 0, 1, 1);
        Key('X', false, true);
        ExpectUnchanged(kAbc, 0, 1, 1);
        Key(VK_DELETE, true, false);
        ExpectUnchanged(kAbc, 0, 1, 1);
        Key('C', false, true);
        editor().CopyAs(static_cast<int>(CopyLayout::View));
    }
    editor().SetSelection(-1, -1);
    Key('C', false, true);
    EXPECT_EQ(boxes.Count(), 0u);
    Bytes text;
    ASSERT_TRUE(ClipboardBlock(CF_TEXT, text));
    EXPECT_EQ(text, TextBlock("kept"));
}

TEST_F(ClipboardOnView, CutMovesTheBytesToTheClipboard) {
    Open(kAbc);
    Select(0, 3, 2);
    Key(VK_DELETE, true, false);
    EXPECT_EQ(editor().length, 0);
    EXPECT_EQ(editor().buffer, nullptr);
    EXPECT_EQ(editor().modified, 1);
    EXPECT_EQ(editor().selAnchor, -1);
    Bytes text, raw;
    ASSERT_TRUE(ClipboardBlock(CF_TEXT, text));
    EXPECT_EQ(text, TextBlock("61 62 63", 2));
    ASSERT_TRUE(ClipboardBlock(RawFormat(), raw));
    EXPECT_EQ(raw, RawBlock(kAbc));
    Key('V', false, true);
    EXPECT_EQ(Buffer(), kAbc);
    EXPECT_EQ(editor().caretOffset, 3);
}

TEST_F(ClipboardOnView, FailedAllocationIsReportedAndTheOldClipboardKept) {
    AllocationsSucceedAgain restore;
    Open(kAbc);
    other.Put(CF_TEXT, TextBlock("kept"));
    Select(0, 2, 2);
    const struct {
        const char* what;
        int failing;
        void (*act)(ClipboardOnView&);
        size_t boxes;
    } cases[] = {
        {"copy: both blocks", 2, [](ClipboardOnView& t) { t.Key('C', false, true); }, 2},
        {"cut: both blocks", 2, [](ClipboardOnView& t) { t.Key('X', false, true); }, 2},
        {"C layout", 1,
         [](ClipboardOnView& t) { t.editor().CopyAs(static_cast<int>(CopyLayout::CArray)); }, 1},
        {"view layout", 1,
         [](ClipboardOnView& t) { t.editor().CopyAs(static_cast<int>(CopyLayout::View)); }, 1},
        {"address", 1,
         [](ClipboardOnView& t) { t.editor().CopyAs(static_cast<int>(CopyLayout::Address)); }, 1},
    };
    for (const auto& c : cases) {
        MessageBoxRecorder boxes;
        FailNextAllocations(c.failing);
        c.act(*this);
        FailNextAllocations(0);
        ASSERT_EQ(boxes.Count(), c.boxes) << c.what;
        for (const RecordedBox& box : boxes.Boxes()) {
            EXPECT_EQ(box.text, kNoMemory) << c.what;
            EXPECT_EQ(box.title, L"Hex Editor") << c.what;
            EXPECT_EQ(box.icon, BoxIcon::Error) << c.what;
            EXPECT_EQ(box.buttons, std::vector<int>{IDOK}) << c.what;
            EXPECT_FALSE(box.hasOwner) << c.what;
        }
        Bytes text;
        ASSERT_TRUE(ClipboardBlock(CF_TEXT, text)) << c.what;
        EXPECT_EQ(text, TextBlock("kept")) << c.what;
        ExpectUnchanged(kAbc, 0, 2, 2);
    }
}

TEST_F(ClipboardOnView, CutWithoutItsTextStillMovesTheRawBytes) {
    AllocationsSucceedAgain restore;
    Open(kAbc);
    Select(2, 1, 2); // selected backwards
    MessageBoxRecorder boxes;
    FailNextAllocations(1); // the text block
    Key('X', false, true);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, kNoMemory);
    EXPECT_EQ(Buffer(), (Bytes{0x61}));
    EXPECT_EQ(editor().modified, 1);
    Bytes raw, text;
    ASSERT_TRUE(ClipboardBlock(RawFormat(), raw));
    EXPECT_EQ(raw, RawBlock({0x62, 0x63}));
}

// Runs only as the child process of the test below: puts a block of the private format whose
// bytes are an odd number ending in zeros, in a block larger than they need (the system may
// give more than asked for), and holds it until told to go.
TEST(ClipboardOtherProcess, DISABLED_PutsOddSizedRawBytes) {
    wchar_t names[64] = {};
    if (!GetEnvironmentVariableW(L"PROPWEAVE_CLIPBOARD_CHILD", names, 64))
        return;
    HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, (std::wstring(names) + L"-ready").c_str());
    HANDLE done = OpenEventW(SYNCHRONIZE, FALSE, (std::wstring(names) + L"-done").c_str());
    ASSERT_TRUE(ready && done);
    OtherWindow window;
    const Bytes raw{0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06,
                    0x07, 0x08, 0x09, 0x0A, 0x00, 0x00}; // 13 bytes
    window.Put(RawFormat(), RawBlock(raw, 3));
    SetEvent(ready);
    WaitForSingleObject(done, 20000);
    CloseHandle(ready);
    CloseHandle(done);
}

TEST_F(ClipboardOnView, RawBytesFromAnotherProcessAreTheCountTheirBlockSays) {
    Open(Bytes{0xEE});
    wchar_t names[64];
    swprintf(names, 64, L"propweave-clipboard-%lu",
             static_cast<unsigned long>(GetCurrentProcessId()));
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, (std::wstring(names) + L"-ready").c_str());
    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, (std::wstring(names) + L"-done").c_str());
    SetEnvironmentVariableW(L"PROPWEAVE_CLIPBOARD_CHILD", names);
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(exe) +
                           L"\" --gtest_also_run_disabled_tests "
                           L"--gtest_filter=ClipboardOtherProcess.DISABLED_PutsOddSizedRawBytes";
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE nul =
        CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = nul;
    PROCESS_INFORMATION child{};
    const BOOL started = CreateProcessW(exe, &command[0], nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &startup, &child);
    SetEnvironmentVariableW(L"PROPWEAVE_CLIPBOARD_CHILD", nullptr);
    ASSERT_TRUE(started);
    EXPECT_EQ(WaitForSingleObject(ready, 30000), WAIT_OBJECT_0);
    Key('V', false, true);
    SetEvent(done);
    WaitForSingleObject(child.hProcess, 30000);
    CloseHandle(child.hProcess);
    CloseHandle(child.hThread);
    CloseHandle(nul);
    CloseHandle(ready);
    CloseHandle(done);
    EXPECT_EQ(Buffer(), (Bytes{0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A,
                               0x00, 0x00, 0xEE}));
    EXPECT_EQ(editor().caretOffset, 13);
}

TEST_F(ClipboardOnView, BusyForAMomentIsWaitedForAndBusyLongerChangesNothing) {
    const struct {
        WPARAM key;              // with Ctrl; 0 for the "as A&ddress" layout
        Bytes buffer, clipboard; // after a hold of 30 ms; one of 2 s changes nothing
    } cases[] = {
        {'C', kAbc, TextBlock("61 62", 2)},
        {'X', {0x63}, TextBlock("61 62", 2)},
        {0, kAbc, TextBlock("00000001")},
        {'V', {'k', 'e', 'p', 't', 0x63}, TextBlock("kept")},
    };
    Open(kAbc);
    MessageBoxRecorder boxes;
    for (DWORD heldMs : {30, 2000}) {
        for (const auto& c : cases) {
            Reload(kAbc);
            other.Put(CF_TEXT, TextBlock("kept"));
            Select(0, 1, 2);
            {
                ClipboardHeldElsewhere held(heldMs); // let go early once the command is done
                if (c.key)
                    Key(c.key, false, true);
                else
                    editor().CopyAs(static_cast<int>(CopyLayout::Address));
            }
            Bytes text;
            ASSERT_TRUE(ClipboardBlock(CF_TEXT, text));
            EXPECT_EQ(Buffer(), heldMs == 30 ? c.buffer : kAbc) << c.key << " " << heldMs;
            EXPECT_EQ(text, heldMs == 30 ? c.clipboard : TextBlock("kept"))
                << c.key << " " << heldMs;
        }
    }
    EXPECT_EQ(boxes.Count(), 0u);
}

TEST_F(ClipboardOnView, CopyTooLargeForTheClipboardIsRefusedAndNothingIsLost) {
    if (sizeof(void*) == 4)
        GTEST_SKIP() << "read on demand in 32 bits: ViewOfAGibibyteIsTooLargeIn32Bits";
    Open(kAbc);
    const std::wstring huge = folder.Path(L"huge.bin");
    ASSERT_TRUE(MakeSparseFile(huge, 2147483647)); // 2^31 - 1 bytes
    ASSERT_EQ(editor().LoadFile(huge.c_str()), 0u);
    other.Put(CF_TEXT, TextBlock("kept"));
    for (WPARAM key : {'C', 'X'}) {
        Select(0, 2147483646, key == 'C' ? 2 : 1);
        MessageBoxRecorder boxes;
        Key(key, false, true);
        ASSERT_EQ(boxes.Count(), 2u); // the text and the raw bytes
        for (const RecordedBox& box : boxes.Boxes())
            EXPECT_EQ(box.text, kNoMemory);
        Bytes text;
        ASSERT_TRUE(ClipboardBlock(CF_TEXT, text));
        EXPECT_EQ(text, TextBlock("kept"));
        EXPECT_EQ(editor().length, 2147483647); // Cut removed nothing
    }
}

// A 32-bit process reads 1 GiB on demand, and refuses its View text (over 5 GiB) with the box.
TEST_F(ClipboardOnView, ViewOfAGibibyteIsTooLargeIn32Bits) {
    if (sizeof(void*) == 8)
        GTEST_SKIP()
            << "held whole in 64 bits: CopyTooLargeForTheClipboardIsRefusedAndNothingIsLost";
    Open(kAbc);
    const std::wstring huge = folder.Path(L"huge.bin");
    ASSERT_TRUE(MakeSparseFile(huge, 1LL << 30));
    ASSERT_EQ(editor().LoadFile(huge.c_str()), 0u);
    Select(0, (1 << 30) - 1, 2);
    MessageBoxRecorder boxes;
    editor().CopyAs(static_cast<int>(CopyLayout::View));
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, kNoMemory);
}

// The copy's worker is made to start held, so the copy outlasts a second on any machine: the
// progress window comes up, and its Cancel leaves the user's clipboard and focus as they were,
// without a word.
decltype(&CreateThread) g_createThread = nullptr;
HANDLE g_heldThread = nullptr;

HANDLE WINAPI CreateHeldThread(LPSECURITY_ATTRIBUTES security, SIZE_T stack,
                               LPTHREAD_START_ROUTINE start, LPVOID parameter, DWORD flags,
                               LPDWORD id) {
    return g_heldThread =
               g_createThread(security, stack, start, parameter, flags | CREATE_SUSPENDED, id);
}

TEST_F(ClipboardOnView, LongCopyShowsProgressAndItsCancelKeepsTheClipboard) {
    Open(Bytes((2 << 20) + 1, 0x41)); // over one copy step: the copy goes to a worker
    other.Put(CF_TEXT, TextBlock("kept"));
    Select(0, 2 << 20, 2);
    g_heldThread = nullptr;
    const DWORD self = GetCurrentThreadId();
    wchar_t heading[64] = {};
    std::thread canceller([self, &heading] {
        HWND window = nullptr;
        WaitFor([&] { return (window = ProgressWindowOf(self)) != nullptr; }, 20000);
        if (window) {
            GetDlgItemTextW(window, IDC_PROGRESS_HEADING, heading, 64);
            SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        }
        WaitFor([] { return g_heldThread != nullptr; }, 20000);
        if (g_heldThread)
            ResumeThread(g_heldThread);
    });
    // Patched once the canceller runs, so that only the copy's worker starts held.
    g_createThread = reinterpret_cast<decltype(&CreateThread)>(
        PatchImport("CreateThread", reinterpret_cast<void*>(&CreateHeldThread)));
    MessageBoxRecorder boxes;
    if (g_createThread)
        Key('C', false, true);
    canceller.join();
    ASSERT_NE(g_createThread, nullptr);
    PatchImport("CreateThread", reinterpret_cast<void*>(g_createThread));
    EXPECT_STREQ(heading, L"Copying clip.bin");
    EXPECT_EQ(boxes.Count(), 0u);
    Bytes text, raw;
    ASSERT_TRUE(ClipboardBlock(CF_TEXT, text));
    EXPECT_EQ(text, TextBlock("kept"));
    EXPECT_FALSE(ClipboardBlock(RawFormat(), raw));
    EXPECT_EQ(GetFocus(), page.view());
}
