// Loading, saving and reverting real files, and what the user is told when it fails.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <tuple>

#include "hexedit/core/byte_buffer.h"
#include "hexedit/core/find_rules.h"
#include "resources/resource_ids.h"
#include "server/shell_ext.h"
#include "support/message_box_recorder.h"
#include "support/path_recorder.h"
#include "support/properties_driver.h"
#include "support/test_window.h"
#include "support/unix_files.h"

namespace {

std::vector<uint8_t> Bytes(const char* text) {
    return std::vector<uint8_t>(text, text + strlen(text));
}

// The system's own text for a code, fetched independently of the code under test.
std::wstring SystemText(DWORD code) {
    wchar_t text[1000] = {};
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                   MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), text, 1000, nullptr);
    return text;
}

// How many bytes reading a file to its end gives.
size_t BytesGiven(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    size_t total = 0;
    char chunk[512];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof(chunk), &got, nullptr) && got > 0)
        total += got;
    CloseHandle(file);
    return total;
}

class FileIo : public testing::Test {
  protected:
    void SetUp() override { page.Attach(); }

    // Writes a file and loads it into the editor.
    std::wstring WriteAndLoad(const wchar_t* name, const std::vector<uint8_t>& bytes) {
        const std::wstring path = dir.Write(name, bytes);
        EXPECT_EQ(editor().LoadFile(path.c_str()), 0u);
        return path;
    }

    // Replaces the editor's bytes as an edit would.
    void Edit(const std::vector<uint8_t>& bytes) {
        CHexEdit& e = editor();
        ResizeExact(e.buffer, e.length, static_cast<int32_t>(bytes.size()) - e.length);
        if (!bytes.empty())
            memcpy(e.buffer, bytes.data(), bytes.size());
        e.modified = 1;
    }

    void ExpectReadError(DWORD code) {
        ASSERT_EQ(boxes.Count(), 1u);
        const RecordedBox box = boxes.Boxes()[0];
        EXPECT_EQ(box.text, L"There was an error reading file - " + SystemText(code));
        EXPECT_EQ(box.title, L"Hex Editor");
        EXPECT_EQ(box.buttons, std::vector<int>{IDOK});
        EXPECT_EQ(box.icon, BoxIcon::Error);
        EXPECT_EQ(box.owner, page.page()); // the view's top-level window
    }

    void ExpectSaveError(DWORD code, const wchar_t* after = L"") {
        ASSERT_EQ(boxes.Count(), 1u);
        const RecordedBox box = boxes.Boxes()[0];
        EXPECT_EQ(box.text, L"There was an error saving file - " + SystemText(code) + after);
        EXPECT_EQ(box.title, L"Save");
        EXPECT_EQ(box.buttons, std::vector<int>{IDOK});
        EXPECT_EQ(box.icon, BoxIcon::Error);
    }

    void ExpectEmptyAfterFailure() {
        EXPECT_EQ(editor().length, 0);
        EXPECT_EQ(editor().modified, 0);
        EXPECT_EQ(editor().selAnchor, -1);
        EXPECT_EQ(editor().caretOffset, 0);
    }

    CHexEdit& editor() { return page.editor(); }

    TestPage page;
    TempFolder dir;
    MessageBoxRecorder boxes;
};

TEST_F(FileIo, LoadReadsWholeFileAndResetsTheView) {
    const auto path = dir.Write(L"a.bin", Bytes("hello, world"));
    editor().caretOffset = 3;
    editor().caretPane = 1;
    editor().topOffset = 8;
    editor().selAnchor = editor().selEnd = 2;
    ASSERT_EQ(editor().LoadFile(path.c_str()), 0u);
    EXPECT_EQ(EditorBytes(editor()), Bytes("hello, world"));
    EXPECT_EQ(editor().caretOffset, 0);
    EXPECT_EQ(editor().caretPane, 2);
    EXPECT_EQ(editor().topOffset, 0);
    EXPECT_EQ(editor().selAnchor, -1);
    EXPECT_EQ(editor().selEnd, -1);
    EXPECT_EQ(editor().modified, 0);
    EXPECT_EQ(std::wstring(editor().filePath), path);
    EXPECT_EQ(boxes.Count(), 0u);
}

// A special file reports more than it gives (a /sys file says 4096 bytes and yields a few), as
// a file cut short while being read does: the load fails with the read error and shows
// nothing, rather than show a zero-padded or partial file as the whole one.
TEST_F(FileIo, FileYieldingFewerBytesThanItsSizeFailsAndShowsNothing) {
    WriteAndLoad(L"before.bin", Bytes("shown before"));
    const std::wstring special = L"Z:\\sys\\devices\\system\\cpu\\online";
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ASSERT_TRUE(GetFileAttributesExW(special.c_str(), GetFileExInfoStandard, &data));
    ASSERT_EQ(data.nFileSizeLow, 4096u) << "the reported size";
    ASSERT_LT(BytesGiven(special), 4096u) << "what it gives";

    const int blocks = LiveGuardedBlocks(); // the shown file's among them
    EXPECT_EQ(editor().LoadFile(special.c_str()), static_cast<DWORD>(ERROR_HANDLE_EOF));
    ExpectReadError(ERROR_HANDLE_EOF);
    ExpectEmptyAfterFailure();
    EXPECT_EQ(editor().buffer, nullptr) << "no bytes held for a load that failed";
    EXPECT_EQ(LiveGuardedBlocks(), blocks - 1) << "the short read's block is freed";
}

