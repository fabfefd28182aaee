// End to end through Wine's own Properties dialog: the registered DLL is loaded by the shell for
// the items' context menu verb "properties", the dialog runs on this thread and a second thread
// drives it as a user would.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "resources/resource_ids.h"
#include "support/message_box_recorder.h"
#include "support/properties_driver.h"
#include "support/test_window.h"

namespace {

struct PageView {
    bool found = false;
    std::wstring label, name, location;
    std::vector<std::wstring> entries;
    int selected = -1;
    bool chooserEnabled = false;
    bool viewEnabled = false;
    bool viewFocused = false;
    int scrollMax = -1;
};

PageView Look(HWND page, DWORD sheetThread) {
    PageView v;
    v.found = page != nullptr;
    if (!page)
        return v;
    v.label = WindowText(GetDlgItem(page, IDC_NAME_LABEL));
    v.name = WindowText(GetDlgItem(page, IDC_NAME_TEXT));
    v.location = WindowText(GetDlgItem(page, IDC_LOCATION_TEXT));
    HWND chooser = GetDlgItem(page, IDC_FILE_CHOOSER);
    v.entries = ComboEntries(chooser);
    DWORD_PTR selected = 0;
    SendMessageTimeoutW(chooser, CB_GETCURSEL, 0, 0, SMTO_NORMAL, 10000, &selected);
    v.selected = static_cast<int>(static_cast<LRESULT>(selected));
    v.chooserEnabled = IsWindowEnabled(chooser) != FALSE;
    HWND view = GetDlgItem(page, IDC_HEX_VIEW);
    v.viewEnabled = IsWindowEnabled(view) != FALSE;
    v.viewFocused = FocusOfThread(sheetThread) == view;
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE;
    if (GetScrollInfo(view, SB_VERT, &info))
        v.scrollMax = info.nMax;
    return v;
}

void Press(HWND sheet, int button) {
    PostMessageW(sheet, PSM_PRESSBUTTON, button, 0);
}

// Presses a button and waits until the sheet has handled it (a question answered included).
void PressAndWait(HWND sheet, int button) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(sheet, PSM_PRESSBUTTON, static_cast<WPARAM>(button), 0, SMTO_NORMAL, 30000,
                        &result);
}

void WaitUntilClosed(HWND sheet) {
    for (int waited = 0; IsWindow(sheet) && waited < 20000; waited += 20)
        Sleep(20);
}

// Types one hex digit into the view, as the keyboard would.
void TypeIntoView(HWND page, wchar_t digit) {
    HWND view = GetDlgItem(page, IDC_HEX_VIEW);
    DWORD_PTR result = 0;
    SendMessageTimeoutW(view, WM_CHAR, digit, 1, SMTO_NORMAL, 10000, &result);
}

std::vector<uint8_t> Bytes(size_t count, uint8_t seed) {
    std::vector<uint8_t> bytes(count);
    for (size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<uint8_t>(seed + i * 13);
    return bytes;
}

} // namespace

TEST(ShellProperties, OneFileShowsItsNameLocationAndBytesWithTheFocusOnTheView) {
    TempFolder folder;
    const std::wstring file = folder.Write(L"report.bin", Bytes(1000, 1));
    const DWORD thread = GetCurrentThreadId();
    PageView seen;
    const HRESULT hr = OpenShellProperties({file}, [&](HWND sheet) {
        if (!sheet)
            return;
        seen = Look(ShowHexPage(sheet), thread);
        Press(sheet, PSBTN_OK);
        WaitUntilClosed(sheet);
    });
    EXPECT_EQ(hr, S_OK);
    ASSERT_TRUE(seen.found) << "no Hex Editor page in the shell's dialog";
    EXPECT_EQ(seen.label, L"Name:");
    EXPECT_EQ(seen.name, L"report.bin");
    EXPECT_EQ(seen.location, folder.folder());
    EXPECT_EQ(seen.entries, std::vector<std::wstring>{L"report.bin"});
    EXPECT_FALSE(seen.chooserEnabled);
    EXPECT_TRUE(seen.viewEnabled);
    EXPECT_TRUE(seen.viewFocused);
    EXPECT_EQ(seen.scrollMax, 125); // 125 rows of 8 bytes and the end position's row
    EXPECT_EQ(ReadAll(file), Bytes(1000, 1));
}

