// Loading a file into the editor (whole, or on demand from 2 GiB), writing it back in place,
// reverting, and stepping the view size.
#include "hexedit/hex_edit.h"

#include <cstring>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

#include "hexedit/core/byte_buffer.h"
#include "hexedit/core/editor_source.h"
#include "hexedit/core/file_size_rule.h"
#include "hexedit/core/long_path.h"
#include "hexedit/error_text.h"
#include "hexedit/on_demand_file.h"
#include "hexedit/progress_window.h"
#include "hexedit/win32_handles.h"

namespace {

// Attribute bits passed when opening; they have no effect on an existing file.
constexpr DWORD kOpenAttributes = 0x11A7;

bool SeekTo(HANDLE file, uint64_t offset) {
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    return SetFilePointerEx(file, at, nullptr, FILE_BEGIN) != FALSE;
}

// Writes `size` bytes over a file of `oldSize` bytes, leaving the file pointer after them. A
// file that grows gets its new tail first: those are the blocks that can run out, and a tail
// that can't be written is cut off again, so no old byte is overwritten before the room for
// the new ones is there. A file that keeps its size or shrinks needs no room.
DWORD WriteOver(HANDLE file, const uint8_t* bytes, uint32_t size, uint64_t oldSize,
                FileJobProgress& progress) {
    if (size <= oldSize)
        return WriteChunks(file, bytes, size, progress);
    const auto head = static_cast<uint32_t>(oldSize);
    if (!SeekTo(file, head))
        return GetLastError();
    DWORD code = WriteChunks(file, bytes + head, size - head, progress);
    if (code != ERROR_SUCCESS) {
        if (SeekTo(file, head))
            SetEndOfFile(file);
        return code;
    }
    if (!SeekTo(file, 0))
        return GetLastError();
    code = WriteChunks(file, bytes, head, progress);
    if (code == ERROR_SUCCESS && !SeekTo(file, size))
        code = GetLastError();
    return code;
}

// The whole writing part of a save, run on the worker: the bytes, the cut of an old tail, and
// the flush. A file that has become shorter loses its old tail; any other has its size
// already, and setting that again can fail on a full disk (it does under Wine). Closing leaves
// what the system cached to be written later, and a medium pulled or a power cut meanwhile
// loses it: the save is done once the bytes are on the medium.
DWORD WriteAndFlush(HANDLE file, const uint8_t* bytes, uint32_t size, uint64_t oldSize,
                    FileJobProgress& progress) {
    DWORD code = WriteOver(file, bytes, size, oldSize, progress);
    if (code == ERROR_SUCCESS && size < oldSize && !SetEndOfFile(file))
        code = GetLastError();
    if (code == ERROR_SUCCESS && !FlushFileBuffers(file))
        code = GetLastError();
    return code;
}

// FileIdInfo of the file-information classes: Windows 8 and later.
constexpr auto kFileIdInfo = static_cast<FILE_INFO_BY_HANDLE_CLASS>(18);
struct FileIdInformation {
    ULONGLONG volumeSerialNumber;
    BYTE fileId[16];
};

// What the handle tells of the file it opened: through links, the file itself (the path's
// attributes would describe a link instead). The 64-bit file index is not unique on ReFS; the
// 128-bit id with its 64-bit volume serial is, where the system gives them.
DWORD StampOfHandle(HANDLE file, FileStamp& stamp) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file, &info))
        return GetLastError();
    stamp = FileStamp{};
    stamp.volume = info.dwVolumeSerialNumber;
    stamp.id[0] = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    stamp.size = (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    stamp.written = (static_cast<uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32) |
                    info.ftLastWriteTime.dwLowDateTime;
    FileIdInformation id{};
    if (GetFileInformationByHandleEx(file, kFileIdInfo, &id, sizeof(id))) {
        stamp.volume = id.volumeSerialNumber;
        std::memcpy(stamp.id, id.fileId, sizeof(stamp.id));
    }
    return ERROR_SUCCESS;
}

