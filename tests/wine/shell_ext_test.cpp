// The extension object's AddPages: its registry work, the messages it shows and the reference
// its page holds. Uses the object linked into this program, so messages appear on this thread.
#include <windows.h>

#include <shlobj.h>

#include <gtest/gtest.h>

#include <new>
#include <string>

#include "page/selection_summary.h"
#include "server/object_counter.h"
#include "server/registry_settings.h"
#include "server/shell_ext.h"
#include "support/message_box_recorder.h"
#include "support/properties_driver.h"
#include "support/test_window.h"

namespace {

// 1 when the system counts a page's reference parent (a page of its own with a counter of its
// own shows it), 0 when it does not.
INT_PTR CALLBACK DoNothing(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

LONG SheetCountsReferenceParent() {
    UINT counter = 0;
    PROPSHEETPAGEW probe{};
    probe.dwSize = sizeof(probe);
    probe.dwFlags = PSP_USEREFPARENT | PSP_DLGINDIRECT;
    struct {
        DLGTEMPLATE head;
        WORD menu, windowClass, title;
    } const empty{{WS_CHILD, 0, 0, 0, 0, 10, 10}, 0, 0, 0};
    probe.pResource = &empty.head;
    probe.pfnDlgProc = DoNothing;
    probe.pcRefParent = &counter;
    HPROPSHEETPAGE page = CreatePropertySheetPageW(&probe);
    const UINT whileAlive = counter;
    if (page)
        DestroyPropertySheetPage(page);
    return whileAlive == 1 ? 1 : 0;
}

const wchar_t kRecordText[] = L"Software\\Kestrow Software\\propWeave Hex Editor";

// One registry value, saved when constructed and put back when destroyed.
class SavedValue {
  public:
    SavedValue(HKEY root, const wchar_t* key, const wchar_t* name)
        : root_(root), key_(key), name_(name) {
        DWORD size = sizeof(data_);
        existed_ = RegGetValueW(root, key, name, RRF_RT_ANY | RRF_NOEXPAND, &type_, data_, &size) ==
                   ERROR_SUCCESS;
        size_ = size;
    }
    ~SavedValue() {
        if (existed_)
            RegSetKeyValueW(root_, key_, name_, type_, data_, size_);
        else
            RegDeleteKeyValueW(root_, key_, name_);
    }

  private:
    HKEY root_;
    const wchar_t* key_;
    const wchar_t* name_;
    bool existed_ = false;
    DWORD type_ = 0;
    BYTE data_[512] = {};
    DWORD size_ = 0;
};

// The machine key, removed for a test and made again afterwards.
class MachineKeyRemoved {
  public:
    MachineKeyRemoved() { RegDeleteKeyW(HKEY_LOCAL_MACHINE, kMachineSettingsKey); }
    ~MachineKeyRemoved() {
        HKEY key = nullptr;
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, kMachineSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr);
        if (key)
            RegCloseKey(key);
    }
};

bool ReadDword(const wchar_t* key, DWORD* value, DWORD* type) {
    DWORD size = sizeof(*value);
    return RegGetValueW(HKEY_CURRENT_USER, key, kMemberValueName, RRF_RT_ANY, type, value, &size) ==
           ERROR_SUCCESS;
}

std::wstring ReadString(const wchar_t* key, DWORD* type) {
    wchar_t text[256] = {};
    DWORD size = sizeof(text);
    if (RegGetValueW(HKEY_CURRENT_USER, key, kMemberValueName, RRF_RT_ANY, type, text, &size) !=
        ERROR_SUCCESS)
        return L"<missing>";
    return text;
}

void SetSwitch(DWORD value) {
    RegSetKeyValueW(HKEY_CURRENT_USER, kMembersKey, kMemberValueName, REG_DWORD, &value,
                    sizeof(value));
}

class ShellExtAddPages : public testing::Test {
  protected:
    void SetUp() override {
        file_ = folder_.Write(L"item.bin", {1, 2, 3});
        ext_ = new (std::nothrow) CShellExt();
        ASSERT_NE(ext_, nullptr);
        ext_->AddRef();
    }
    void TearDown() override {
        for (HPROPSHEETPAGE page : collector_.pages)
            DestroyPropertySheetPage(page);
        collector_.pages.clear();
        if (ext_) {
            EXPECT_EQ(ext_->Release(), 0u);
        }
    }

