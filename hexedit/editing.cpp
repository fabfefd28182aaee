// Typed characters and deletions of the hex view; the rules live in the portable core.
#include "hexedit/hex_edit.h"

#include "hexedit/core/typing.h"
#include "hexedit/modifier_keys.h"
#include "hexedit/module_context.h"
#include "hexedit/win32_handles.h"

// Every edit first asks whether a file is held: a disabled view still gets the messages that
// other programs post to it.
void CHexEdit::OnChar(WPARAM code) {
    if (!fileLoaded)
        return;
    editing::TypeCharacter(*this, static_cast<uint32_t>(code), CommandCtrlHeld());
}

bool CHexEdit::ResizeBuffer(int64_t delta) {
    return editing::ResizeBuffer(*this, delta);
}

void CHexEdit::ReportResizeRefused() {
    ScopedActivationContext context(ModuleActivationContext());
    MessageBoxW(hwnd, L"This file is too large to insert or delete bytes. Typing overwrites them.",
                L"Hex Editor", MB_OK | MB_ICONINFORMATION);
}

void CHexEdit::DeleteForward() {
    if (!fileLoaded)
        return;
    editing::DeleteForward(*this);
}

void CHexEdit::DeleteBackward() {
    if (!fileLoaded)
        return;
    editing::DeleteBackward(*this);
}

void CHexEdit::DeleteSelection() {
    if (!fileLoaded)
        return;
    editing::DeleteSelection(*this);
}

void CHexEdit::Beep() {
    MessageBeep(MB_OK);
}