TEST(ShellProperties, OneFolderShowsNoFilesAndLoadsNothing) {
    TempFolder folder;
    CreateDirectoryW(folder.Path(L"Sub").c_str(), nullptr);
    const DWORD thread = GetCurrentThreadId();
    PageView seen;
    OpenShellProperties({folder.Path(L"Sub")}, [&](HWND sheet) {
        if (!sheet)
            return;
        seen = Look(ShowHexPage(sheet), thread);
        Press(sheet, PSBTN_OK);
        WaitUntilClosed(sheet);
    });
    RemoveDirectoryW(folder.Path(L"Sub").c_str());
    ASSERT_TRUE(seen.found) << "no Hex Editor page in the shell's dialog";
    EXPECT_EQ(seen.name, L"Sub");
    EXPECT_EQ(seen.entries, std::vector<std::wstring>{L"No Files Selected"});
    EXPECT_FALSE(seen.viewEnabled);
    EXPECT_FALSE(seen.viewFocused);
}

TEST(ShellProperties, FileAndFolderShowTheCount) {
    TempFolder folder;
    const std::wstring file = folder.Write(L"a.bin", Bytes(64, 2));
    CreateDirectoryW(folder.Path(L"Sub").c_str(), nullptr);
    const DWORD thread = GetCurrentThreadId();
    PageView seen;
    OpenShellProperties({file, folder.Path(L"Sub")}, [&](HWND sheet) {
        if (!sheet)
            return;
        seen = Look(ShowHexPage(sheet), thread);
        Press(sheet, PSBTN_OK);
        WaitUntilClosed(sheet);
    });
    RemoveDirectoryW(folder.Path(L"Sub").c_str());
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.label, L"Count:");
    EXPECT_EQ(seen.name, L"1 File, 1 Folder");
    EXPECT_EQ(seen.location, L"All in " + folder.folder());
    EXPECT_EQ(seen.entries, std::vector<std::wstring>{L"a.bin"});
    EXPECT_FALSE(seen.chooserEnabled);
    EXPECT_TRUE(seen.viewEnabled);
}

TEST(ShellProperties, SeveralFilesSwitchWithTheLoadQuestionAndCancelKeepsTheOldEntry) {
    TempFolder folder;
    const std::wstring c = folder.Write(L"c.bin", Bytes(300, 3));
    const std::wstring a = folder.Write(L"a.bin", Bytes(20, 4));
    const std::wstring b = folder.Write(L"b.bin", Bytes(30, 5));
    const DWORD thread = GetCurrentThreadId();
    MessageBoxRecorder boxes(thread);
    PageView first, afterCancel;
    OpenShellProperties({c, a, b}, [&](HWND sheet) {
        if (!sheet)
            return;
        HWND page = ShowHexPage(sheet);
        first = Look(page, thread);
        if (!page)
            return;
        TypeIntoView(page, L'7');
        boxes.Answer({IDCANCEL});
        HWND chooser = GetDlgItem(page, IDC_FILE_CHOOSER);
        DWORD_PTR result = 0;
        SendMessageTimeoutW(chooser, CB_SETCURSEL, 2, 0, SMTO_NORMAL, 10000, &result);
        SendMessageTimeoutW(page, WM_COMMAND, MAKEWPARAM(IDC_FILE_CHOOSER, CBN_SELCHANGE),
                            reinterpret_cast<LPARAM>(chooser), SMTO_NORMAL, 30000, &result);
        afterCancel = Look(page, thread);
        boxes.Answer({IDNO}); // the closing question: drop the typed change
        Press(sheet, PSBTN_OK);
        WaitUntilClosed(sheet);
    });
    ASSERT_TRUE(first.found);
    EXPECT_EQ(first.name, L"3 Files");
    EXPECT_EQ(first.entries, (std::vector<std::wstring>{L"c.bin", L"a.bin", L"b.bin"}));
    EXPECT_TRUE(first.chooserEnabled);
    EXPECT_EQ(first.selected, 0);
    const auto shown = MessageBoxesOnly(boxes);
    ASSERT_GE(shown.size(), 1u);
    EXPECT_EQ(shown[0].title, L"Load");
    EXPECT_EQ(shown[0].text, L"The file has changed. Do you want to save changes?");
    EXPECT_EQ(afterCancel.selected, 0);
    EXPECT_EQ(ReadAll(c), Bytes(300, 3));
}

