#include "hexedit/hex_edit.h"

void CHexEdit::OnKeyDown(WPARAM) {}
void CHexEdit::MoveCaret(int, int) {}
void CHexEdit::SetSelection(int32_t anchor, int32_t end) {
    selAnchor = anchor;
    selEnd = end;
}
void CHexEdit::SelectAll() {}
int32_t CHexEdit::SelectionLength() const { return 0; }