    HRESULT AddPagesFor(const std::vector<std::wstring>& paths, bool serveDrop = true,
                        bool serveItemList = false) {
        auto* data = new DropDataObject(paths, serveDrop, serveItemList);
        ext_->Initialize(nullptr, data, nullptr);
        data->Release();
        data_ = data; // the extension keeps it
        return ext_->AddPages(PageCollector::Add, reinterpret_cast<LPARAM>(&collector_));
    }
    ULONG References() {
        ext_->AddRef();
        return ext_->Release();
    }

    SavedValue savedSwitch_{HKEY_CURRENT_USER, kMembersKey, kMemberValueName};
    SavedValue savedRecord_{HKEY_CURRENT_USER, kMembersRecordKey, kMemberValueName};
    TempFolder folder_;
    std::wstring file_;
    CShellExt* ext_ = nullptr;
    DropDataObject* data_ = nullptr;
    PageCollector collector_;
};

// Takes the mutex `param` without waiting, and gives it back.
DWORD WINAPI TakeAndRelease(LPVOID param) {
    const DWORD result = WaitForSingleObject(static_cast<HANDLE>(param), 0);
    if (result == WAIT_OBJECT_0)
        ReleaseMutex(static_cast<HANDLE>(param));
    return result;
}

} // namespace

TEST_F(ShellExtAddPages, FirstUseWritesTheSwitchAndTheRecordThenLeavesThemAlone) {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kMembersKey, kMemberValueName);
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kMembersRecordKey, kMemberValueName);
    EXPECT_EQ(AddPagesFor({file_}), S_OK);
    EXPECT_EQ(collector_.offered, 1);

    DWORD value = 99;
    DWORD type = 0;
    ASSERT_TRUE(ReadDword(kMembersKey, &value, &type));
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(value, 0u);
    EXPECT_EQ(ReadString(kMembersRecordKey, &type), kRecordText);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));

    // A record someone else wrote is kept.
    const wchar_t other[] = L"Software\\Elsewhere";
    RegSetKeyValueW(HKEY_CURRENT_USER, kMembersRecordKey, kMemberValueName, REG_SZ, other,
                    sizeof(other));
    CShellExt* second = new CShellExt();
    second->AddRef();
    auto* data = new DropDataObject({file_});
    second->Initialize(nullptr, data, nullptr);
    data->Release();
    PageCollector collector;
    second->AddPages(PageCollector::Add, reinterpret_cast<LPARAM>(&collector));
    EXPECT_EQ(ReadString(kMembersRecordKey, &type), other);
    for (HPROPSHEETPAGE page : collector.pages)
        DestroyPropertySheetPage(page);
    second->Release();
}

TEST_F(ShellExtAddPages, SwitchOffGivesNoPageButTheRegistryWorkIsDone) {
    SetSwitch(1);
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kMembersRecordKey, kMemberValueName);
    MachineKeyRemoved noMachineKey;
    MessageBoxRecorder boxes;
    const ULONG before = References();
    EXPECT_EQ(AddPagesFor({file_}), S_OK);
    EXPECT_EQ(collector_.offered, 0);
    EXPECT_EQ(References(), before);
    DWORD type = 0;
    EXPECT_EQ(ReadString(kMembersRecordKey, &type), kRecordText);
    ASSERT_EQ(boxes.Count(), 1u); // the machine key test still ran
    EXPECT_EQ(boxes.Boxes()[0].title, L"Error");
}

TEST_F(ShellExtAddPages, MissingMachineKeyIsReportedOnceAndThePageStillComes) {
    SetSwitch(0);
    MachineKeyRemoved noMachineKey;
    MessageBoxRecorder boxes;
    EXPECT_EQ(AddPagesFor({file_}), S_OK);
    EXPECT_EQ(collector_.offered, 1);
    ASSERT_EQ(boxes.Count(), 1u);
    const RecordedBox box = boxes.Boxes()[0];
    EXPECT_EQ(box.text,
              L"There was an error accessing registry. Be sure you have necessary privileges");
    EXPECT_EQ(box.title, L"Error");
    EXPECT_EQ(box.buttons, std::vector<int>{IDOK});
    EXPECT_EQ(box.icon, BoxIcon::None);
    EXPECT_FALSE(box.hasOwner);
}

