#include "hexedit/hex_edit.h"

void CHexEdit::UpdateScrollBar() {}
void CHexEdit::Scroll(int) {}
void CHexEdit::Invalidate() { InvalidateRect(hwnd, nullptr, FALSE); }
void CHexEdit::EnsureVisible(int32_t) {}
void CHexEdit::PlaceCaret(int32_t) {}
void CHexEdit::RecreateCaret() {}
void CHexEdit::CreateEditCaret() {}
void CHexEdit::SetCaretPixel(int, int) {}
void CHexEdit::ShowEditCaret() {}
void CHexEdit::HideEditCaret() {}
