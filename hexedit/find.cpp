// Find: the dialog's text becomes the two patterns, the core searches and selects the match,
// and this layer says when nothing was found.
#include "hexedit/core/byte_buffer.h"
#include "hexedit/core/find_rules.h"
#include "hexedit/hex_edit.h"
#include "hexedit/module_context.h"
#include "hexedit/on_demand_file.h"
#include "hexedit/progress_window.h"
#include "hexedit/win32_handles.h"

namespace {

// A find in a file read on demand, searched on the worker: a reader of its own (the file opened
// again on the worker, else the shown file's handle), a small cache and a copy of the changes, so
// paint keeps its cache to itself, and a search left behind on a stalled medium owns everything
// it reads. Its fields are those the search rules read.
struct WorkerSearch {
    WorkerSearch(const CHexEdit& e, const OnDemandFile& shown)
        : reader(shown.file),
          file(reader, shown.source.Length(), bytes::PageCache::kDefaultPageSize, kPages),
          hexBytes(e.hexPattern, e.hexPattern + (e.hexPattern ? e.hexPatternLength : 0)),
          textBytes(e.textPattern, e.textPattern + (e.textPattern ? e.textPatternLength : 0)),
          length(e.length), caretOffset(e.caretOffset), selAnchor(e.selAnchor), selEnd(e.selEnd),
          hexPatternState(e.hexPatternState), hexPatternLength(e.hexPatternLength),
          textPatternActive(e.textPatternActive), textPatternLength(e.textPatternLength) {
        shown.source.Changes().ForEachRun([this](uint64_t at, const uint8_t* bytes, size_t n) {
            file.Overwrite(at, bytes, n);
            return true;
        });
    }
    static constexpr size_t kPages = 4; // the chunks are read past the cache

    HandleReader reader;
    bytes::OnDemandSource file;
    std::vector<uint8_t> hexBytes;
    std::vector<uint8_t> textBytes;
    const uint8_t* buffer = nullptr;
    int64_t length;
    int64_t caretOffset;
    int64_t selAnchor;
    int64_t selEnd;
    bytes::OnDemandSource* onDemand = &file;
    bytes::ByteSource* source = &file;
    int32_t hexPatternState;
    const uint8_t* hexPattern = hexBytes.data();
    int32_t hexPatternLength;
    int32_t textPatternActive;
    const uint8_t* textPattern = textBytes.data();
    int32_t textPatternLength;
    editing::FindMatches found;
};

// Both patterns searched on the worker, the progress window after a second with Cancel; false
// when the user cancelled.
bool SearchOnWorker(const CHexEdit& e, OnDemandFile& shown, int direction,
                    editing::FindMatches& found) {
    auto job = std::make_shared<WorkerSearch>(e, shown);
    const DWORD code = RunFileJob(
        e.hwnd, progress::Operation::Read, e.filePath, FileJobProgress::kUnknownTotal,
        [job, direction](FileJobProgress& progress) {
            job->reader.OpenOwnHandle();
            job->found = editing::SearchBothPatterns(
                *job, direction, [&progress](uint64_t searched, uint64_t total) {
                    progress.total.store(total);
                    progress.done.store(searched);
                    return !progress.cancel.load();
                });
            job->reader.CloseOwnHandle(); // here: closing may block like any call to the medium
            return job->found.cancelled ? ERROR_OPERATION_ABORTED : ERROR_SUCCESS;
        },
        OnCancel::LeaveBehind);
    InvalidateRect(e.hwnd, nullptr, FALSE); // rows painted meanwhile came from the cache only
    if (code == ERROR_OPERATION_ABORTED)
        shown.leftBehind.Note(job);
    if (code != ERROR_SUCCESS)
        return false;
    found = job->found;
    return true;
}

// A search that met bytes it could not read says so: the item may be among them.
void TellNotFound(HWND owner, bool metUnreadable = false) {
    ScopedActivationContext context(ModuleActivationContext());
    MessageBoxW(owner,
                metUnreadable
                    ? L"The search item was not found. Part of the file could not be read."
                    : L"The search item was not found",
                L"Kestrow Hex Editor", MB_OK | MB_ICONINFORMATION);
}

} // namespace

void CHexEdit::ShowFindDialog(int direction) {
    bool inViewBytes = true;
    const GuardedBlock<char> text = AskForInput(kDialogFind, &inViewBytes);
    if (!text)
        return; // cancelled: the old patterns stay
    // A character the view can't show is in no byte: that text is nowhere in the file.
    editing::BuildFindPatterns(*this, text.get(), inViewBytes);
    if (editing::HasFindPattern(*this))
        FindNext(direction);
    else if (!inViewBytes)
        TellNotFound(hwnd);
}

void CHexEdit::FindNext(int direction) {
    editing::FindOutcome outcome = editing::FindOutcome::NoPattern;
    editing::FindMatches found;
    if (largeFile && editing::HasFindPattern(*this)) {
        if (!SearchOnWorker(*this, *largeFile, direction, found))
            return; // cancelled: the caret and selection stay, nothing is said
        outcome = editing::SelectMatch(*this, found);
    } else {
        outcome = editing::FindNextMatch(*this, direction);
    }
    switch (outcome) {
    case editing::FindOutcome::NoPattern:
        ShowFindDialog(direction);
        break;
    case editing::FindOutcome::NotFound:
        TellNotFound(hwnd, found.metUnreadable);
        break;
    case editing::FindOutcome::Found:
        break;
    }
}

void CHexEdit::FindPrevious() {
    FindNext(-1);
}