// Opens the existing file at `systemPath` and reads its stamp; the code of a failure.
DWORD OpenWithStamp(const std::wstring& systemPath, DWORD access, DWORD share, UniqueFile& file,
                    FileStamp& stamp) {
    file.reset(CreateFileW(systemPath.c_str(), access, share, nullptr, OPEN_EXISTING,
                           kOpenAttributes, nullptr));
    if (!file)
        return GetLastError();
    return StampOfHandle(file.get(), stamp);
}

// What a load's worker found. Shared with it: a load cancelled while the medium is stalled ends
// on the worker, which then lets go of the block and the file.
struct FileRead {
    bool pathChecked = false; // the path names something that is not a folder
    FileStamp stamp;
    GuardedBlock<uint8_t> block;
    uint32_t size = 0;
    std::shared_ptr<UniqueFile> onDemand; // the open file of 2 GiB or more, for the editor
    std::vector<uint8_t> firstPage;       // its first rows, read on the way (empty if not)
};

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// A file of 2 GiB or more is not read here: it stays open for reading while it is shown,
// sharing read, write and delete, so a program writing it (a virtual machine, a download) is
// not locked out and a file such a program holds opens. A smaller file is read whole or not at
// all: then `refused` is the code of the first open.
DWORD OpenOnDemand(const std::wstring& systemPath, FileRead& read, DWORD refused) {
    UniqueFile file;
    FileStamp stamp;
    if (const DWORD code = OpenWithStamp(systemPath, GENERIC_READ, kShareAll, file, stamp))
        return refused != ERROR_SUCCESS ? refused : code;
    if (filesize::FitsInBuffer(static_cast<int64_t>(stamp.size)))
        return refused != ERROR_SUCCESS ? refused : ERROR_SHARING_VIOLATION;
    read.stamp = stamp;
    // The rows an open shows first, read while the worker is here anyway.
    read.firstPage.resize(bytes::PageCache::kDefaultPageSize);
    if (ReadFileAt(file.get(), 0, read.firstPage.data(), read.firstPage.size()) != ERROR_SUCCESS)
        read.firstPage.clear();
    read.onDemand = std::make_shared<UniqueFile>(std::move(file));
    return ERROR_SUCCESS;
}

