// Find: the dialog's text becomes the two patterns, the core searches and selects the match,
// and this layer says when nothing was found.
#include "hexedit/core/byte_buffer.h"
#include "hexedit/core/find_rules.h"
#include "hexedit/hex_edit.h"
#include "hexedit/module_context.h"
#include "hexedit/win32_handles.h"

namespace {

void TellNotFound(HWND owner) {
    ScopedActivationContext context(ModuleActivationContext());
    MessageBoxW(owner, L"The search item was not found", L"Kestrow Hex Editor",
                MB_OK | MB_ICONINFORMATION);
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
    switch (editing::FindNextMatch(*this, direction)) {
    case editing::FindOutcome::NoPattern:
        ShowFindDialog(direction);
        break;
    case editing::FindOutcome::NotFound:
        TellNotFound(hwnd);
        break;
    case editing::FindOutcome::Found:
        break;
    }
}

void CHexEdit::FindPrevious() {
    FindNext(-1);
}
