// The selection as the page describes it: count and location texts, the single-item header, the
// file list behind the chooser and the access-error messages, from real drops of real paths.
#include <windows.h>

#include <gtest/gtest.h>

#include <cwchar>

#include "page/selection_summary.h"
#include "resources/resource_ids.h"
#include "server/shell_ext.h"
#include "support/message_box_recorder.h"
#include "support/properties_driver.h"
#include "support/test_window.h"
#include "support/unix_files.h"

namespace {

struct DropHost : PageHost {
    explicit DropHost(const std::vector<std::wstring>& paths, bool wide = true) {
        hDrop = static_cast<HDROP>(MakeDrop(paths, wide));
        dropCount = static_cast<UINT>(paths.size());
        if (!paths.empty())
            wcsncpy(firstPath, paths[0].c_str(), kPathCapacity - 1);
    }
    ~DropHost() {
        free(fileIndexes);
        GlobalFree(hDrop);
    }
};

class Chooser {
  public:
    Chooser()
        : window_(CreateWindowExW(0, L"ComboBox", L"", CBS_DROPDOWNLIST | WS_POPUP, 0, 0, 200, 200,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr)) {}
    ~Chooser() { DestroyWindow(window_); }
    HWND get() const { return window_; }

  private:
    HWND window_;
};

} // namespace

TEST(SelectionHeader, SingleItemNameAndLocation) {
    DropHost host({L"C:\\Data\\report.txt"});
    std::wstring name, location;
    BuildSingleItemHeader(host, name, location);
    EXPECT_EQ(name, L"report.txt");
    EXPECT_EQ(location, L"C:\\Data\\");
}

TEST(SelectionHeader, NetworkShareHasNoDrive) {
    DropHost host({L"\\\\server\\share\\file.bin"});
    std::wstring name, location;
    BuildSingleItemHeader(host, name, location);
    EXPECT_EQ(name, L"file.bin");
    EXPECT_EQ(location, L"\\\\server\\share\\");
}

// Parts longer than 255 characters are shown whole rather than cut or overrun.
TEST(SelectionHeader, OverlongPartsAreShownWhole) {
    const std::wstring folder = L"\\" + std::wstring(600, L'd') + L"\\";
    const std::wstring name = std::wstring(300, L'n') + L"." + std::wstring(300, L'e');
    DropHost host({L"C:" + folder + name});
    std::wstring shownName, location;
    BuildSingleItemHeader(host, shownName, location);
    EXPECT_EQ(shownName, name);
    EXPECT_EQ(location, L"C:" + folder);
}

// A drop list may hold 8.3 names: the page shows, loads and names the file by its own name.
TEST(SelectionHeader, ShortNameIsShownAndLoadedInItsLongForm) {
    TempFolder folder;
    const std::wstring file = folder.Write(L"a long file name.binary", {1, 2, 3});
    wchar_t shortPath[MAX_PATH] = {};
    GetShortPathNameW(file.c_str(), shortPath, MAX_PATH);
    ASSERT_NE(std::wstring(shortPath).find(L'~'), std::wstring::npos) << shortPath;
    InProcessSheet sheet({shortPath});
    ASSERT_NE(sheet.page(), nullptr);
    EXPECT_EQ(WindowText(sheet.control(IDC_NAME_TEXT)), L"a long file name.binary");
    EXPECT_EQ(WindowText(sheet.control(IDC_LOCATION_TEXT)), folder.folder());
    EXPECT_EQ(std::wstring(sheet.ext().editor.filePath), file);
}

