#include "hexedit/hex_edit.h"

#include "hexedit/core/byte_buffer.h"

void CHexEdit::OnChar(WPARAM) {}
bool CHexEdit::ResizeBuffer(int32_t delta) { return ResizeExact(buffer, length, delta); }
void CHexEdit::DeleteForward() {}
void CHexEdit::DeleteBackward() {}
void CHexEdit::DeleteSelection() {}
