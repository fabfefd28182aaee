// Typed characters and deletions of the hex view; the rules live in the portable core.
#include "hexedit/hex_edit.h"

#include "hexedit/core/typing.h"

void CHexEdit::OnChar(WPARAM code) {
    const bool ctrl = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
    editing::TypeCharacter(*this, static_cast<uint32_t>(code), ctrl);
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