// Every call of the file system a load makes, run on the worker: a share that stops answering
// may block in the lookup or the open as well as in the read. The file is closed here too,
// unless it is to be read on demand.
DWORD ReadWholeFile(const std::wstring& systemPath, FileRead& read, FileJobProgress& progress) {
    WIN32_FILE_ATTRIBUTE_DATA listed{};
    if (!GetFileAttributesExW(systemPath.c_str(), GetFileExInfoStandard, &listed))
        return GetLastError();
    if (listed.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return ERROR_ACCESS_DENIED;
    read.pathChecked = true;
    // A file listed as too large to read whole is opened once, straight for reading on demand;
    // the open's own stamp decides (a link lists itself, not its file).
    const uint64_t listedSize =
        (static_cast<uint64_t>(listed.nFileSizeHigh) << 32) | listed.nFileSizeLow;
    if (!filesize::FitsInBuffer(static_cast<int64_t>(listedSize)) &&
        OpenOnDemand(systemPath, read, ERROR_SUCCESS) == ERROR_SUCCESS)
        return ERROR_SUCCESS;
    // No other program may write while the file is open for reading: this is the file as read.
    UniqueFile file;
    FileStamp stamp;
    const DWORD code = OpenWithStamp(systemPath, GENERIC_READ, FILE_SHARE_READ, file, stamp);
    if (progress.cancel.load())
        return ERROR_OPERATION_ABORTED; // cancelled while the lookup or the open was stalled
    const bool tooLarge =
        code == ERROR_SUCCESS && !filesize::FitsInBuffer(static_cast<int64_t>(stamp.size));
    // A program writing a large file may hold it so that only a sharing open succeeds.
    if (tooLarge || code == ERROR_SHARING_VIOLATION) {
        file.reset();
        return OpenOnDemand(systemPath, read, code);
    }
    if (code != ERROR_SUCCESS)
        return code;
    progress.total.store(stamp.size);
    read.stamp = stamp;
    if (stamp.size == 0)
        return ERROR_SUCCESS;
    const auto size = static_cast<uint32_t>(stamp.size);
    GuardedBlock<uint8_t> block(static_cast<uint8_t*>(GuardedAlloc(size)));
    if (!block)
        return ERROR_NOT_ENOUGH_MEMORY;
    if (const DWORD code = ReadChunks(file.get(), block.get(), size, progress))
        return code;
    read.block = std::move(block);
    read.size = size;
    return ERROR_SUCCESS;
}

// One try at a save, run on the worker: the exclusive open, the stamp compare, the bytes, the
// flush, the close and the stamp of the file as saved. A file changed by another program since
// `accepted` is closed again untouched, for the user to be asked.
struct SaveTry {
    FileStamp accepted;
    const uint8_t* bytes = nullptr;
    uint32_t size = 0;
    const bytes::ChangeSet* changes = nullptr; // a file read on demand: only these are written
    FileStamp found;                           // as opened
    bool changed = false;                      // by another program: nothing was written
    bool written = false;                      // the write was tried, whatever came of it
    bool savedKnown = false;
    FileStamp saved;
};

// The changed runs of a file read on demand, each at its offset in offset order, then the flush:
// the rest of the file, holes of a sparse one included, is left as it is.
DWORD WriteRunsAndFlush(HANDLE file, const bytes::ChangeSet& changes, FileJobProgress& progress) {
    DWORD code = ERROR_SUCCESS;
    changes.ForEachRun([&](uint64_t offset, const uint8_t* bytes, size_t count) {
        code = WriteFileAt(file, offset, bytes, count);
        progress.done.fetch_add(count);
        return code == ERROR_SUCCESS;
    });
    if (code == ERROR_SUCCESS && !FlushFileBuffers(file))
        code = GetLastError();
    return code;
}

DWORD SaveOnce(const std::wstring& systemPath, SaveTry& save, FileJobProgress& progress) {
    UniqueFile file;
    // Held exclusively from here on, so what is compared is what gets overwritten; a file read
    // on demand shares reading with the editor's own handle only.
    const DWORD share = save.changes ? FILE_SHARE_READ : 0;
    if (const DWORD code = OpenWithStamp(systemPath, GENERIC_WRITE | FILE_READ_ATTRIBUTES, share,
                                         file, save.found))
        return code;
    if (save.found != save.accepted) {
        save.changed = true;
        return ERROR_SUCCESS;
    }
    save.written = true;
    DWORD code = save.changes
                     ? WriteRunsAndFlush(file.get(), *save.changes, progress)
                     : WriteAndFlush(file.get(), save.bytes, save.size, save.found.size, progress);
    if (!CloseHandle(file.release()) && code == ERROR_SUCCESS)
        code = GetLastError();
    // Read once the file is closed, which is when the system settles its last-write time.
    UniqueFile saved;
    save.savedKnown = OpenWithStamp(systemPath, FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, saved,
                                    save.saved) == ERROR_SUCCESS;
    return code;
}

} // namespace

DWORD CHexEdit::ReportFileError(const wchar_t* format, const wchar_t* title, DWORD code) {
    MessageBoxW(hwnd, FormatErrorMessage(format, code).c_str(), title, MB_OK | MB_ICONERROR);
    return code;
}

void CHexEdit::ResetViewState(int64_t newLength) {
    selAnchor = selEnd = -1;
    length = newLength;
    caretOffset = 0;
    caretX = caretY = 0;
    caretPane = kHexHigh;
    topOffset = 0;
    layoutStale = 1;
    modified = 0;
    editing::UseWholeBlock(*this);
}