TEST_F(ShellExtAddPages, WithTheMachineKeyNothingIsShown) {
    SetSwitch(0);
    MessageBoxRecorder boxes;
    EXPECT_EQ(AddPagesFor({file_}), S_OK);
    EXPECT_EQ(collector_.offered, 1);
    EXPECT_EQ(boxes.Count(), 0u);
}

TEST_F(ShellExtAddPages, AcceptedPageHoldsAReferenceUntilDestroyed) {
    SetSwitch(0);
    const ULONG before = References();
    const LONG objectsBefore = ObjectCount();
    EXPECT_EQ(AddPagesFor({file_}), S_OK);
    ASSERT_EQ(collector_.pages.size(), 1u);
    EXPECT_EQ(References(), before + 1);
    // The object stays counted while its page lives, and the page itself once more where the
    // system counts a page's reference parent (Windows does, Wine's sheet does not).
    EXPECT_EQ(ObjectCount(), objectsBefore + SheetCountsReferenceParent());
    DestroyPropertySheetPage(collector_.pages[0]);
    collector_.pages.clear();
    EXPECT_EQ(References(), before);
    EXPECT_EQ(ObjectCount(), objectsBefore);
}

// A sheet that refuses the page must get the page's reference back exactly once: a leak keeps
// the module loaded, a double release destroys the object under the shell.
TEST_F(ShellExtAddPages, RefusedPageGivesItsReferenceBackExactlyOnce) {
    SetSwitch(0);
    collector_.accept = false;
    const ULONG before = References();
    const LONG objectsBefore = ObjectCount();
    EXPECT_EQ(AddPagesFor({file_}), S_OK);
    EXPECT_EQ(collector_.offered, 1);
    EXPECT_EQ(References(), before);
    EXPECT_EQ(ObjectCount(), objectsBefore);
}

// Shells may refuse the drop list (for items at long paths): the item list then gives the same
// items, in its order.
TEST_F(ShellExtAddPages, DataObjectWithoutDropGivesItsItemListOrNoPage) {
    SetSwitch(0);
    EXPECT_EQ(AddPagesFor({file_}, false), S_OK);
    EXPECT_EQ(collector_.offered, 0);
    const std::wstring other = folder_.Write(L"other.bin", {4});
    EXPECT_EQ(AddPagesFor({other, file_}, false, true), S_OK);
    EXPECT_EQ(collector_.offered, 1);
    EXPECT_EQ(data_->ItemListsOut(), 0);
    ASSERT_EQ(ext_->dropCount, 2u);
    EXPECT_EQ(SelectionPath(*ext_, 0), other);
    EXPECT_EQ(SelectionPath(*ext_, 1), file_);
}

TEST_F(ShellExtAddPages, FirstItemThatNoLongerExistsGivesNoPage) {
    SetSwitch(0);
    EXPECT_EQ(AddPagesFor({folder_.Path(L"gone.bin"), file_}), S_OK);
    EXPECT_EQ(collector_.offered, 0);
}

TEST_F(ShellExtAddPages, NoDataObjectGivesNoPage) {
    SetSwitch(0);
    EXPECT_EQ(ext_->AddPages(PageCollector::Add, reinterpret_cast<LPARAM>(&collector_)), S_OK);
    EXPECT_EQ(collector_.offered, 0);
}

TEST(ShellExtObject, HoldsTheNamedMutexWithoutOwningIt) {
    CShellExt* ext = new CShellExt();
    ext->AddRef();
    ASSERT_NE(ext->instanceMutex, nullptr);
    HANDLE other = OpenMutexW(SYNCHRONIZE, FALSE, L"{2281DD07-CD57-4026-AA9F-80BE139EFA21}");
    ASSERT_NE(other, nullptr);
    // Not owned by the object: another thread can take it at once.
    DWORD waited = WAIT_FAILED;
    HANDLE thread = CreateThread(nullptr, 0, TakeAndRelease, other, 0, nullptr);
    WaitForSingleObject(thread, INFINITE);
    GetExitCodeThread(thread, &waited);
    CloseHandle(thread);
    EXPECT_EQ(waited, WAIT_OBJECT_0);
    CloseHandle(other);
    EXPECT_EQ(ext->Release(), 0u);
}
