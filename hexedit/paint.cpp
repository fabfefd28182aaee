#include "hexedit/hex_edit.h"

void CHexEdit::Paint() {
    PAINTSTRUCT ps;
    BeginPaint(hwnd, &ps);
    EndPaint(hwnd, &ps);
}
