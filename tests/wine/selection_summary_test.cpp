// The selection as the page describes it: count and location texts, the single-item header, the
// file list behind the chooser and the access-error messages, from real drops of real paths.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>

#include "page/selection_summary.h"
#include "support/message_box_recorder.h"
#include "support/properties_driver.h"
#include "support/test_window.h"

namespace {

struct DropHost : PageHost {
    explicit DropHost(const std::vector<std::wstring>& paths) {
        hDrop = static_cast<HDROP>(MakeDrop(paths));
        dropCount = static_cast<UINT>(paths.size());
        if (!paths.empty())
            wcsncpy(firstPath, paths[0].c_str(), kPathCapacity - 1);
    }
    ~DropHost() {
        free(fileIndexes);
        GlobalFree(hDrop);
    }
};

std::wstring Upper(std::wstring text) {
    std::transform(text.begin(), text.end(), text.begin(), towupper);
    return text;
}

struct Summary {
    std::wstring count;
    std::wstring location;
};

Summary Summarize(const std::vector<std::wstring>& paths) {
    DropHost host(paths);
    Summary summary;
    BuildSelectionSummary(host, summary.count, summary.location);
    return summary;
}

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

TEST(SelectionSummary, TwoFilesInOneFolder) {
    TempFolder folder;
    MessageBoxRecorder boxes;
    const Summary s = Summarize({folder.Write(L"a", {1}), folder.Write(L"b", {2})});
    EXPECT_EQ(s.count, L"2 Files");
    EXPECT_EQ(s.location, L"All in " + folder.folder());
    EXPECT_EQ(boxes.Count(), 0u);
}

TEST(SelectionSummary, ThreeFoldersFromTwoParentsAreVarious) {
    TempFolder folder;
    for (const wchar_t* name : {L"P", L"P\\x", L"P\\y", L"z"})
        CreateDirectoryW(folder.Path(name).c_str(), nullptr);
    const Summary s = Summarize({folder.Path(L"P\\x"), folder.Path(L"P\\y"), folder.Path(L"z")});
    EXPECT_EQ(s.count, L"3 Folders");
    EXPECT_EQ(s.location, L"Various Folders");
    for (const wchar_t* name : {L"P\\x", L"P\\y", L"P", L"z"})
        RemoveDirectoryW(folder.Path(name).c_str());
}

TEST(SelectionSummary, TheSameFolderSpelledInOtherCaseIsVarious) {
    TempFolder folder;
    MessageBoxRecorder boxes;
    const std::wstring a = folder.Write(L"a", {1});
    const std::wstring b = folder.Write(L"b", {2});
    // The file system finds both spellings; the comparison is exact.
    const Summary s = Summarize({a, Upper(folder.folder()) + L"b"});
    EXPECT_EQ(s.count, L"2 Files");
    EXPECT_EQ(s.location, L"Various Folders");
    EXPECT_EQ(boxes.Count(), 0u);
}

TEST(SelectionSummary, FileAndFolder) {
    TempFolder folder;
    CreateDirectoryW(folder.Path(L"Sub").c_str(), nullptr);
    const Summary s = Summarize({folder.Write(L"a.txt", {1}), folder.Path(L"Sub")});
    EXPECT_EQ(s.count, L"1 File, 1 Folder");
    EXPECT_EQ(s.location, L"All in " + folder.folder());
    RemoveDirectoryW(folder.Path(L"Sub").c_str());
}

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

TEST(SelectionFileList, OnlyReadableFilesInSelectionOrder) {
    TempFolder folder;
    CreateDirectoryW(folder.Path(L"Sub").c_str(), nullptr);
    const std::wstring z = folder.Write(L"z.bin", {1});
    const std::wstring a = folder.Write(L"a.bin", {2});
    DropHost host({z, folder.Path(L"Sub"), folder.Path(L"missing.bin"), a});
    host.fileIndexes = static_cast<uint32_t*>(calloc(host.dropCount + 1, sizeof(uint32_t)));
    Chooser chooser;
    MessageBoxRecorder boxes;
    BuildFileList(host, chooser.get());
    ASSERT_EQ(host.fileIndexCount, 2);
    EXPECT_EQ(host.fileIndexes[0], 0u);
    EXPECT_EQ(host.fileIndexes[1], 3u);
    EXPECT_EQ(ComboEntries(chooser.get()), (std::vector<std::wstring>{L"z.bin", L"a.bin"}));
    EXPECT_EQ(boxes.Count(), 0u); // the list reports nothing itself
    RemoveDirectoryW(folder.Path(L"Sub").c_str());
}

// The process shows at most four access messages, ever: unreadable items are still counted.
TEST(SelectionAccessErrors, FiveUnreadableItemsGiveFourMessagesAndThenNone) {
    TempFolder folder;
    std::vector<std::wstring> paths{folder.Write(L"there.bin", {1})};
    for (int i = 1; i <= 5; ++i)
        paths.push_back(folder.Path(L"gone" + std::to_wstring(i) + L".bin"));
    MessageBoxRecorder boxes;
    const Summary s = Summarize(paths);
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
    Summarize(paths); // a later sheet in the same process
    EXPECT_EQ(boxes.Count(), 4u);
}