TEST_F(FileIo, EmptyFileLoadsWithoutAllocating) {
    const auto path = dir.Write(L"empty.bin", {});
    FailNextAllocations(1); // an allocation attempt would fail the load
    EXPECT_EQ(editor().LoadFile(path.c_str()), 0u);
    FailNextAllocations(0);
    EXPECT_EQ(editor().buffer, nullptr);
    EXPECT_EQ(editor().length, 0);
    EXPECT_EQ(editor().caretOffset, 0);
    EXPECT_EQ(boxes.Count(), 0u);
}

TEST_F(FileIo, MissingFileIsReportedAndItsPathKept) {
    const auto path = dir.Path(L"missing.bin");
    EXPECT_EQ(editor().LoadFile(path.c_str()), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    ExpectReadError(ERROR_FILE_NOT_FOUND);
    ExpectEmptyAfterFailure();
}

TEST_F(FileIo, FolderIsRefusedAsAccessDeniedAndThePreviousPathKept) {
    const auto file = WriteAndLoad(L"first.bin", Bytes("abc"));
    EXPECT_EQ(editor().LoadFile(dir.folder().c_str()), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    ExpectReadError(ERROR_ACCESS_DENIED);
    ExpectEmptyAfterFailure();
    EXPECT_EQ(editor().buffer, nullptr);
    EXPECT_EQ(std::wstring(editor().filePath), file);
}

// The view is then disabled, but posted messages still arrive (automation tools post them):
// typing, deleting, pasting, cutting, Edit Bits and saving change neither bytes nor file.
TEST_F(FileIo, FileHeldExclusivelyElsewhereCannotBeLoaded) {
    const auto path = dir.Write(L"locked.bin", Bytes("locked"));
    HANDLE holder = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_EQ(editor().LoadFile(path.c_str()), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    CloseHandle(holder);
    ExpectReadError(ERROR_SHARING_VIOLATION);
    ExpectEmptyAfterFailure();
    EXPECT_EQ(std::wstring(editor().filePath), path); // the new path is stored

    ASSERT_FALSE(IsWindowEnabled(page.view()));
    editor().PutClipboardText("4142");
    Edit(Bytes("xyz"));
    editor().caretOffset = 1;
    MessageBoxRecorder dialogs(GetCurrentThreadId(), MessageBoxRecorder::Answers::EveryDialog);
    for (WPARAM c : {'4', '1', '\b'})
        PostMessageW(page.view(), WM_CHAR, c, 1);
    PostMessageW(page.view(), WM_KEYDOWN, VK_DELETE, 1);
    TestPage::Pump();
    editor().selAnchor = editor().selEnd = 1; // something to paste over and to cut
    const DWORD clipboard = GetClipboardSequenceNumber();
    HoldModifiers(false, true);
    for (WPARAM key : {'V', 'X', 'B', 'S'})
        PostMessageW(page.view(), WM_KEYDOWN, key, 1);
    TestPage::Pump();
    HoldModifiers(false, false);
    EXPECT_EQ(EditorBytes(editor()), Bytes("xyz"));
    EXPECT_EQ(GetClipboardSequenceNumber(), clipboard);
    EXPECT_EQ(dialogs.Count(), 0u) << "neither Edit Bits nor a save question";
    EXPECT_EQ(ReadAll(path), Bytes("locked"));
}

TEST_F(FileIo, FailingAllocationIsReportedAsOutOfMemory) {
    const auto path = dir.Write(L"a.bin", Bytes("abc"));
    FailNextAllocations(1);
    EXPECT_EQ(editor().LoadFile(path.c_str()), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
    FailNextAllocations(0);
    ExpectReadError(ERROR_NOT_ENOUGH_MEMORY);
    ExpectEmptyAfterFailure();
    EXPECT_EQ(editor().buffer, nullptr);
}

// A file of 2 GiB or more (in a 32-bit process 256 MiB) opens on demand, reading only the rows
// shown; Ctrl+End shows its last bytes, Delete is refused with one box, Find sees a typed byte,
// saves write typed bytes in place leaving the holes alone, and other programs may write the file
// meanwhile.
class HugeFile : public FileIo, public testing::WithParamInterface<long long> {
  protected:
    std::vector<uint8_t> Tail(long long grown = 0) {
        std::vector<uint8_t> tail(4);
        editor().source->Read(static_cast<uint64_t>(GetParam() + grown - 4), tail.data(), 4,
                              nullptr);
        return tail;
    }
};

TEST_P(HugeFile, OpensOnDemandAndSavesATypedByteInPlace) {
    const auto path = dir.Path(L"huge.bin");
    ASSERT_TRUE(MakeSparseFile(path, GetParam(), Bytes("END!")));
    ASSERT_EQ(editor().LoadFile(path.c_str()), 0u);
    ASSERT_TRUE(editor().onDemand);
    page.Repaint();
    page.Key(VK_END, false, true);
    page.Repaint();
    bytes::PageCache& cache = editor().onDemand->Cache();
    EXPECT_LE(cache.CachedPages(), 3u) << "the first rows and the last only";
    const uint64_t misses = cache.Counts().misses;
    EXPECT_EQ(Tail(), Bytes("END!"));
    EXPECT_EQ(cache.Counts().misses, misses) << "read for the paint already";
    for (WPARAM key : {VK_LEFT, VK_LEFT, VK_LEFT, VK_DELETE}) // Delete on the last byte
        page.Key(key);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text,
              L"This file is too large to insert or delete bytes. Typing overwrites them.");
    for (WPARAM c : {'4', '1'})
        SendMessageW(page.view(), WM_CHAR, c, 1);
    // Find sees the byte typed before it is saved.
    editing::BuildFindPatterns(editor(), "NDA");
    editor().caretOffset = GetParam() - 8;
    page.Key(VK_F3);
    EXPECT_EQ(editor().selAnchor, GetParam() - 3);
    // Saved twice: the second save asks nothing about the first one's write.
    editor().SetSelection(-1, -1);
    editor().caretPane = 2; // the hex pane, first digit
    for (WPARAM c : {'4', '1', '4', '2'}) {
        editor().caretOffset = GetParam() - 1;
        SendMessageW(page.view(), WM_CHAR, c, 1);
        if (c != '4') {
            ASSERT_EQ(editor().SaveFile(0), 0u);
        }
    }
    EXPECT_EQ(Tail(), Bytes("ENDB"));
    EXPECT_EQ(editor().length, GetParam());
    const long long allocated = AllocatedBytes(path);
    EXPECT_TRUE(allocated > 0 && allocated < (1 << 20)) << "holes stay holes: " << allocated;
    // Another program writes over the saved byte and appends to it; the view shows it as it now
    // is once it has the focus back, not the bytes saved before.
    UniqueFile other(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER last{};
    last.QuadPart = GetParam() - 1;
    DWORD put = 0;
    EXPECT_TRUE(SetFilePointerEx(other.get(), last, nullptr, FILE_BEGIN) &&
                WriteFile(other.get(), "ZMORE", 5, &put, nullptr));
    other.reset();
    SendMessageW(page.view(), WM_SETFOCUS, 0, 0);
    EXPECT_EQ(editor().length, GetParam() + 4);
    EXPECT_EQ(Tail(4), Bytes("MORE"));
    EXPECT_EQ(Tail(), Bytes("ENDZ"));
    EXPECT_EQ(boxes.Count(), 1u);
    // A small file shown next has the standard font back: 12 rows.
    WriteAndLoad(L"small.bin", Bytes("small"));
    page.Repaint();
    EXPECT_EQ(editor().visibleRows, 12);
}

INSTANTIATE_TEST_SUITE_P(Sizes, HugeFile,
                         testing::Values(0x80000000LL, 0x100000000LL + 16, 100LL << 30));
// Held whole by a 64-bit process, read on demand by a 32-bit one.
INSTANTIATE_TEST_SUITE_P(SizesIn32Bits, HugeFile,
                         testing::ValuesIn(sizeof(void*) == 4
                                               ? std::vector<long long>{300LL << 20, 1LL << 30}
                                               : std::vector<long long>{}));

decltype(&GetFileInformationByHandleEx) g_fileInformation = nullptr;

// The system's answer, with the file deleted by another program meanwhile.
BOOL WINAPI DeletedElsewhere(HANDLE file, FILE_INFO_BY_HANDLE_CLASS kind, void* info, DWORD size) {
    const BOOL answered = g_fileInformation(file, kind, info, size);
    if (answered && kind == FileStandardInfo)
        static_cast<FILE_STANDARD_INFO*>(info)->DeletePending = TRUE;
    return answered;
}

// A byte typed into a file read on demand is written only into the file shown, at the length
// shown: not into another file renamed into its place, nor past the end of the file cut short.
// Those keep their bytes, and so does the editor, saying why. A file deleted meanwhile is let go
// of, at the save or when the view gets the focus back: the view as after a failed load.
TEST_F(FileIo, ChangesToAHugeFileGoOnlyIntoTheFileShown) {
    const std::wstring path = dir.Path(L"shown.bin"), other = UnixPath(dir.Path(L"other.bin"));
    const wchar_t* const kept = L"The file was replaced or changed in size by another program. The "
                                L"changes were not saved; they are kept until Revert.";
    const struct {
        std::wstring byAnother; // on the Unix side, as Wine won't replace a file it holds open
        bool atSave;            // or when the focus comes back
    } cases[] = {
        {L"truncate -s 2G " + other + L" && mv " + other + L" '" + UnixPath(path) + L"'", true},
        {L"truncate -s 2147483632 '" + UnixPath(path) + L"'", true},
        {L"", true}, // deleted
        {L"", false},
    };
    for (const auto& c : cases) {
        boxes.Clear();
        ASSERT_TRUE(MakeSparseFile(path, 0x80000000LL));
        ASSERT_EQ(editor().LoadFile(path.c_str()), 0u);
        if (c.atSave) // with changes the focus leaves the file to the save's question
            SendMessageW(page.view(), WM_CHAR, '7', 1);
        const bool deleted = c.byAnother.empty();
        void* const system = deleted ? PatchImport("GetFileInformationByHandleEx",
                                                   reinterpret_cast<void*>(&DeletedElsewhere))
                                     : nullptr;
        g_fileInformation = reinterpret_cast<decltype(g_fileInformation)>(system);
        const std::wstring done = dir.Path(L"done");
        ASSERT_TRUE(deleted || (StartUnixCommand(c.byAnother + L" && touch " + UnixPath(done)) &&
                                WaitFor([&] { return DeleteFileW(done.c_str()); })));
        if (c.atSave)
            EXPECT_NE(editor().SaveFile(0), 0u);
        else
            SendMessageW(page.view(), WM_SETFOCUS, 0, 0);
        if (system)
            PatchImport("GetFileInformationByHandleEx", system);
        const auto shown = MessageBoxesOnly(boxes);
        ASSERT_EQ(shown.size(), 1u) << c.byAnother;
        EXPECT_EQ(shown[0].text, deleted ? L"The file was deleted by another program." : kept);
        EXPECT_EQ(shown[0].title, deleted ? L"Hex Editor" : L"Save");
        EXPECT_EQ(shown[0].icon, BoxIcon::Warning);
        EXPECT_EQ(AllocatedBytes(path), 0) << "nothing was written, nor the file stretched";
        EXPECT_EQ(editor().modified, !deleted);
        EXPECT_EQ(IsWindowEnabled(page.view()), !deleted);
        EXPECT_EQ(editing::ReadByteAt(editor(), 0), deleted ? -1 : 0x70);
        editor().ReleaseFile();
    }
}

TEST_F(FileIo, SaveWritesBytesInPlaceAndClearsModified) {
    const auto path = WriteAndLoad(L"a.bin", Bytes("abcdef"));
    Edit(Bytes("abXdefgh"));
    EXPECT_EQ(editor().SaveFile(0), 0u);
    EXPECT_EQ(ReadAll(path), Bytes("abXdefgh"));
    EXPECT_EQ(editor().modified, 0);
    EXPECT_EQ(boxes.Count(), 0u);
}

TEST_F(FileIo, SaveAfterRemovingBytesMakesTheFileShorter) {
    const auto path = WriteAndLoad(L"a.bin", Bytes("0123456789"));
    Edit(Bytes("0123"));
    EXPECT_EQ(editor().SaveFile(0), 0u);
    EXPECT_EQ(ReadAll(path), Bytes("0123"));
}

TEST_F(FileIo, SaveWithNoBytesLeftCutsTheFileToZero) {
    const auto path = WriteAndLoad(L"a.bin", Bytes("0123456789"));
    Edit({});
    ASSERT_EQ(editor().buffer, nullptr);
    EXPECT_EQ(editor().SaveFile(0), 0u);
    EXPECT_TRUE(Exists(path));
    EXPECT_TRUE(ReadAll(path).empty());
}

// The empty file's own stamp is taken, not the one of the file shown before it: the save asks
// nothing.
TEST_F(FileIo, EmptyFileTakesTheBytesTypedIntoIt) {
    WriteAndLoad(L"before.bin", Bytes("before"));
    const auto path = WriteAndLoad(L"empty.bin", {});
    Edit(Bytes("new"));
    EXPECT_EQ(editor().SaveFile(0), 0u);
    EXPECT_EQ(ReadAll(path), Bytes("new"));
    EXPECT_EQ(boxes.Count(), 0u);
}

// A save is done only when the system has written it to the medium: a refused flush is a
// failed save that keeps the changes, of a file held whole as of one read on demand.
TEST_F(FileIo, SaveThatCannotBeFlushedFailsAndKeepsTheChanges) {
    const auto huge = dir.Path(L"huge.bin");
    ASSERT_TRUE(MakeSparseFile(huge, 0x80000000LL));
    BOOL(*refused)
    (HANDLE) = [](HANDLE) {
        SetLastError(ERROR_DEVICE_NOT_CONNECTED); // as when the medium is pulled out
        return FALSE;
    };
    for (bool onDemand : {false, true}) {
        boxes.Clear();
        editor().modified = 0;
        if (onDemand) {
            ASSERT_EQ(editor().LoadFile(huge.c_str()), 0u);
            for (WPARAM c : {'6', 'B'})
                SendMessageW(page.view(), WM_CHAR, c, 1);
        } else {
            WriteAndLoad(L"a.bin", Bytes("abc"));
            Edit(Bytes("kept"));
        }
        void* const flush = PatchImport("FlushFileBuffers", reinterpret_cast<void*>(refused));
        ASSERT_NE(flush, nullptr);
        const DWORD code = editor().SaveFile(0);
        PatchImport("FlushFileBuffers", flush);
        EXPECT_EQ(code, static_cast<DWORD>(ERROR_DEVICE_NOT_CONNECTED));
        // The runs of a file read on demand were written before the flush was refused.
        ExpectSaveError(ERROR_DEVICE_NOT_CONNECTED,
                        onDemand ? L"Part of the changes were written. The changes are kept, so "
                                   L"Save can write them all again."
                                 : L"");
        EXPECT_EQ(editor().modified, 1);
        if (onDemand)
            EXPECT_EQ(editing::ReadByteAt(editor(), 0), 0x6B);
        else
            EXPECT_EQ(EditorBytes(editor()), Bytes("kept"));
    }
    editor().modified = 0;
    editor().ReleaseFile();
}

TEST_F(FileIo, AskingSaveWithoutChangesWritesNothing) {
    const auto path = WriteAndLoad(L"a.bin", Bytes("original"));
    dir.Write(L"a.bin", Bytes("changed on disk")); // a write would put "original" back
    boxes.Answer({IDYES});
    EXPECT_EQ(editor().SaveFile(1), 0u);
    ASSERT_EQ(boxes.Count(), 1u);
    const RecordedBox box = boxes.Boxes()[0];
    EXPECT_EQ(box.text, L"Do you want to save file?");
    EXPECT_EQ(box.title, L"Hex Editor");
    EXPECT_EQ(box.buttons, (std::vector<int>{IDYES, IDNO, IDCANCEL}));
    EXPECT_EQ(box.icon, BoxIcon::Question);
    EXPECT_EQ(ReadAll(path), Bytes("changed on disk"));
}

TEST_F(FileIo, DecliningTheSaveQuestionWritesNothingAndKeepsChanges) {
    const auto path = WriteAndLoad(L"a.bin", Bytes("abc"));
    Edit(Bytes("xyz"));
    for (int answer : {IDNO, IDCANCEL}) {
        boxes.Answer({answer});
        EXPECT_EQ(editor().SaveFile(1), 0u);
        EXPECT_EQ(ReadAll(path), Bytes("abc"));
        EXPECT_EQ(editor().modified, 1);
    }
    boxes.Answer({IDYES});
    EXPECT_EQ(editor().SaveFile(1), 0u);
    EXPECT_EQ(ReadAll(path), Bytes("xyz"));
}

TEST_F(FileIo, ReadOnlyFileLoadsButSavingFailsUntilItIsWritableAgain) {
    const auto path = dir.Write(L"ro.bin", Bytes("read only"));
    ASSERT_TRUE(SetImmutable(path, true));
    EXPECT_EQ(editor().LoadFile(path.c_str()), 0u);
    Edit(Bytes("READ ONLY"));
    const DWORD code = editor().SaveFile(0);
    EXPECT_EQ(code, static_cast<DWORD>(ERROR_ACCESS_DENIED));
    ExpectSaveError(code);
    EXPECT_EQ(EditorBytes(editor()), Bytes("READ ONLY"));
    EXPECT_EQ(editor().modified, 1);
    EXPECT_EQ(ReadAll(path), Bytes("read only"));

    ASSERT_TRUE(SetImmutable(path, false));
    EXPECT_EQ(editor().SaveFile(0), 0u);
    EXPECT_EQ(ReadAll(path), Bytes("READ ONLY"));
    EXPECT_EQ(editor().modified, 0);
}

TEST_F(FileIo, FileInUseAtSaveIsReportedAndChangesKept) {
    const auto path = WriteAndLoad(L"a.bin", Bytes("abc"));
    Edit(Bytes("xyz"));
    HANDLE reader = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    EXPECT_EQ(editor().SaveFile(0), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    CloseHandle(reader);
    ExpectSaveError(ERROR_SHARING_VIOLATION);
    EXPECT_EQ(editor().modified, 1);
    EXPECT_EQ(ReadAll(path), Bytes("abc"));
}

TEST_F(FileIo, FileDeletedBeforeSavingIsNotCreatedAgain) {
    const auto path = WriteAndLoad(L"gone.bin", Bytes("abc"));
    Edit(Bytes("xyz"));
    ASSERT_TRUE(DeleteFileW(path.c_str()));
    EXPECT_EQ(editor().SaveFile(0), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    ExpectSaveError(ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(Exists(path));
    EXPECT_EQ(EditorBytes(editor()), Bytes("xyz"));
    EXPECT_EQ(editor().modified, 1);
}

// On a full disk a save that grows the file fails before any old byte is overwritten; one that
// keeps or cuts its size needs no room, even on a disk without a free byte.
TEST_F(FileIo, FullDiskLeavesTheFileAsItWas) {
    TinyFileSystem disk(256);
    if (!disk.Mounted())
        GTEST_SKIP() << "cannot mount a small file system here";
    const auto old = SeededBytes(96 * 1024, 3);
    auto grown = SeededBytes(100 * 1024, 9);
    grown.insert(grown.end(), old.begin(), old.end());
    const auto path = disk.Path(L"file.bin"), filler = disk.Path(L"filler");
    for (const auto& saved : {grown, SeededBytes(old.size(), 5), SeededBytes(50 * 1024, 7)}) {
        const bool grows = saved.size() > old.size();
        for (const auto& [name, bytes] :
             {std::pair{path, old},
              std::pair{filler, SeededBytes((grows ? 148 : 256) * 1024, 1)}}) {
            HANDLE file =
                CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            DWORD put = 0; // for growth the filler leaves room for a part of the new bytes
            WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr);
            CloseHandle(file);
        }
        ULARGE_INTEGER free{};
        ASSERT_TRUE(GetDiskFreeSpaceExW(disk.Path(L"").c_str(), &free, nullptr, nullptr));
        ASSERT_EQ(free.QuadPart == 0, !grows) << saved.size();
        boxes.Clear();
        ASSERT_EQ(editor().LoadFile(path.c_str()), 0u);
        Sleep(20); // so the failed save's part-write moves the file's write time on
        Edit(saved);
        const DWORD code = grows ? ERROR_DISK_FULL : ERROR_SUCCESS;
        EXPECT_EQ(editor().SaveFile(0), code) << saved.size();
        EXPECT_EQ(ReadAll(path), code ? old : saved) << saved.size();
        EXPECT_EQ(EditorBytes(editor()), saved);
        EXPECT_EQ(editor().modified, code ? 1 : 0);
        DeleteFileW(filler.c_str());
        if (code) {
            EXPECT_EQ(editor().SaveFile(0), 0u) << "with room made";
            EXPECT_EQ(ReadAll(path), saved);
            ExpectSaveError(code); // the only box: the retry asks nothing
        }
    }
    DeleteFileW(path.c_str());
}

// A file with unsaved changes in the editor, and another file to load.
class LoadQuestion : public FileIo {
  protected:
    void SetUp() override {
        FileIo::SetUp();
        first = dir.Write(L"first.bin", Bytes("first"));
        second = dir.Write(L"second.bin", Bytes("second"));
        ASSERT_EQ(editor().LoadFile(first.c_str()), 0u);
        Edit(Bytes("FIRST"));
    }
    std::wstring first;
    std::wstring second;
};

TEST_F(LoadQuestion, CancelKeepsEverything) {
    editor().caretOffset = 2;
    boxes.Answer({IDCANCEL});
    EXPECT_EQ(editor().LoadFile(second.c_str()), static_cast<DWORD>(ERROR_CANCELLED));
    ASSERT_EQ(boxes.Count(), 1u);
    const RecordedBox box = boxes.Boxes()[0];
    EXPECT_EQ(box.text, L"The file has changed. Do you want to save changes?");
    EXPECT_EQ(box.title, L"Load");
    EXPECT_EQ(box.buttons, (std::vector<int>{IDYES, IDNO, IDCANCEL}));
    EXPECT_EQ(box.icon, BoxIcon::Warning);
    EXPECT_EQ(EditorBytes(editor()), Bytes("FIRST"));
    EXPECT_EQ(editor().modified, 1);
    EXPECT_EQ(editor().caretOffset, 2);
    EXPECT_EQ(std::wstring(editor().filePath), first);
    EXPECT_EQ(ReadAll(first), Bytes("first"));
}

TEST_F(LoadQuestion, NoDropsTheChanges) {
    boxes.Answer({IDNO});
    EXPECT_EQ(editor().LoadFile(second.c_str()), 0u);
    EXPECT_EQ(EditorBytes(editor()), Bytes("second"));
    EXPECT_EQ(ReadAll(first), Bytes("first"));
}

TEST_F(LoadQuestion, YesSavesFirst) {
    boxes.Answer({IDYES});
    EXPECT_EQ(editor().LoadFile(second.c_str()), 0u);
    EXPECT_EQ(ReadAll(first), Bytes("FIRST"));
    EXPECT_EQ(EditorBytes(editor()), Bytes("second"));
}

TEST_F(LoadQuestion, YesWithAFailingSaveCancelsTheLoad) {
    ASSERT_TRUE(SetImmutable(first, true));
    boxes.Answer({IDYES, IDOK});
    EXPECT_EQ(editor().LoadFile(second.c_str()), static_cast<DWORD>(ERROR_CANCELLED));
    ASSERT_TRUE(SetImmutable(first, false));
    ASSERT_EQ(boxes.Count(), 2u);
    EXPECT_EQ(boxes.Boxes()[1].title, L"Save");
    EXPECT_EQ(EditorBytes(editor()), Bytes("FIRST"));
    EXPECT_EQ(editor().modified, 1);
    EXPECT_EQ(std::wstring(editor().filePath), first);
    // The failed save left the changes; the next load asks again.
    boxes.Clear();
    boxes.Answer({IDNO});
    EXPECT_EQ(editor().LoadFile(second.c_str()), 0u);
    EXPECT_EQ(boxes.Count(), 1u);
}

TEST_F(FileIo, RevertReloadsTheFileAfterConfirmation) {
    const auto path = WriteAndLoad(L"a.bin", Bytes("on disk"));
    Edit(Bytes("in memory"));
    boxes.Answer({IDCANCEL});
    editor().RevertFile();
    EXPECT_EQ(EditorBytes(editor()), Bytes("in memory"));
    boxes.Answer({IDOK});
    editor().RevertFile();
    EXPECT_EQ(EditorBytes(editor()), Bytes("on disk"));
    EXPECT_EQ(editor().modified, 0);
    ASSERT_EQ(boxes.Count(), 2u); // no "Load" question after the confirmation
    const RecordedBox box = boxes.Boxes()[1];
    EXPECT_EQ(box.text, L"Revert file to last saved version, and lose all current changes?");
    EXPECT_EQ(box.title, L"Revert");
    EXPECT_EQ(box.buttons, (std::vector<int>{IDOK, IDCANCEL}));
    EXPECT_EQ(box.icon, BoxIcon::Warning);
}

TEST_F(FileIo, ViewSizeStepsThroughTheThreeModes) {
    for (int i = 0; i < 4; ++i)
        editor().CycleViewSize();
    const auto& received = page.Received();
    ASSERT_EQ(received.size(), 4u);
    const WPARAM expected[] = {2, 3, 1, 2};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(received[i].message, WM_HEXVIEWSIZE);
        EXPECT_EQ(received[i].wParam, expected[i]);
        EXPECT_EQ(received[i].lParam, 0);
    }
    EXPECT_EQ(editor().viewMode, 2);
}

// The real page in a sheet over a 26-byte file, driven as a user would. The file lies at a
// 400-character path, which Windows takes only in its "\\?\" form.
class FileIoOnPage : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folderMade);
        ASSERT_EQ(path.size(), 400u);
        ASSERT_EQ(editor().length, 26);
    }
    void TearDown() override {
        sheet.Close();
        DeleteFileW(path.c_str());
        RemoveDirectoryW(dir.Path(std::wstring(200, L'f')).c_str());
    }
    CHexEdit& editor() { return sheet.ext().editor; }
    std::vector<uint8_t> Change() {
        editor().buffer[0] = 'Z';
        editor().modified = 1;
        return EditorBytes(editor());
    }
    // Another program writes the file, or another file renamed over it, and gives it a
    // last-write time.
    void Rewrite(const char* bytes, DWORD timeHigh, bool byRename = false) {
        dir.Write(byRename ? name + L"~" : name, Bytes(bytes));
        if (byRename)
            MoveFileExW((path + L"~").c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
        HANDLE file =
            CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        const FILETIME written{0, timeHigh};
        SetFileTime(file, nullptr, nullptr, &written);
        CloseHandle(file);
    }

    TempFolder dir;
    const bool folderMade = CreateDirectoryW(dir.Path(std::wstring(200, L'f')).c_str(), nullptr);
    const std::wstring name = // the '~' makes it a name that may be short
        std::wstring(200, L'f') + L"\\~" + std::wstring(198 - dir.folder().size(), L'n');
    const std::wstring path = dir.Write(name, Bytes("abcdefghijklmnopqrstuvwxyz"));
    MessageBoxRecorder boxes; // listening before the sheet opens
    PathRecorder paths;       // from AddPages' first look on
    InProcessSheet sheet{std::vector<std::wstring>{path}};
};

TEST_F(FileIoOnPage, FailedRevertLeavesNothingThatASaveCouldWriteOverTheFile) {
    HWND view = sheet.control(IDC_HEX_VIEW);
    SetForegroundWindow(sheet.sheet());
    SetFocus(view);
    PressKeys({'5'});
    ASSERT_EQ(editor().modified, 1);
    HANDLE other = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    boxes.Answer({IDOK, IDOK, IDYES});
    PressKeys({VK_CONTROL, 'N'});
    CloseHandle(other);
    PressKeys({'4', '1'});
    PressKeys({VK_CONTROL, 'S'});
    const auto shown = MessageBoxesOnly(boxes);
    ASSERT_EQ(shown.size(), 2u) << "the revert question and the read error, no save question";
    EXPECT_EQ(shown[1].text,
              L"There was an error reading file - " + SystemText(ERROR_SHARING_VIOLATION));
    EXPECT_FALSE(IsWindowEnabled(view));
    EXPECT_EQ(std::wstring(editor().filePath), path) << "kept for a later revert";
    EXPECT_EQ(ReadAll(path), Bytes("abcdefghijklmnopqrstuvwxyz"));
}

// From AddPages through the page's load to its save, no call gets the long path in another form.
TEST_F(FileIoOnPage, LongPathReachesTheFileSystemOnlyInItsLongForm) {
    const auto changed = Change();
    boxes.Answer({IDYES});
    EXPECT_FALSE(sheet.PressButton(PSBTN_OK));
    const auto calls = paths.Calls();
    for (const auto& [function, given] : calls)
        EXPECT_TRUE(given.size() < 260 || given.rfind(L"\\\\?\\", 0) == 0)
            << function << " " << given;
    for (const char* function :
         {"FindFirstFileW", "GetLongPathNameW", "GetFileAttributesW", "CreateFileW"})
        EXPECT_NE(std::count(calls.begin(), calls.end(),
                             std::pair{std::string(function), L"\\\\?\\" + path}),
                  0)
            << function;
    EXPECT_EQ(ReadAll(path), changed);
}

// Another program rewrites the file after the load: another size at the same write time, the
// same size written later (0x01D00000 is in 2015), or another file of the same size and time
// renamed over it. The save asks first; the editor's own saves ask nothing.
TEST_F(FileIoOnPage, SaveAsksBeforeOverwritingAnotherProgramsChanges) {
    for (const auto& [rewrite, time, byRename] :
         {std::tuple{"another program's bytes", 0x01D00000ul, false},
          std::tuple{"ABCDEFGHIJKLMNOPQRSTUVWXYZ", 0x01D00001ul, false},
          std::tuple{"0123456789ABCDEFGHIJKLMNOP", 0x01D00000ul, true}}) {
        Rewrite("abcdefghijklmnopqrstuvwxyz", 0x01D00000);
        ASSERT_EQ(editor().LoadFile(path.c_str()), 0u);
        const auto changed = Change();
        Rewrite(rewrite, time, byRename);
        boxes.Clear();
        boxes.Answer({IDNO});
        EXPECT_EQ(editor().SaveFile(0), static_cast<DWORD>(ERROR_CANCELLED)) << rewrite;
        EXPECT_EQ(ReadAll(path), Bytes(rewrite));
        EXPECT_EQ(editor().modified, 1);
        boxes.Answer({IDYES});
        EXPECT_EQ(editor().SaveFile(0), 0u);
        EXPECT_EQ(ReadAll(path), changed);
        editor().buffer[1] = 'Y';
        editor().modified = 1;
        EXPECT_EQ(editor().SaveFile(0), 0u);
        EXPECT_EQ(ReadAll(path), EditorBytes(editor()));

        const auto shown = MessageBoxesOnly(boxes);
        ASSERT_EQ(shown.size(), 2u) << rewrite;
        for (const RecordedBox& box : shown) {
            EXPECT_EQ(box.text, L"The file has been changed by another program since it was "
                                L"loaded. Do you want to overwrite it?");
            EXPECT_EQ(box.title, L"Save");
            EXPECT_EQ(box.buttons, (std::vector<int>{IDYES, IDNO}));
            EXPECT_EQ(box.icon, BoxIcon::Warning);
            EXPECT_EQ(box.owner, sheet.sheet());
        }
    }
}

// Declined when the sheet closes: at OK the sheet stays open with the changes; the sheet's
// Cancel can't be refused, and drops them.
TEST_F(FileIoOnPage, DecliningToOverwriteWhenTheSheetClosesWritesNothing) {
    for (int button : {PSBTN_OK, PSBTN_CANCEL}) {
        boxes.Clear();
        const auto changed = Change();
        dir.Write(name, Bytes("rewritten"));
        boxes.Answer({IDYES, IDNO});
        EXPECT_EQ(sheet.PressButton(button), button == PSBTN_OK);
        const auto shown = MessageBoxesOnly(boxes);
        ASSERT_EQ(shown.size(), 2u) << button;
        EXPECT_EQ(shown[0].text, L"The file has changed. Do you want to save changes?");
        EXPECT_EQ(shown[1].title, L"Save");
        EXPECT_EQ(ReadAll(path), Bytes("rewritten"));
        if (button == PSBTN_OK) {
            EXPECT_EQ(EditorBytes(editor()), changed) << "the page still shows the changes";
        }
    }
}

// While the question is up the file is not held: the other program can write it again, and
// Yes then asks about that newer change before overwriting anything.
TEST_F(FileIoOnPage, TheQuestionLeavesTheFileFreeAndYesLooksAgain) {
    const auto changed = Change();
    Rewrite("first rewrite", 0x01D00000);
    MessageBoxRecorder answering(
        GetCurrentThreadId(), MessageBoxRecorder::Answers::BoxesOnly,
        [&](const RecordedBox&, int) { Rewrite("second rewrite", 0x01D00000); });
    answering.Answer({IDYES, IDNO});
    EXPECT_EQ(editor().SaveFile(0), static_cast<DWORD>(ERROR_CANCELLED));
    EXPECT_EQ(answering.Count(), 2u);
    EXPECT_EQ(ReadAll(path), Bytes("second rewrite"));
    answering.Answer({IDYES});
    EXPECT_EQ(editor().SaveFile(0), 0u);
    EXPECT_EQ(ReadAll(path), changed);
}

} // namespace
