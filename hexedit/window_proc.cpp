#include "hexedit/hex_edit.h"

LRESULT CALLBACK CHexEdit::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CHexEdit* editor = EditorFromWindow(hwnd);
    if (!editor || !editor->originalWndProc)
        return 0;
    return CallWindowProcW(editor->originalWndProc, hwnd, message, wParam, lParam);
}