// A list of 8-bit paths reads as the same items. An entry the chooser could not add (out of
// memory) takes no place in the list behind it, so each later entry still opens its own file.
TEST(SelectionFileList, OnlyReadableFilesInSelectionOrder) {
    TempFolder folder;
    CreateDirectoryW(folder.Path(L"Sub").c_str(), nullptr);
    const std::wstring z = folder.Write(L"z.bin", {1});
    const std::wstring a = folder.Write(L"a.bin", {2});
    static WNDPROC original;
    for (const auto& [wide, refuseZ] :
         {std::pair{true, false}, std::pair{false, false}, std::pair{true, true}}) {
        DropHost host({z, folder.Path(L"Sub"), folder.Path(L"missing.bin"), a}, wide);
        host.fileIndexes = static_cast<uint32_t*>(calloc(host.dropCount + 1, sizeof(uint32_t)));
        Chooser chooser;
        if (refuseZ)
            original = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
                chooser.get(), GWLP_WNDPROC,
                reinterpret_cast<LONG_PTR>(+[](HWND window, UINT message, WPARAM wp, LPARAM lp) {
                    if (message == CB_ADDSTRING &&
                        !wcscmp(reinterpret_cast<wchar_t*>(lp), L"z.bin"))
                        return static_cast<LRESULT>(CB_ERRSPACE);
                    return CallWindowProcW(original, window, message, wp, lp);
                })));
        MessageBoxRecorder boxes;
        ReadSelection(host, chooser.get(), false);
        const std::vector<uint32_t> indexes(host.fileIndexes,
                                            host.fileIndexes + host.fileIndexCount);
        EXPECT_EQ(indexes, (refuseZ ? std::vector<uint32_t>{3} : std::vector<uint32_t>{0, 3}));
        EXPECT_EQ(ComboEntries(chooser.get()),
                  (refuseZ ? std::vector<std::wstring>{L"a.bin"}
                           : std::vector<std::wstring>{L"z.bin", L"a.bin"}))
            << wide;
        EXPECT_EQ(boxes.Count(), 0u); // one item's page reports nothing
    }
    RemoveDirectoryW(folder.Path(L"Sub").c_str());
}

// A few thousand items after a folder: every file gets its entry, in order, and the first loads.
TEST(SelectionFileList, ThousandsOfFilesAfterAFolder) {
    NumberedFiles files(3000);
    ASSERT_EQ(files.paths().size(), 3000u);
    const std::wstring sub = files.folder() + L"Sub";
    CreateDirectoryW(sub.c_str(), nullptr);
    std::vector<std::wstring> paths{sub};
    paths.insert(paths.end(), files.paths().begin(), files.paths().end());
    InProcessSheet sheet(paths);
    ASSERT_TRUE(sheet.page());
    HWND chooser = sheet.control(IDC_FILE_CHOOSER);
    const auto entry = [chooser](int index) {
        wchar_t text[64] = {};
        SendMessageW(chooser, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
        return std::wstring(text);
    };
    ASSERT_EQ(SendMessageW(chooser, CB_GETCOUNT, 0, 0), 3000);
    EXPECT_EQ(entry(0), L"item000000.bin");
    EXPECT_EQ(entry(2999), L"item002999.bin");
    // Filled without drawing, the list is set up again afterwards: its scroll range covers all.
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    GetComboBoxInfo(chooser, &info);
    SCROLLINFO scroll{};
    scroll.cbSize = sizeof(scroll);
    scroll.fMask = SIF_RANGE;
    GetScrollInfo(info.hwndList, SB_VERT, &scroll);
    EXPECT_EQ(scroll.nMax, 2999);
    EXPECT_EQ(WindowText(sheet.control(IDC_NAME_TEXT)), L"3000 Files, 1 Folder");
    EXPECT_EQ(WindowText(sheet.control(IDC_LOCATION_TEXT)), L"All in " + files.folder());
    EXPECT_EQ(std::wstring(sheet.ext().editor.filePath), files.paths()[0]);
}

// The process shows at most four access messages, ever: unreadable items are still counted.
TEST(SelectionAccessErrors, FiveUnreadableItemsGiveFourMessagesAndThenNone) {
    TempFolder folder;
    std::vector<std::wstring> paths{folder.Write(L"there.bin", {1})};
    for (int i = 1; i <= 5; ++i)
        paths.push_back(folder.Path(L"gone" + std::to_wstring(i) + L".bin"));
    MessageBoxRecorder boxes;
    DropHost host(paths);
    const selection::SelectionTexts s = ReadSelection(host, nullptr, true);
    EXPECT_EQ(s.count, L"6 Files");
    EXPECT_EQ(s.location, L"All in " + folder.folder());
    const auto shown = boxes.Boxes();
    ASSERT_EQ(shown.size(), 4u);
    for (size_t i = 0; i < shown.size(); ++i) {
        EXPECT_EQ(shown[i].text, L"There was an error accessing file " + paths[i + 1] +
                                     L". Be sure you have necessary privileges and file is not "
                                     L"open");
        EXPECT_EQ(shown[i].title, L"Error");
        EXPECT_EQ(shown[i].buttons, std::vector<int>{IDOK});
        EXPECT_EQ(shown[i].icon, BoxIcon::None);
        EXPECT_FALSE(shown[i].hasOwner);
    }
    ReadSelection(host, nullptr, true); // a later sheet in the same process
    EXPECT_EQ(boxes.Count(), 4u);
}
