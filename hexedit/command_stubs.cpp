// Commands whose behaviour is not built yet: the keys and the dispatch already reach them.
#include "hexedit/hex_edit.h"

void CHexEdit::ShowContextMenu(POINT, bool, bool) {}
void CHexEdit::ShowFindDialog(int) {}
void CHexEdit::FindNext(int) {}
void CHexEdit::FindPrevious() {}
void CHexEdit::ShowGoToDialog() {}
void CHexEdit::ShowEditBitsDialog() {}