TEST(ShellProperties, OkWithATypedChangeAndYesSavesIt) {
    TempFolder folder;
    const std::wstring file = folder.Write(L"edit.bin", {0x12, 0x34, 0x56});
    const DWORD thread = GetCurrentThreadId();
    MessageBoxRecorder boxes(thread);
    bool stillOpenAfterCancel = false;
    OpenShellProperties({file}, [&](HWND sheet) {
        if (!sheet)
            return;
        HWND page = ShowHexPage(sheet);
        if (!page)
            return;
        TypeIntoView(page, L'7');
        boxes.Answer({IDCANCEL});
        PressAndWait(sheet, PSBTN_OK);
        stillOpenAfterCancel = IsWindow(sheet) && IsWindowVisible(sheet);
        boxes.Answer({IDYES});
        Press(sheet, PSBTN_OK);
        WaitUntilClosed(sheet);
    });
    const auto shown = MessageBoxesOnly(boxes);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].title, L"Hex Editor");
    EXPECT_EQ(shown[0].text, L"The file has changed. Do you want to save changes?");
    EXPECT_TRUE(stillOpenAfterCancel);
    EXPECT_EQ(ReadAll(file), (std::vector<uint8_t>{0x72, 0x34, 0x56}));
}

TEST(ShellProperties, SheetCancelWithAChangeAsksYesOrNo) {
    TempFolder folder;
    const std::wstring file = folder.Write(L"edit.bin", {0x12, 0x34});
    const DWORD thread = GetCurrentThreadId();
    MessageBoxRecorder boxes(thread);
    OpenShellProperties({file}, [&](HWND sheet) {
        if (!sheet)
            return;
        HWND page = ShowHexPage(sheet);
        if (!page)
            return;
        TypeIntoView(page, L'A');
        boxes.Answer({IDNO});
        Press(sheet, PSBTN_CANCEL);
        WaitUntilClosed(sheet);
    });
    const auto shown = MessageBoxesOnly(boxes);
    ASSERT_EQ(shown.size(), 1u);
    std::vector<int> buttons = shown[0].buttons;
    std::sort(buttons.begin(), buttons.end());
    EXPECT_EQ(buttons, (std::vector<int>{IDYES, IDNO}));
    EXPECT_EQ(ReadAll(file), (std::vector<uint8_t>{0x12, 0x34}));
}

// The items vanish between the shell's look at them and the page's: the user is told about four
// of them, the one file still loads.
TEST(ShellProperties, FiveUnreadableItemsGiveFourMessages) {
    TempFolder folder;
    std::vector<std::wstring> paths{folder.Write(L"keep.bin", Bytes(16, 6))};
    for (int i = 1; i <= 5; ++i)
        paths.push_back(folder.Write(L"gone" + std::to_wstring(i) + L".bin", {1}));
    const DWORD thread = GetCurrentThreadId();
    MessageBoxRecorder boxes(thread);
    PageView seen;
    OpenShellProperties(
        paths,
        [&](HWND sheet) {
            if (!sheet)
                return;
            seen = Look(ShowHexPage(sheet), thread);
            Press(sheet, PSBTN_OK);
            WaitUntilClosed(sheet);
        },
        [&] {
            for (size_t i = 1; i < paths.size(); ++i)
                DeleteFileW(paths[i].c_str());
        });
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.name, L"6 Files");
    EXPECT_EQ(seen.entries, std::vector<std::wstring>{L"keep.bin"});
    const auto shown = MessageBoxesOnly(boxes);
    ASSERT_EQ(shown.size(), 4u);
    for (const RecordedBox& box : shown) {
        EXPECT_EQ(box.title, L"Error");
        EXPECT_EQ(box.text.rfind(L"There was an error accessing file ", 0), 0u);
    }
    EXPECT_EQ(ReadAll(paths[0]), Bytes(16, 6));
}
