// The page coming up in a property sheet on this thread: header, chooser, file list, tooltip,
// icon, first load and focus, for the kinds of selection a user can make.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include "page/page_data.h"
#include "resources/resource_ids.h"
#include "server/shell_ext.h"
#include "support/message_box_recorder.h"
#include "support/properties_driver.h"
#include "support/test_window.h"

namespace {

std::wstring ToolText(HWND tooltip, HWND page, HWND control) {
    wchar_t text[1024] = {};
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = page;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = text;
    SendMessageW(tooltip, TTM_GETTEXTW, 1024, reinterpret_cast<LPARAM>(&tool));
    return text;
}

} // namespace

TEST(PageStartup, OneFileShowsNameLocationAndBytesWithTheFocusOnTheView) {
    TempFolder folder;
    const std::vector<uint8_t> bytes = SeededBytes(1000, 3);
    const std::wstring file = folder.Write(L"report.txt", bytes);
    MessageBoxRecorder boxes;
    InProcessSheet sheet({file});
    ASSERT_NE(sheet.page(), nullptr);

    EXPECT_EQ(WindowText(sheet.control(IDC_NAME_LABEL)), L"Name:");
    EXPECT_EQ(WindowText(sheet.control(IDC_NAME_TEXT)), L"report.txt");
    EXPECT_EQ(WindowText(sheet.control(IDC_LOCATION_TEXT)), folder.folder());
    EXPECT_EQ(ComboEntries(sheet.control(IDC_FILE_CHOOSER)),
              std::vector<std::wstring>{L"report.txt"});
    EXPECT_FALSE(IsWindowEnabled(sheet.control(IDC_FILE_CHOOSER)));
    EXPECT_FALSE(IsWindowEnabled(sheet.control(IDC_FILE_LABEL)));
    EXPECT_TRUE(IsWindowEnabled(sheet.control(IDC_HEX_VIEW)));
    EXPECT_EQ(EditorBytes(sheet.ext().editor), bytes);
    EXPECT_EQ(sheet.ext().editor.modified, 0);
    EXPECT_EQ(GetFocus(), sheet.control(IDC_HEX_VIEW));
    EXPECT_EQ(sheet.ext().fileIndexCount, 1);
    EXPECT_EQ(sheet.ext().currentFile, 0);
    EXPECT_EQ(WindowText(sheet.control(IDC_MODULES_LINK)), L"Get more modules");
    EXPECT_EQ(WindowText(sheet.control(IDC_HELP_LINK)), L"Keyboard shortcuts");
    for (const RecordedBox& box : MessageBoxesOnly(boxes))
        ADD_FAILURE() << "unexpected box: " << testing::PrintToString(box.text) << " title "
                      << testing::PrintToString(box.title) << " buttons " << box.buttons.size();

    // Tooltips carry the whole texts of the narrow fields and the chooser's full path.
    HWND tooltip = sheet.ext().tooltipWnd;
    ASSERT_NE(tooltip, nullptr);
    EXPECT_EQ(SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0), 3);
    EXPECT_EQ(ToolText(tooltip, sheet.page(), sheet.control(IDC_NAME_TEXT)), L"report.txt");
    EXPECT_EQ(ToolText(tooltip, sheet.page(), sheet.control(IDC_LOCATION_TEXT)), folder.folder());
    EXPECT_EQ(ToolText(tooltip, sheet.page(), sheet.control(IDC_FILE_CHOOSER)), file);
}

TEST(PageStartup, FileWithoutAnAssociatedIconShowsNoIcon) {
    TempFolder folder;
    InProcessSheet sheet({folder.Write(L"data.nothingopensthis", SeededBytes(10, 1))});
    ASSERT_NE(sheet.page(), nullptr);
    EXPECT_EQ(SendMessageW(sheet.control(IDC_HEADER_ICON), STM_GETICON, 0, 0), 0);
}

