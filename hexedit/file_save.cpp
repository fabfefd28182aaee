// Writing the editor's bytes back in place: a file held whole in one piece, a file read on demand
// as its changed runs, and only into the file shown.
#include <memory>
#include <string>

#include "hexedit/core/long_path.h"
#include "hexedit/error_text.h"
#include "hexedit/file_stamp.h"
#include "hexedit/hex_edit.h"
#include "hexedit/on_demand_file.h"
#include "hexedit/progress_window.h"

namespace {

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

// Whether the file a save opened at the path, stamped `atPath`, is the one shown through its held
// handle, at the length shown: only then may its runs be written there.
bool IsShownFile(HANDLE held, const FileStamp& atPath, uint64_t shownLength) {
    FileStamp shown;
    return StampOfHandle(held, shown) == ERROR_SUCCESS && shown.SameFile(atPath) &&
           atPath.size == shownLength;
}

// The changed runs, each at its offset in offset order, then the flush: the rest of the file,
// holes of a sparse one included, is left as it is. `partlyWritten` tells whether a failure came
// after some of them had been written.
DWORD WriteRunsAndFlush(HANDLE file, const bytes::ChangeSet& changes, FileJobProgress& progress,
                        bool& partlyWritten) {
    DWORD code = ERROR_SUCCESS;
    changes.ForEachRun([&](uint64_t offset, const uint8_t* bytes, size_t count) {
        code = WriteFileAt(file, offset, bytes, count);
        partlyWritten = partlyWritten || code == ERROR_SUCCESS;
        progress.done.fetch_add(count);
        return code == ERROR_SUCCESS;
    });
    if (code == ERROR_SUCCESS && !FlushFileBuffers(file)) {
        code = GetLastError();
        partlyWritten = true; // handed to the system, some of it maybe on the medium
    }
    return code;
}

// One try at a save, run on the worker: the exclusive open, the stamp compare, the bytes, the
// flush, the close and the stamp of the file as saved. A file changed by another program since
// `accepted` is closed again untouched, for the user to be asked.
struct SaveTry {
    FileStamp accepted;
    const uint8_t* bytes = nullptr;
    uint32_t size = 0;
    // A file read on demand: only its changed runs are written, and only into the file shown,
    // the one its held handle has, at the length shown.
    const bytes::ChangeSet* changes = nullptr;
    std::shared_ptr<UniqueFile> held;
    uint64_t shownLength = 0;
    FileStamp found;            // as opened
    bool changed = false;       // by another program: nothing was written
    bool replaced = false;      // the path names another file now, or another length
    bool deleted = false;       // another program deleted the file shown
    bool written = false;       // the write was tried, whatever came of it
    bool partlyWritten = false; // some runs were written before it failed
    bool savedKnown = false;
    FileStamp saved;
};

DWORD SaveOnce(const std::wstring& systemPath, SaveTry& save, FileJobProgress& progress) {
    // A deleted file keeps its name taken while the editor holds it: no open of it would do.
    if (save.held && IsDeletePending(save.held->get())) {
        save.deleted = true;
        return ERROR_SUCCESS;
    }
    UniqueFile file;
    // Held exclusively from here on, so what is compared is what gets overwritten; a file read
    // on demand shares reading with the editor's own handle only.
    const DWORD share = save.changes ? FILE_SHARE_READ : 0;
    if (const DWORD code = OpenWithStamp(systemPath, GENERIC_WRITE | FILE_READ_ATTRIBUTES, share,
                                         file, save.found))
        return code;
    // Runs written into another file would mix into its bytes, and past a shorter end would
    // stretch it.
    if (save.held && !IsShownFile(save.held->get(), save.found, save.shownLength)) {
        save.replaced = true;
        return ERROR_SUCCESS;
    }
    if (save.found != save.accepted) {
        save.changed = true;
        return ERROR_SUCCESS;
    }
    save.written = true;
    DWORD code = save.changes
                     ? WriteRunsAndFlush(file.get(), *save.changes, progress, save.partlyWritten)
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

DWORD CHexEdit::WriteOverFile(bool& told, bool& partlyWritten) {
    const std::wstring systemPath = longpath::ForFileSystem(filePath);
    SaveTry save;
    save.accepted = fileStamp;
    // The worker reads the buffer through its own copy of the pointer; nothing on this thread
    // can change or free the block meanwhile, since every edit, load and close is refused
    // until the save has ended. It has no Cancel: stopped half-way the file would be part
    // old, part new.
    if (largeFile) {
        save.changes = &largeFile->source.Changes();
        save.held = largeFile->file;
        save.shownLength = static_cast<uint64_t>(length);
    } else {
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
        partlyWritten = save.partlyWritten;
        if (save.deleted || save.replaced) {
            told = true;
            if (save.deleted)
                DropDeletedFile();
            else
                MessageBoxW(hwnd,
                            L"The file was replaced or changed in size by another program. The "
                            L"changes were not saved; they are kept until Revert.",
                            L"Save", MB_OK | MB_ICONWARNING);
            return save.deleted ? ERROR_FILE_NOT_FOUND : ERROR_FILE_INVALID;
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

    bool told = false;
    bool partlyWritten = false;
    const DWORD code = WriteOverFile(told, partlyWritten);
    if (code == ERROR_CANCELLED || told)
        return code;
    if (code != ERROR_SUCCESS) {
        std::wstring text = FormatErrorMessage(kSaveError, code);
        if (partlyWritten)
            text += std::wstring(text.empty() || text.back() != L'\n' ? L"\r\n" : L"") +
                    L"Part of the changes were written. The changes are kept, so Save can write "
                    L"them all again.";
        MessageBoxW(hwnd, text.c_str(), L"Save", MB_OK | MB_ICONERROR);
        return code;
    }
    modified = 0;
    if (largeFile)
        largeFile->source.Revert(); // the file holds the changes now: read from it again
    return ERROR_SUCCESS;
}
