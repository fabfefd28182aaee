#include <gtest/gtest.h>

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
