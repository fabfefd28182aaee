#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "page/core/item_list.h"
#include "page/core/selection_text.h"

using namespace selection;

TEST(SelectionSplitPath, DriveFolderNameExtension) {
    const PathParts parts = SplitPath(L"C:\\Data\\report.txt");
    EXPECT_EQ(parts.drive, L"C:");
    EXPECT_EQ(parts.folder, L"\\Data\\");
    EXPECT_EQ(parts.name, L"report");
    EXPECT_EQ(parts.extension, L".txt");
    EXPECT_EQ(NameText(parts), L"report.txt");
    EXPECT_EQ(LocationOf(parts), L"C:\\Data\\");
}

TEST(SelectionSplitPath, NetworkShareHasNoDrive) {
    const PathParts parts = SplitPath(L"\\\\server\\share\\file.bin");
    EXPECT_EQ(parts.drive, L"");
    EXPECT_EQ(LocationOf(parts), L"\\\\server\\share\\");
    EXPECT_EQ(NameText(parts), L"file.bin");
}

TEST(SelectionSplitPath, OnlyTheLastDotStartsTheExtension) {
    const PathParts parts = SplitPath(L"C:\\a.b\\archive.tar.gz");
    EXPECT_EQ(parts.folder, L"\\a.b\\");
    EXPECT_EQ(parts.name, L"archive.tar");
    EXPECT_EQ(parts.extension, L".gz");
}

TEST(SelectionSplitPath, FolderWithoutExtensionAndRoot) {
    EXPECT_EQ(NameText(SplitPath(L"C:\\Data\\Sub")), L"Sub");
    EXPECT_EQ(SplitPath(L"C:\\Data\\Sub").extension, L"");
    const PathParts root = SplitPath(L"C:\\");
    EXPECT_EQ(LocationOf(root), L"C:\\");
    EXPECT_EQ(NameText(root), L"");
}

TEST(SelectionSplitPath, ForwardSlashesSeparateToo) {
    EXPECT_EQ(LocationOf(SplitPath(L"Z:/tmp/x/y.bin")), L"Z:/tmp/x/");
}

// Parts longer than the C runtime's 255-character buffers are kept whole, not cut.
TEST(SelectionSplitPath, OverlongPartsAreKeptWhole) {
    const std::wstring folder(300, L'f');
    const std::wstring name(400, L'n');
    const std::wstring extension = L"." + std::wstring(280, L'e');
    const PathParts parts = SplitPath(L"C:\\" + folder + L"\\" + name + extension);
    EXPECT_EQ(parts.folder, L"\\" + folder + L"\\");
    EXPECT_EQ(NameText(parts), name + extension);
}

TEST(SelectionKind, FromAttributes) {
    EXPECT_EQ(KindOf(0x20), ItemKind::File);
    EXPECT_EQ(KindOf(0x10), ItemKind::Folder);
    EXPECT_EQ(KindOf(0x11), ItemKind::Folder);
    EXPECT_EQ(KindOf(0xFFFFFFFFu), ItemKind::Unreadable);
    EXPECT_TRUE(InFileList(ItemKind::File));
    EXPECT_FALSE(InFileList(ItemKind::Folder));
    EXPECT_FALSE(InFileList(ItemKind::Unreadable));
}

TEST(SelectionCountText, SingularPluralAndSeparator) {
    EXPECT_EQ(CountText(5, 0), L"5 Files");
    EXPECT_EQ(CountText(1, 0), L"1 File");
    EXPECT_EQ(CountText(0, 2), L"2 Folders");
    EXPECT_EQ(CountText(0, 1), L"1 Folder");
    EXPECT_EQ(CountText(3, 1), L"3 Files, 1 Folder");
    EXPECT_EQ(CountText(1, 1), L"1 File, 1 Folder");
    EXPECT_EQ(CountText(0, 0), L"");
    EXPECT_EQ(CountText(4000000000u, 0), L"4000000000 Files");
}

TEST(SelectionCommonLocation, SameFolderReadsAllIn) {
    CommonLocation location;
    location.Add(L"C:\\Data\\");
    location.Add(L"C:\\Data\\");
    EXPECT_FALSE(location.Varied());
    EXPECT_EQ(location.Text(), L"All in C:\\Data\\");
}

TEST(SelectionCommonLocation, LetterCaseCountsAsDifferent) {
    CommonLocation location;
    location.Add(L"C:\\Data\\");
    location.Add(L"c:\\data\\");
    EXPECT_TRUE(location.Varied());
    EXPECT_EQ(location.Text(), L"Various Folders");
}

// Once different, a later match with the first does not bring "All in" back.
TEST(SelectionCommonLocation, StaysVariedAfterFirstDifference) {
    CommonLocation location;
    location.Add(L"C:\\A\\");
    location.Add(L"C:\\B\\");
    location.Add(L"C:\\A\\");
    EXPECT_EQ(location.Text(), L"Various Folders");
}

