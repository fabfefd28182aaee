// Loading a file whole into the editor, writing it back in place, reverting, and stepping the
// view size.
#include "hexedit/hex_edit.h"

#include <cwchar>
#include <string>

#include "hexedit/core/byte_buffer.h"
#include "hexedit/core/file_size_rule.h"
#include "hexedit/error_text.h"
#include "hexedit/win32_handles.h"

namespace {

// Attribute bits passed when opening; they have no effect on an existing file.
constexpr DWORD kOpenAttributes = 0x11A7;

// One ReadFile call reads the whole file; the loop only finishes a read that came back short,
// so a partial file is never taken for the whole one.
DWORD ReadWhole(HANDLE file, uint8_t* into, uint32_t size) {
    uint32_t done = 0;
    while (done < size) {
        DWORD got = 0;
        if (!ReadFile(file, into + done, size - done, &got, nullptr))
            return GetLastError();
        if (got == 0)
            return ERROR_HANDLE_EOF; // the file became shorter while being read
        done += got;
    }
    return ERROR_SUCCESS;
}

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
    static const wchar_t kReadError[] = L"There was an error reading file - %s";
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

    const DWORD attributes = GetFileAttributesW(wanted.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return ReportFileError(kReadError, L"Hex Editor", GetLastError());
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return ReportFileError(kReadError, L"Hex Editor", ERROR_ACCESS_DENIED);

    wcsncpy(filePath, wanted.c_str(), kPathCapacity - 1);
    filePath[kPathCapacity - 1] = L'\0';

    UniqueFile file(CreateFileW(filePath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                kOpenAttributes, nullptr));
    if (!file)
        return ReportFileError(kReadError, L"Hex Editor", GetLastError());

    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size))
        return ReportFileError(kReadError, L"Hex Editor", GetLastError());
    if (!filesize::FitsInBuffer(size.QuadPart)) {
        // Nothing of it can be held; forget the path too, so no later save can write a
        // shortened copy over it.
        filePath[0] = L'\0';
        return ReportFileError(kReadError, L"Hex Editor", ERROR_FILE_TOO_LARGE);
    }
    if (size.QuadPart == 0)
        return ERROR_SUCCESS;

    const auto byteCount = static_cast<uint32_t>(size.QuadPart);
    buffer = static_cast<uint8_t*>(GuardedAlloc(byteCount));
    if (!buffer)
        return ReportFileError(kReadError, L"Hex Editor", ERROR_NOT_ENOUGH_MEMORY);

    DWORD code;
    {
        ScopedCursor wait(IDC_WAIT);
        code = ReadWhole(file.get(), buffer, byteCount);
    }
    file.reset();
    if (code != ERROR_SUCCESS) {
        // A partial copy is never shown nor held: the buffer is always exactly `length` bytes.
        GuardedFree(buffer);
        buffer = nullptr;
        return ReportFileError(kReadError, L"Hex Editor", code);
    }

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

    UniqueFile file(
        CreateFileW(filePath, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, kOpenAttributes, nullptr));
    if (!file)
        return ReportFileError(kSaveError, L"Save", GetLastError());

    if (buffer) {
        DWORD code;
        {
            ScopedCursor wait(IDC_WAIT);
            code = WriteWhole(file.get(), buffer, static_cast<uint32_t>(length));
        }
        if (code != ERROR_SUCCESS)
            return ReportFileError(kSaveError, L"Save", code);
    }
    if (!SetEndOfFile(file.get()))
        return ReportFileError(kSaveError, L"Save", GetLastError());
    // Closing can still fail to write back what the system cached; that is no success.
    if (!CloseHandle(file.release()))
        return ReportFileError(kSaveError, L"Save", GetLastError());
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