TEST(PageStartup, TheOnePixelAdjustmentsAreMade) {
    TempFolder folder;
    InProcessSheet sheet({folder.Write(L"a.bin", {1})});
    ASSERT_NE(sheet.page(), nullptr);
    auto rectOf = [&](int id) {
        RECT r{};
        GetWindowRect(sheet.control(id), &r);
        MapWindowPoints(nullptr, sheet.page(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    auto dialogRect = [&](int x, int y, int cx, int cy) {
        RECT r{x, y, x + cx, y + cy};
        MapDialogRect(sheet.page(), &r);
        return r;
    };
    EXPECT_EQ(rectOf(IDC_MODULES_LINK).top, dialogRect(92, 189, 128, 10).top + 1);
    EXPECT_EQ(rectOf(IDC_HELP_LINK).top, dialogRect(92, 169, 128, 10).top + 1);
    // The dialog manager maps sizes on their own, not as differences of mapped edges.
    const RECT help = dialogRect(0, 0, 81, 10);
    EXPECT_EQ(rectOf(IDC_HELP_LABEL).right - rectOf(IDC_HELP_LABEL).left,
              help.right - help.left - 1);
    const RECT label = dialogRect(0, 0, 81, 10);
    EXPECT_EQ(rectOf(IDC_FILE_LABEL).right - rectOf(IDC_FILE_LABEL).left,
              label.right - label.left - 1);
    EXPECT_EQ(rectOf(IDC_FILE_LABEL).left, dialogRect(7, 157, 81, 10).left);
}

TEST(PageStartup, OneFolderShowsNoFilesAndLoadsNothing) {
    TempFolder folder;
    CreateDirectoryW(folder.Path(L"Sub").c_str(), nullptr);
    MessageBoxRecorder boxes;
    InProcessSheet sheet({folder.Path(L"Sub")});
    ASSERT_NE(sheet.page(), nullptr);
    EXPECT_EQ(WindowText(sheet.control(IDC_NAME_TEXT)), L"Sub");
    EXPECT_EQ(WindowText(sheet.control(IDC_LOCATION_TEXT)), folder.folder());
    EXPECT_EQ(ComboEntries(sheet.control(IDC_FILE_CHOOSER)),
              std::vector<std::wstring>{L"No Files Selected"});
    EXPECT_EQ(SendMessageW(sheet.control(IDC_FILE_CHOOSER), CB_GETCURSEL, 0, 0), 0);
    EXPECT_FALSE(IsWindowEnabled(sheet.control(IDC_HEX_VIEW)));
    EXPECT_FALSE(IsWindowEnabled(sheet.control(IDC_FILE_CHOOSER)));
    EXPECT_EQ(sheet.ext().editor.length, 0);
    EXPECT_EQ(sheet.ext().fileIndexCount, 0);
    EXPECT_EQ(MessageBoxesOnly(boxes).size(), 0u);
    RemoveDirectoryW(folder.Path(L"Sub").c_str());
}

// The file comes second: the chooser and its tip name the file, not the folder before it.
TEST(PageStartup, FolderAndFileShowCountAndLoadTheFile) {
    TempFolder folder;
    CreateDirectoryW(folder.Path(L"Sub").c_str(), nullptr);
    const std::vector<uint8_t> bytes = SeededBytes(40, 9);
    const std::wstring file = folder.Write(L"data.bin", bytes);
    InProcessSheet sheet({folder.Path(L"Sub"), file});
    ASSERT_NE(sheet.page(), nullptr);
    EXPECT_EQ(WindowText(sheet.control(IDC_NAME_LABEL)), L"Count:");
    EXPECT_EQ(WindowText(sheet.control(IDC_NAME_TEXT)), L"1 File, 1 Folder");
    EXPECT_EQ(WindowText(sheet.control(IDC_LOCATION_TEXT)), L"All in " + folder.folder());
    EXPECT_EQ(ComboEntries(sheet.control(IDC_FILE_CHOOSER)),
              std::vector<std::wstring>{L"data.bin"});
    EXPECT_FALSE(IsWindowEnabled(sheet.control(IDC_FILE_CHOOSER)));
    EXPECT_EQ(EditorBytes(sheet.ext().editor), bytes);
    EXPECT_EQ(ToolText(sheet.ext().tooltipWnd, sheet.page(), sheet.control(IDC_FILE_CHOOSER)),
              file);
    // Several items: the module's own icon, not one extracted for an item.
    EXPECT_EQ(
        reinterpret_cast<HICON>(SendMessageW(sheet.control(IDC_HEADER_ICON), STM_GETICON, 0, 0)),
        LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_SEVERAL_ITEMS)));
    RemoveDirectoryW(folder.Path(L"Sub").c_str());
}

TEST(PageStartup, SeveralFilesListedInSelectionOrderAndTheFirstLoaded) {
    TempFolder folder;
    const std::wstring b = folder.Write(L"b.bin", SeededBytes(10, 1));
    const std::wstring a = folder.Write(L"a.bin", SeededBytes(20, 2));
    const std::wstring c = folder.Write(L"c.dat", SeededBytes(30, 3));
    InProcessSheet sheet({b, a, c});
    ASSERT_NE(sheet.page(), nullptr);
    EXPECT_EQ(WindowText(sheet.control(IDC_NAME_TEXT)), L"3 Files");
    EXPECT_EQ(ComboEntries(sheet.control(IDC_FILE_CHOOSER)),
              (std::vector<std::wstring>{L"b.bin", L"a.bin", L"c.dat"}));
    EXPECT_TRUE(IsWindowEnabled(sheet.control(IDC_FILE_CHOOSER)));
    EXPECT_TRUE(IsWindowEnabled(sheet.control(IDC_FILE_LABEL)));
    EXPECT_EQ(EditorBytes(sheet.ext().editor), SeededBytes(10, 1));
    EXPECT_EQ(GetFocus(), sheet.control(IDC_HEX_VIEW));
}

TEST(PageSwitch, ChoosingAnotherEntryLoadsThatFile) {
    TempFolder folder;
    const std::wstring b = folder.Write(L"b.bin", SeededBytes(10, 1));
    const std::wstring a = folder.Write(L"a.bin", SeededBytes(20, 2));
    MessageBoxRecorder boxes;
    InProcessSheet sheet({b, a});
    ASSERT_NE(sheet.page(), nullptr);
    HWND chooser = sheet.control(IDC_FILE_CHOOSER);
    SendMessageW(chooser, CB_SETCURSEL, 1, 0);
    SendMessageW(sheet.page(), WM_COMMAND, MAKEWPARAM(IDC_FILE_CHOOSER, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(chooser));
    EXPECT_EQ(EditorBytes(sheet.ext().editor), SeededBytes(20, 2));
    EXPECT_EQ(sheet.ext().currentFile, 1);
    EXPECT_EQ(ToolText(sheet.ext().tooltipWnd, sheet.page(), chooser), a);
    EXPECT_EQ(MessageBoxesOnly(boxes).size(), 0u);
}

TEST(PageSwitch, UnsavedChangesAskLoadAndCancelKeepsTheOldEntryAndTheChanges) {
    TempFolder folder;
    const std::wstring b = folder.Write(L"b.bin", SeededBytes(10, 1));
    const std::wstring a = folder.Write(L"a.bin", SeededBytes(20, 2));
    MessageBoxRecorder boxes;
    InProcessSheet sheet({b, a});
    ASSERT_NE(sheet.page(), nullptr);
    CHexEdit& editor = sheet.ext().editor;
    editor.buffer[0] = 0xEE;
    editor.modified = 1;

    boxes.Answer({IDCANCEL});
    HWND chooser = sheet.control(IDC_FILE_CHOOSER);
    SendMessageW(chooser, CB_SETCURSEL, 1, 0);
    SendMessageW(sheet.page(), WM_COMMAND, MAKEWPARAM(IDC_FILE_CHOOSER, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(chooser));
    ASSERT_EQ(MessageBoxesOnly(boxes).size(), 1u);
    EXPECT_EQ(MessageBoxesOnly(boxes)[0].title, L"Load");
    EXPECT_EQ(MessageBoxesOnly(boxes)[0].text,
              L"The file has changed. Do you want to save changes?");
    EXPECT_EQ(SendMessageW(chooser, CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(sheet.ext().currentFile, 0);
    EXPECT_EQ(ToolText(sheet.ext().tooltipWnd, sheet.page(), chooser), b);
    EXPECT_EQ(editor.modified, 1);
    EXPECT_EQ(editor.buffer[0], 0xEE);
    EXPECT_TRUE(IsWindowEnabled(sheet.control(IDC_HEX_VIEW)));
    EXPECT_EQ(ReadAll(b), SeededBytes(10, 1));
}

// Entries map to the files of the selection, not to its items: with a folder first, entry k is
// the k-th file. Switched entry by entry, each one loads its own file and its tip names it.
TEST(PageSwitch, AFolderBeforeTheFilesEachEntryLoadsItsOwnFile) {
    TempFolder folder;
    CreateDirectoryW(folder.Path(L"Sub").c_str(), nullptr);
    const std::vector<std::wstring> files = {folder.Write(L"b.bin", SeededBytes(10, 1)),
                                             folder.Write(L"a.bin", SeededBytes(20, 2)),
                                             folder.Write(L"c.dat", SeededBytes(30, 3))};
    const std::vector<std::vector<uint8_t>> contents = {SeededBytes(10, 1), SeededBytes(20, 2),
                                                        SeededBytes(30, 3)};
    MessageBoxRecorder boxes;
    {
        InProcessSheet sheet({folder.Path(L"Sub"), files[0], files[1], files[2]});
        ASSERT_NE(sheet.page(), nullptr);
        HWND chooser = sheet.control(IDC_FILE_CHOOSER);
        EXPECT_EQ(ComboEntries(chooser), (std::vector<std::wstring>{L"b.bin", L"a.bin", L"c.dat"}));
        EXPECT_EQ(EditorBytes(sheet.ext().editor), contents[0]);
        EXPECT_EQ(ToolText(sheet.ext().tooltipWnd, sheet.page(), chooser), files[0]);
        for (int entry : {1, 2, 0, 2}) {
            SendMessageW(chooser, CB_SETCURSEL, static_cast<WPARAM>(entry), 0);
            SendMessageW(sheet.page(), WM_COMMAND, MAKEWPARAM(IDC_FILE_CHOOSER, CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(chooser));
            EXPECT_EQ(EditorBytes(sheet.ext().editor), contents[entry]) << "entry " << entry;
            EXPECT_EQ(sheet.ext().currentFile, entry);
            EXPECT_EQ(SendMessageW(chooser, CB_GETCURSEL, 0, 0), entry);
            EXPECT_EQ(ToolText(sheet.ext().tooltipWnd, sheet.page(), chooser), files[entry])
                << "entry " << entry;
        }
        EXPECT_EQ(MessageBoxesOnly(boxes).size(), 0u);
    }
    RemoveDirectoryW(folder.Path(L"Sub").c_str());
}

// A selection change that names no file (the "No Files Selected" entry) loads nothing.
TEST(PageSwitch, EntryWithoutAFileLoadsNothing) {
    TempFolder folder;
    CreateDirectoryW(folder.Path(L"S1").c_str(), nullptr);
    CreateDirectoryW(folder.Path(L"S2").c_str(), nullptr);
    MessageBoxRecorder boxes;
    InProcessSheet sheet({folder.Path(L"S1"), folder.Path(L"S2")});
    ASSERT_NE(sheet.page(), nullptr);
    SendMessageW(sheet.page(), WM_COMMAND, MAKEWPARAM(IDC_FILE_CHOOSER, CBN_SELCHANGE), 0);
    EXPECT_EQ(MessageBoxesOnly(boxes).size(), 0u);
    EXPECT_EQ(sheet.ext().editor.length, 0);
    EXPECT_FALSE(IsWindowEnabled(sheet.control(IDC_HEX_VIEW)));
    sheet.Close();
    RemoveDirectoryW(folder.Path(L"S1").c_str());
    RemoveDirectoryW(folder.Path(L"S2").c_str());
}

namespace {
int g_allocationsLeft = 0;
void* FailAfter(size_t count, size_t size) {
    if (g_allocationsLeft-- <= 0)
        return nullptr;
    return calloc(count, size);
}
struct AllocatorFailing {
    explicit AllocatorFailing(int succeeding) {
        g_allocationsLeft = succeeding;
        SetPageAllocator(FailAfter);
    }
    ~AllocatorFailing() { SetPageAllocator(nullptr); }
};
} // namespace

// Without its record the page comes up silent, shows nothing and loads nothing; the sheet
// still closes cleanly.
TEST(PageOutOfMemory, WithoutThePageRecordNothingIsShownOrLoaded) {
    TempFolder folder;
    const std::wstring file = folder.Write(L"a.bin", SeededBytes(10, 1));
    MessageBoxRecorder boxes;
    AllocatorFailing failing(0);
    InProcessSheet sheet({file});
    ASSERT_NE(sheet.page(), nullptr);
    EXPECT_EQ(MessageBoxesOnly(boxes).size(), 0u);
    EXPECT_FALSE(IsWindowEnabled(sheet.control(IDC_HEX_VIEW)));
    EXPECT_FALSE(IsWindowEnabled(sheet.control(IDC_FILE_CHOOSER)));
    EXPECT_EQ(sheet.ext().editor.length, 0);
    EXPECT_FALSE(sheet.PressButton(PSBTN_OK));
    EXPECT_EQ(ReadAll(file), SeededBytes(10, 1));
}

TEST(PageOutOfMemory, WithoutTheFileListTheChooserStaysEmptyAndNothingLoads) {
    TempFolder folder;
    const std::wstring a = folder.Write(L"a.bin", SeededBytes(10, 1));
    const std::wstring b = folder.Write(L"b.bin", SeededBytes(10, 2));
    MessageBoxRecorder boxes;
    AllocatorFailing failing(1); // the record, not the list
    InProcessSheet sheet({a, b});
    ASSERT_NE(sheet.page(), nullptr);
    EXPECT_EQ(MessageBoxesOnly(boxes).size(), 0u);
    EXPECT_EQ(WindowText(sheet.control(IDC_NAME_TEXT)), L"2 Files");
    EXPECT_TRUE(ComboEntries(sheet.control(IDC_FILE_CHOOSER)).empty());
    EXPECT_FALSE(IsWindowEnabled(sheet.control(IDC_FILE_CHOOSER)));
    EXPECT_FALSE(IsWindowEnabled(sheet.control(IDC_HEX_VIEW)));
    EXPECT_EQ(sheet.ext().editor.length, 0);
    SendMessageW(sheet.page(), WM_COMMAND, MAKEWPARAM(IDC_FILE_CHOOSER, CBN_SELCHANGE), 0);
    EXPECT_EQ(sheet.ext().editor.length, 0);
    EXPECT_FALSE(sheet.PressButton(PSBTN_OK));
}
