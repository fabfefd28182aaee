// Commands whose behaviour is not built yet: the keys and the dispatch already reach them.
#include "hexedit/hex_edit.h"

void CHexEdit::Cut() {}
void CHexEdit::Copy() {}
void CHexEdit::CopyAs(int) {}
void CHexEdit::Paste() {}
void CHexEdit::GoToBookmark(int) {}
LONG CHexEdit::SetBookmark(int) {
    return 0;
}
void CHexEdit::NextBookmark() {}
void CHexEdit::PreviousBookmark() {}
