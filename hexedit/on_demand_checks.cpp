// A file read on demand while it is shown: the look at it when the view gets the focus back, the
// file another program deleted, and reads that failed or were cancelled.
#include <memory>
#include <new>

#include "hexedit/core/file_size_rule.h"
#include "hexedit/file_stamp.h"
#include "hexedit/hex_edit.h"
#include "hexedit/on_demand_file.h"
#include "hexedit/progress_window.h"

void CHexEdit::ShowFileAsItIsNow() {
    if (!largeFile || modified || checkingStamp)
        return;
    // The focus comes back as another job's progress window goes, inside that job's wait: the
    // look is taken once the job has ended.
    if (FileJobRunningOn(hwnd)) {
        PostMessageW(hwnd, WM_AFTERFILEJOB, 0, 0);
        return;
    }
    // A read the user left behind on a stalled medium may still be in a call on the handle:
    // asking the handle now would wait behind it.
    if (largeFile->leftBehind.AnyRunning())
        return;
    struct Look {
        std::shared_ptr<UniqueFile> file;
        FileStamp stamp;
        bool deleted = false;
    };
    const std::shared_ptr<Look> look(new (std::nothrow) Look);
    if (!look)
        return;
    look->file = largeFile->file;
    // Through the handle held: a new open of the name would stall on a stalled share too.
    checkingStamp = true;
    const DWORD code = RunFileJob(
        hwnd, progress::Operation::Read, filePath, FileJobProgress::kUnknownTotal,
        [look](FileJobProgress&) {
            look->deleted = IsDeletePending(look->file->get());
            return StampOfHandle(look->file->get(), look->stamp);
        },
        OnCancel::LeaveBehind);
    checkingStamp = false;
    if (code == ERROR_OPERATION_ABORTED)
        largeFile->leftBehind.Note(look);
    if (code != ERROR_SUCCESS)
        return;
    if (look->deleted) {
        DropDeletedFile();
        return;
    }
    if (!(look->stamp != fileStamp))
        return;
    // Now small enough to be held whole: loaded afresh.
    if (filesize::FitsInBuffer(static_cast<int64_t>(look->stamp.size))) {
        LoadFile(filePath);
        Invalidate();
        return;
    }
    fileStamp = look->stamp;
    largeFile->source.Cache().Reset(look->stamp.size);
    length = static_cast<int64_t>(look->stamp.size);
    selAnchor = selEnd = -1;
    RefitFontForAddresses();
    MoveCaret(0, 0); // into the file as it is now, the view following
    UpdateScrollBar();
    Invalidate();
}

void CHexEdit::DropDeletedFile() {
    ReleaseFile();
    RefitFontForAddresses();
    UpdateScrollBar();
    EnableWindow(hwnd, FALSE); // as after a failed load: nothing to edit, nothing to save
    Invalidate();
    MessageBoxW(hwnd, L"The file was deleted by another program.", L"Hex Editor",
                MB_OK | MB_ICONWARNING);
}

void CHexEdit::ForgetCancelledReads() {
    if (largeFile)
        largeFile->source.Cache().ForgetCancelled();
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
