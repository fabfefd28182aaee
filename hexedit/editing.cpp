// Typed characters and deletions of the hex view; the rules live in the portable core.
#include "hexedit/hex_edit.h"

#include "hexedit/core/typing.h"
#include "hexedit/modifier_keys.h"

void CHexEdit::OnChar(WPARAM code) {
    editing::TypeCharacter(*this, static_cast<uint32_t>(code), CommandCtrlHeld());
}

bool CHexEdit::ResizeBuffer(int32_t delta) {
    return editing::ResizeBuffer(*this, delta);
}

void CHexEdit::DeleteForward() {
    editing::DeleteForward(*this);
}

void CHexEdit::DeleteBackward() {
    editing::DeleteBackward(*this);
}

void CHexEdit::DeleteSelection() {
    editing::DeleteSelection(*this);
}
