#include "hexedit/hex_edit.h"

POINT CHexEdit::HitTest(int, int) { return POINT{-1, -1}; }
void CHexEdit::OnSetFocus() {}
void CHexEdit::OnKillFocus() {}
void CHexEdit::OnLButtonDown(WPARAM, int, int) {}
void CHexEdit::OnMouseMove(WPARAM, int, int) {}
void CHexEdit::OnLButtonUp() {}
void CHexEdit::OnMouseWheel(int) {}
