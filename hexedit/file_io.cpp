// Loading a file into the editor (whole, or on demand from 2 GiB), reverting, letting it go, and
// stepping the view size.
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
#include "hexedit/file_stamp.h"
#include "hexedit/on_demand_file.h"
#include "hexedit/progress_window.h"
#include "hexedit/win32_handles.h"

namespace {

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
DWORD OpenOnDemand(const std::wstring& systemPath, FileRead& read, DWORD refused,
                   const FileJobProgress& progress) {
    UniqueFile file;
    FileStamp stamp;
    if (const DWORD code = OpenWithStamp(systemPath, GENERIC_READ, kShareAll, file, stamp))
        return refused != ERROR_SUCCESS ? refused : code;
    if (progress.cancel.load())
        return ERROR_OPERATION_ABORTED; // cancelled while the lookup or the open was stalled
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
    if (!filesize::FitsInBuffer(static_cast<int64_t>(listedSize))) {
        const DWORD code = OpenOnDemand(systemPath, read, ERROR_SUCCESS, progress);
        if (code == ERROR_SUCCESS || code == ERROR_OPERATION_ABORTED)
            return code;
    }
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
        return OpenOnDemand(systemPath, read, code, progress);
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

LRESULT CHexEdit::CycleViewSize() {
    viewMode = viewMode >= 3 ? 1 : viewMode + 1;
    return SendMessageW(pageHwnd, WM_HEXVIEWSIZE, static_cast<WPARAM>(viewMode), 0);
}