DWORD CHexEdit::LoadFile(const wchar_t* path) {
    if (modified) {
        const int answer = MessageBoxW(hwnd, L"The file has changed. Do you want to save changes?",
                                       L"Load", MB_YESNOCANCEL | MB_ICONWARNING);
        if (answer == IDCANCEL || (answer == IDYES && SaveFile(0) != ERROR_SUCCESS))
            return ERROR_CANCELLED;
    }
    // The path may be our own filePath (revert): keep a copy before anything changes.
    const std::wstring wanted = path ? path : L"";

    ResetViewState(0);
    largeFile.reset();
    GuardedFree(buffer);
    buffer = nullptr;
    fileLoaded = false;
    const DWORD code = ReadIntoBuffer(wanted);
    fileLoaded = code == ERROR_SUCCESS;
    RefitFontForAddresses(); // past 4 GiB the addresses take more digits
    // A read the user cancelled ends as a failed one, without the box: the user chose it.
    if (code != ERROR_SUCCESS && code != ERROR_OPERATION_ABORTED)
        ReportFileError(L"There was an error reading file - %s", L"Hex Editor", code);
    // After a failed load the view holds nothing of the file: it takes no edits until a load
    // succeeds (see fileLoaded), so no save can write its emptiness over the file. This covers
    // a revert as well as the page's loads.
    EnableWindow(hwnd, code == ERROR_SUCCESS);
    return code;
}

DWORD CHexEdit::ReadIntoBuffer(const std::wstring& path) {
    auto read = std::make_shared<FileRead>();
    const std::wstring systemPath = longpath::ForFileSystem(path);
    const DWORD code = RunFileJob(
        hwnd, progress::Operation::Read, path, FileJobProgress::kUnknownTotal,
        [read, systemPath](FileJobProgress& progress) {
            return ReadWholeFile(systemPath, *read, progress);
        },
        OnCancel::LeaveBehind);
    // A cancelled load may still be running: nothing of it is looked at. Its path becomes this
    // editor's all the same, so a revert tries the file again.
    if (code == ERROR_OPERATION_ABORTED || read->pathChecked) {
        wcsncpy(filePath, path.c_str(), kPathCapacity - 1);
        filePath[kPathCapacity - 1] = L'\0';
    }
    if (code == ERROR_OPERATION_ABORTED)
        return code;
    if (code != ERROR_SUCCESS)
        return code;
    fileStamp = read->stamp;
    if (read->onDemand) {
        // Only the rows on screen are read, when they are painted.
        largeFile =
            std::make_unique<OnDemandFile>(hwnd, path, std::move(read->onDemand), read->stamp.size);
        largeFile->source.Cache().Prime(0, std::move(read->firstPage));
        editing::UseOnDemand(*this, largeFile->source);
        UpdateScrollBar();
        return ERROR_SUCCESS;
    }
    if (read->size == 0)
        return ERROR_SUCCESS;
    // The block becomes the buffer only once every byte is in it: a partial copy is never shown
    // nor held.
    buffer = read->block.release();
    ResetViewState(static_cast<int64_t>(read->size));
    UpdateScrollBar();
    return ERROR_SUCCESS;
}

DWORD CHexEdit::WriteOverFile() {
    const std::wstring systemPath = longpath::ForFileSystem(filePath);
    SaveTry save;
    save.accepted = fileStamp;
    // The worker reads the buffer through its own copy of the pointer; nothing on this thread
    // can change or free the block meanwhile, since every edit, load and close is refused
    // until the save has ended. It has no Cancel: stopped half-way the file would be part
    // old, part new.
    if (largeFile)
        save.changes = &largeFile->source.Changes();
    else {
        save.bytes = buffer;
        save.size = static_cast<uint32_t>(length);
    }
    const uint64_t total = save.changes ? save.changes->ChangedBytes() : save.size;
    SaveTry* job = &save;
    for (;;) {
        const DWORD code = RunFileJob(hwnd, progress::Operation::Save, filePath, total,
                                      [job, systemPath](FileJobProgress& progress) {
                                          return SaveOnce(systemPath, *job, progress);
                                      });
        // What this save did to the file, even a failed one, is no other program's change;
        // unreadable, the next save asks rather than overwrite unasked.
        if (save.written) {
            fileStamp = save.saved;
            if (!save.savedKnown)
                fileStamp.size = ~0ull;
        }
        if (code != ERROR_SUCCESS || !save.changed)
            return code;
        // Asked with the file closed: the program that changed it may be using it.
        if (MessageBoxW(hwnd,
                        L"The file has been changed by another program since it was loaded. Do "
                        L"you want to overwrite it?",
                        L"Save", MB_YESNO | MB_ICONWARNING) != IDYES)
            return ERROR_CANCELLED;
        // Yes overwrites the file as it was when asked; a change made meanwhile is asked about.
        save.accepted = save.found;
        save.changed = false;
    }
}

