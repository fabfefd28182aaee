// Find: the dialog's text becomes the two patterns, the core searches and selects the match,
// and this layer says when nothing was found.
#include "hexedit/core/byte_buffer.h"
#include "hexedit/core/find_rules.h"
#include "hexedit/hex_edit.h"
#include "hexedit/module_context.h"
#include "hexedit/win32_handles.h"

void CHexEdit::ShowFindDialog(int direction) {
    const GuardedBlock<char> text = AskForInput(kDialogFind);
    if (!text)
        return; // cancelled: the old patterns stay
    editing::BuildFindPatterns(*this, text.get());
    if (editing::HasFindPattern(*this))
        FindNext(direction);
}

void CHexEdit::FindNext(int direction) {
    switch (editing::FindNextMatch(*this, direction)) {
    case editing::FindOutcome::NoPattern:
        ShowFindDialog(direction);
        break;
    case editing::FindOutcome::NotFound: {
        ScopedActivationContext context(ModuleActivationContext());
        MessageBoxW(hwnd, L"The search item was not found", L"Kestrow Hex Editor",
                    MB_OK | MB_ICONINFORMATION);
        break;
    }
    case editing::FindOutcome::Found:
        break;
    }
}

void CHexEdit::FindPrevious() {
    FindNext(-1);
}