TEST(SelectionCommonLocation, PrefixIsNotTheSameFolder) {
    CommonLocation location;
    location.Add(L"C:\\Data\\");
    location.Add(L"C:\\Data\\Sub\\");
    EXPECT_EQ(location.Text(), L"Various Folders");
}

namespace {

// Items named "dir..." are folders and "locked..." can't be read; the rest are files. The log
// records each report ("!path") and each listed file ("index:name") in order.
struct FakeSystem final : SelectionSystem {
    std::wstring log;
    uint32_t Attributes(const std::wstring& path) override {
        const std::wstring name = path.substr(path.find_last_of(L'\\') + 1);
        if (name.rfind(L"locked", 0) == 0)
            return 0xFFFFFFFFu;
        return name.rfind(L"dir", 0) == 0 ? 0x10 : 0x20;
    }
    void ReportUnreadable(const std::wstring& path) override { log += L"!" + path + L" "; }
    void ListFile(uint32_t index, const std::wstring& name) override {
        log += std::to_wstring(index) + L":" + name + L" ";
    }
};

struct ScanCase {
    std::vector<std::wstring> paths;
    bool summarize;
    std::wstring count, location, log;
    uint32_t limit = 0xFFFFFFFFu; // the item count the shell gave
    bool closed = true;           // false: the block ends inside its last path
};

} // namespace

// The walk reads the block itself; paths are held as a buffer of 34000 characters holds them.
TEST(SelectionScan, SummaryAndFileListFromOneWalk) {
    const std::wstring longest = L"C:\\D\\" + std::wstring(33994, L'n'); // 33999 characters
    const std::vector<ScanCase> cases{
        {{}, false, L"", L"", L""},
        {{L"C:\\D\\locked.bin"}, false, L"", L"", L""},
        {{L"C:\\D\\a.txt"}, false, L"", L"", L"0:a.txt "},
        {{L"C:\\D\\locked1", L"C:\\D\\dir", L"C:\\D\\b.c", L"C:\\D\\locked2"},
         true,
         L"3 Files, 1 Folder",
         L"All in C:\\D\\",
         L"!C:\\D\\locked1 2:b.c !C:\\D\\locked2 "},
        {{L"C:\\D\\a", L"c:\\d\\b"}, true, L"2 Files", L"Various Folders", L"0:a 1:b "},
        {{L"C:\\D\\a", L"C:\\D\\b", L"C:\\D\\c"},
         true,
         L"2 Files",
         L"All in C:\\D\\",
         L"0:a 1:b ",
         2},
        {{L"C:\\D\\a", L"C:\\D\\b", L"C:\\D\\c"},
         true,
         L"2 Files",
         L"All in C:\\D\\",
         L"0:a 1:b ",
         0xFFFFFFFFu,
         false},
        {{longest, longest + L"x"},
         false,
         L"",
         L"",
         L"0:" + longest.substr(5) + L" 1:" + longest.substr(5) + L" "},
    };
    for (const ScanCase& c : cases) {
        std::wstring block;
        for (const std::wstring& path : c.paths)
            block += path + L'\0';
        block += L'\0';
        if (!c.closed)
            block.resize(block.size() - 2);
        FakeSystem system;
        const SelectionTexts texts =
            ScanSelection(DropListWalker(block.data(), block.data() + block.size(), 33999),
                          std::min<uint32_t>(c.limit, c.paths.size()), c.summarize, system);
        const std::wstring first = c.paths.empty() ? L"" : c.paths[0].substr(0, 40);
        EXPECT_EQ(texts.count, c.count) << first;
        EXPECT_EQ(texts.location, c.location) << first;
        EXPECT_EQ(system.log, c.log) << first;
    }
}

// The shell's item list (count, offsets, then item id lists ended by a zero size) is read only
// as far as it holds together.
TEST(SelectionItemList, OffsetsOnlyOfABlockThatHoldsTogether) {
    const std::vector<uint8_t> whole = {1, 0, 0, 0, 12, 0, 0,   0,   14, 0,
                                        0, 0, 0, 0, 4,  0, 'x', 'y', 0,  0};
    EXPECT_EQ(ItemListOffsets(whole.data(), whole.size()), (std::vector<uint32_t>{12, 14}));
    EXPECT_TRUE(ItemListOffsets(whole.data(), 19).empty()); // the last list's end cut off
    // A count beyond the block, an offset past its end, an item shorter than its own size.
    for (const auto& [at, value] : {std::pair<size_t, uint8_t>{0, 5}, {8, 200}, {14, 1}}) {
        std::vector<uint8_t> block = whole;
        block[at] = value;
        EXPECT_TRUE(ItemListOffsets(block.data(), block.size()).empty()) << at;
    }
}
