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

DWORD WriteWhole(HANDLE file, const uint8_t* from, uint32_t size) {
    uint32_t done = 0;
    while (done < size) {
        DWORD put = 0;
        if (!WriteFile(file, from + done, size - done, &put, nullptr))
            return GetLastError();
        if (put == 0)
            return ERROR_WRITE_FAULT;
        done += put;
    }
    return ERROR_SUCCESS;
}

bool SeekTo(HANDLE file, uint64_t offset) {
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    return SetFilePointerEx(file, at, nullptr, FILE_BEGIN) != FALSE;
}

// Writes `size` bytes over a file of `oldSize` bytes, leaving the file pointer after them. A
// file that grows gets its new tail first: those are the blocks that can run out, and a tail
// that can't be written is cut off again, so no old byte is overwritten before the room for
// the new ones is there. A file that keeps its size or shrinks needs no room.
DWORD WriteOver(HANDLE file, const uint8_t* bytes, uint32_t size, uint64_t oldSize) {
    if (size <= oldSize)
        return WriteWhole(file, bytes, size);
    const auto head = static_cast<uint32_t>(oldSize);
    if (!SeekTo(file, head))
        return GetLastError();
    DWORD code = WriteWhole(file, bytes + head, size - head);
    if (code != ERROR_SUCCESS) {
        if (SeekTo(file, head))
            SetEndOfFile(file);
        return code;
    }
    if (!SeekTo(file, 0))
        return GetLastError();
    code = WriteWhole(file, bytes, head);
    if (code == ERROR_SUCCESS && !SeekTo(file, size))
        code = GetLastError();
    return code;
}

// Both BY_HANDLE_FILE_INFORMATION and WIN32_FILE_ATTRIBUTE_DATA.
template <class Info> uint64_t SizeOf(const Info& info) {
    return (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
}
template <class Info> uint64_t WrittenOf(const Info& info) {
    return (static_cast<uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32) |
           info.ftLastWriteTime.dwLowDateTime;
}

} // namespace

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
    const DWORD code = ReadIntoBuffer(wanted);
    // A read the user cancelled ends as a failed one, without the box: the user chose it.
    if (code != ERROR_SUCCESS && code != ERROR_OPERATION_ABORTED)
        ReportFileError(L"There was an error reading file - %s", L"Hex Editor", code);
    // After a failed load the view holds nothing of the file: it takes no edits until a load
    // succeeds, so no save can write its emptiness over the file. This covers a revert as well
    // as the page's loads.
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

    UniqueFile file(CreateFileW(systemPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, kOpenAttributes, nullptr));
    if (!file)
        return GetLastError();
    // No other program may write while the file is open for reading: this is the file as read.
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file.get(), &info))
        return GetLastError();
    const uint64_t size = SizeOf(info);
    if (!filesize::FitsInBuffer(static_cast<int64_t>(size))) {
        // Nothing of it can be held; forget the path too, so no later save can write a
        // shortened copy over it.
        filePath[0] = L'\0';
        return ERROR_FILE_TOO_LARGE;
    }
    fileStamp = FileStamp{size, WrittenOf(info)};
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

DWORD CHexEdit::SaveFile(int ask) {
    static const wchar_t kSaveError[] = L"There was an error saving file - %s";
    if (ask && MessageBoxW(hwnd, L"Do you want to save file?", L"Hex Editor",
                           MB_YESNOCANCEL | MB_ICONQUESTION) != IDYES)
        return ERROR_SUCCESS;
    if (!modified)
        return ERROR_SUCCESS;

    const std::wstring systemPath = longpath::ForFileSystem(filePath);
    UniqueFile file(CreateFileW(systemPath.c_str(), GENERIC_WRITE | FILE_READ_ATTRIBUTES, 0,
                                nullptr, OPEN_EXISTING, kOpenAttributes, nullptr));
    if (!file)
        return ReportFileError(kSaveError, L"Save", GetLastError());
    // Held exclusively from here on, so what is compared is what gets overwritten.
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file.get(), &info))
        return ReportFileError(kSaveError, L"Save", GetLastError());
    if (FileStamp{SizeOf(info), WrittenOf(info)} != fileStamp &&
        MessageBoxW(hwnd,
                    L"The file has been changed by another program since it was loaded. Do you "
                    L"want to overwrite it?",
                    L"Save", MB_YESNO | MB_ICONWARNING) != IDYES)
        return ERROR_CANCELLED;

    DWORD code;
    {
        ScopedCursor wait(IDC_WAIT);
        code = WriteOver(file.get(), buffer, static_cast<uint32_t>(length), SizeOf(info));
    }
    // A file that has become shorter loses its old tail. Any other has its size already, and
    // setting that again can fail on a full disk (it does under Wine).
    if (code == ERROR_SUCCESS && static_cast<uint64_t>(length) < SizeOf(info) &&
        !SetEndOfFile(file.get()))
        code = GetLastError();
    // Closing can still fail to write back what the system cached; that is no success.
    if (!CloseHandle(file.release()) && code == ERROR_SUCCESS)
        code = GetLastError();
    // Read once the file is closed, which is when the system settles its last-write time. What
    // this save did to the file, even a failed one, is no other program's change; unreadable,
    // the next save asks rather than overwrite unasked.
    WIN32_FILE_ATTRIBUTE_DATA saved{};
    fileStamp = GetFileAttributesExW(systemPath.c_str(), GetFileExInfoStandard, &saved)
                    ? FileStamp{SizeOf(saved), WrittenOf(saved)}
                    : FileStamp{~0ull, 0};
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
    GuardedFree(buffer);
    buffer = nullptr;
    ResetViewState(0);
}

LRESULT CHexEdit::CycleViewSize() {
    viewMode = viewMode >= 3 ? 1 : viewMode + 1;
    return SendMessageW(pageHwnd, WM_HEXVIEWSIZE, static_cast<WPARAM>(viewMode), 0);
}