DWORD CHexEdit::SaveFile(int ask) {
    static const wchar_t kSaveError[] = L"There was an error saving file - %s";
    if (!fileLoaded)
        return ERROR_SUCCESS; // nothing of a file is held, so nothing may be written over one
    if (ask && MessageBoxW(hwnd, L"Do you want to save file?", L"Hex Editor",
                           MB_YESNOCANCEL | MB_ICONQUESTION) != IDYES)
        return ERROR_SUCCESS;
    if (!modified)
        return ERROR_SUCCESS;

    const DWORD code = WriteOverFile();
    if (code == ERROR_CANCELLED)
        return code;
    if (code != ERROR_SUCCESS)
        return ReportFileError(kSaveError, L"Save", code);
    modified = 0;
    if (largeFile)
        largeFile->source.Revert(); // the file holds the changes now: read from it again
    return ERROR_SUCCESS;
}

void CHexEdit::RevertFile() {
    if (MessageBoxW(hwnd, L"Revert file to last saved version, and lose all current changes?",
                    L"Revert", MB_OKCANCEL | MB_ICONWARNING) != IDOK)
        return;
    modified = 0;
    LoadFile(filePath);
    PlaceCaret(caretOffset);
    Invalidate();
}

void CHexEdit::ReleaseFile() {
    fileLoaded = false;
    GuardedFree(buffer);
    buffer = nullptr;
    ResetViewState(0);
    largeFile.reset();
}

void CHexEdit::ShowFileAsItIsNow() {
    if (!largeFile || modified || checkingStamp)
        return;
    checkingStamp = true;
    auto found = std::make_shared<FileStamp>();
    const std::wstring systemPath = longpath::ForFileSystem(filePath);
    const DWORD code = RunFileJob(
        hwnd, progress::Operation::Read, filePath, FileJobProgress::kUnknownTotal,
        [found, systemPath](FileJobProgress&) {
            UniqueFile file;
            return OpenWithStamp(systemPath, FILE_READ_ATTRIBUTES, kShareAll, file, *found);
        },
        OnCancel::LeaveBehind);
    checkingStamp = false;
    if (code != ERROR_SUCCESS || !(*found != fileStamp))
        return;
    const bool sameFile = found->volume == fileStamp.volume && found->id[0] == fileStamp.id[0] &&
                          found->id[1] == fileStamp.id[1];
    // Another file in its place, or one now read whole: loaded afresh.
    if (!sameFile || filesize::FitsInBuffer(static_cast<int64_t>(found->size))) {
        LoadFile(filePath);
        Invalidate();
        return;
    }
    fileStamp = *found;
    largeFile->source.Cache().Reset(found->size);
    length = static_cast<int64_t>(found->size);
    selAnchor = selEnd = -1;
    RefitFontForAddresses();
    MoveCaret(0, 0); // into the file as it is now, the view following
    UpdateScrollBar();
    Invalidate();
}

bool CHexEdit::TakeCancelledRead() {
    return largeFile && largeFile->reader.TakeCancelled();
}

void CHexEdit::TellUnreadBytes() {
    if (!largeFile)
        return;
    if (const DWORD code = largeFile->reader.TakeFailureToTell())
        ReportFileError(L"There was an error reading file - %s", L"Hex Editor", code);
}

LRESULT CHexEdit::CycleViewSize() {
    viewMode = viewMode >= 3 ? 1 : viewMode + 1;
    return SendMessageW(pageHwnd, WM_HEXVIEWSIZE, static_cast<WPARAM>(viewMode), 0);
}
