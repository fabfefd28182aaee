// Loading a file whole into the editor, writing it back in place, reverting, and stepping the
// view size.
#include "hexedit/hex_edit.h"

#include <cwchar>
#include <string>

#include "hexedit/core/byte_buffer.h"
#include "hexedit/core/file_size_rule.h"
#include "hexedit/core/long_path.h"
#include "hexedit/error_text.h"
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

uint64_t SizeOf(const BY_HANDLE_FILE_INFORMATION& info) {
    return (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
}

// Opens the existing file at `systemPath` and reads what its handle tells of it: through links,
// the file itself (the path's attributes would describe a link instead). The code of a failure.
DWORD OpenWithInfo(const std::wstring& systemPath, DWORD access, DWORD share, UniqueFile& file,
                   BY_HANDLE_FILE_INFORMATION& info) {
    file.reset(CreateFileW(systemPath.c_str(), access, share, nullptr, OPEN_EXISTING,
                           kOpenAttributes, nullptr));
    if (!file)
        return GetLastError();
    return GetFileInformationByHandle(file.get(), &info) ? ERROR_SUCCESS : GetLastError();
}

} // namespace

CHexEdit::FileStamp CHexEdit::StampOf(const BY_HANDLE_FILE_INFORMATION& info) {
    FileStamp stamp;
    stamp.volume = info.dwVolumeSerialNumber;
    stamp.index = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    stamp.size = SizeOf(info);
    stamp.written = (static_cast<uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32) |
                    info.ftLastWriteTime.dwLowDateTime;
    return stamp;
}

DWORD CHexEdit::ReportFileError(const wchar_t* format, const wchar_t* title, DWORD code) {
    MessageBoxW(hwnd, FormatErrorMessage(format, code).c_str(), title, MB_OK | MB_ICONERROR);
    return code;
}

void CHexEdit::ResetViewState(int32_t newLength) {
    selAnchor = selEnd = -1;
    length = newLength;
    caretOffset = 0;
    caretX = caretY = 0;
    caretPane = kHexHigh;
    topOffset = 0;
    layoutStale = 1;
    modified = 0;
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
    GuardedFree(buffer);
    buffer = nullptr;
    fileLoaded = false;
    const DWORD code = ReadIntoBuffer(wanted);
    fileLoaded = code == ERROR_SUCCESS;
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
    const std::wstring systemPath = longpath::ForFileSystem(path);
    const DWORD attributes = GetFileAttributesW(systemPath.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return GetLastError();
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return ERROR_ACCESS_DENIED;

    wcsncpy(filePath, path.c_str(), kPathCapacity - 1);
    filePath[kPathCapacity - 1] = L'\0';

    // No other program may write while the file is open for reading: this is the file as read.
    UniqueFile file;
    BY_HANDLE_FILE_INFORMATION info{};
    if (const DWORD code = OpenWithInfo(systemPath, GENERIC_READ, FILE_SHARE_READ, file, info))
        return code;
    const uint64_t size = SizeOf(info);
    if (!filesize::FitsInBuffer(static_cast<int64_t>(size))) {
        // Nothing of it can be held; forget the path too, so no later save can write a
        // shortened copy over it.
        filePath[0] = L'\0';
        return ERROR_FILE_TOO_LARGE;
    }
    fileStamp = StampOf(info);
    if (size == 0)
        return ERROR_SUCCESS;

    const auto byteCount = static_cast<uint32_t>(size);
    GuardedBlock<uint8_t> block(static_cast<uint8_t*>(GuardedAlloc(byteCount)));
    if (!block)
        return ERROR_NOT_ENOUGH_MEMORY;
    // The worker gets the handle and a block that is not yet the editor's; it becomes the
    // buffer only once the worker has ended with every byte. A partial copy is never shown
    // nor held.
    HANDLE handle = file.get();
    uint8_t* into = block.get();
    const DWORD code = RunFileJob(hwnd, progress::Operation::Read, path, byteCount,
                                  [handle, into, byteCount](FileJobProgress& progress) {
                                      return ReadChunks(handle, into, byteCount, progress);
                                  });
    if (code != ERROR_SUCCESS)
        return code;
    buffer = block.release();
    ResetViewState(static_cast<int32_t>(byteCount));
    UpdateScrollBar();
    return ERROR_SUCCESS;
}

DWORD CHexEdit::OpenForSaving(UniqueFile& file, uint64_t& oldSize) {
    const std::wstring systemPath = longpath::ForFileSystem(filePath);
    FileStamp accepted = fileStamp;
    for (;;) {
        // Held exclusively from here on, so what is compared is what gets overwritten.
        BY_HANDLE_FILE_INFORMATION info{};
        if (const DWORD code =
                OpenWithInfo(systemPath, GENERIC_WRITE | FILE_READ_ATTRIBUTES, 0, file, info))
            return code;
        const FileStamp found = StampOf(info);
        oldSize = found.size;
        if (!(found != accepted))
            return ERROR_SUCCESS;
        // Not held while the user decides: the program that changed the file may be using it.
        file.reset();
        if (MessageBoxW(hwnd,
                        L"The file has been changed by another program since it was loaded. Do "
                        L"you want to overwrite it?",
                        L"Save", MB_YESNO | MB_ICONWARNING) != IDYES)
            return ERROR_CANCELLED;
        // Yes overwrites the file as it was when asked; a change made meanwhile is asked about.
        accepted = found;
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

    UniqueFile file;
    uint64_t oldSize = 0;
    DWORD code = OpenForSaving(file, oldSize);
    if (code == ERROR_CANCELLED)
        return code;
    if (code != ERROR_SUCCESS)
        return ReportFileError(kSaveError, L"Save", code);
    // The worker reads the buffer through its own copy of the pointer; nothing on this thread
    // can change or free the block meanwhile, since every edit, load and close is refused
    // until the save has ended. It has no Cancel: stopped half-way the file would be part
    // old, part new.
    HANDLE handle = file.get();
    const uint8_t* bytes = buffer;
    const auto size = static_cast<uint32_t>(length);
    code = RunFileJob(hwnd, progress::Operation::Save, filePath, size,
                      [handle, bytes, size, oldSize](FileJobProgress& progress) {
                          return WriteAndFlush(handle, bytes, size, oldSize, progress);
                      });
    if (!CloseHandle(file.release()) && code == ERROR_SUCCESS)
        code = GetLastError();
    // Read once the file is closed, which is when the system settles its last-write time. What
    // this save did to the file, even a failed one, is no other program's change; unreadable,
    // the next save asks rather than overwrite unasked.
    BY_HANDLE_FILE_INFORMATION saved{};
    if (OpenWithInfo(longpath::ForFileSystem(filePath), FILE_READ_ATTRIBUTES,
                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, file,
                     saved) == ERROR_SUCCESS)
        fileStamp = StampOf(saved);
    else
        fileStamp.size = ~0ull;
    file.reset();
    if (code != ERROR_SUCCESS)
        return ReportFileError(kSaveError, L"Save", code);
    modified = 0;
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
}

LRESULT CHexEdit::CycleViewSize() {
    viewMode = viewMode >= 3 ? 1 : viewMode + 1;
    return SendMessageW(pageHwnd, WM_HEXVIEWSIZE, static_cast<WPARAM>(viewMode), 0);
}
