// The view's window procedure: routes the view's messages to the editor and answers the
// ones whose EDIT behaviour (its own caret, selection, clipboard, undo, timers) must not run.
#include "hexedit/hex_edit.h"

#include <windowsx.h>

#include "hexedit/progress_window.h"

LRESULT CALLBACK CHexEdit::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CHexEdit* editor = EditorFromWindow(hwnd);
    if (!editor || !editor->originalWndProc)
        return 0;
    CHexEdit& e = *editor;
    // A worker may be writing the buffer out: no key or click may change it meanwhile.
    if (InputRefusedNow(hwnd, message))
        return 0;
    const int x = GET_X_LPARAM(lParam);
    const int y = GET_Y_LPARAM(lParam);
    switch (message) {
    case WM_SETFOCUS:
        e.OnSetFocus();
        return 0;
    case WM_KILLFOCUS:
        e.OnKillFocus();
        return 0;
    case WM_PAINT:
        e.Paint();
        return 0;
    case WM_WINDOWPOSCHANGED:
        e.UpdateScrollBar(); // the size may have changed
        return 0;
    case WM_CONTEXTMENU:
        // Whatever raised it, the menu opens at the caret.
        e.ShowContextMenu(POINT{e.caretX, e.caretY}, false, false);
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE)
            return 1;
        e.OnKeyDown(wParam);
        return 0;
    case WM_CHAR:
        if (wParam == VK_ESCAPE) // the Escape character has the key's code
            return 1;
        e.OnChar(wParam);
        return 0;
    case WM_SYSKEYDOWN:
        if (wParam == VK_F10)
            e.OnKeyDown(VK_F10);
        return 0;
    case WM_VSCROLL:
        e.Scroll(LOWORD(wParam));
        return 0;
    case WM_MOUSEMOVE:
        e.OnMouseMove(wParam, x, y);
        return 0;
    case WM_LBUTTONDOWN:
        e.OnLButtonDown(wParam, x, y);
        return 0;
    case WM_LBUTTONUP:
        e.OnLButtonUp();
        return 0;
    case WM_RBUTTONUP:
        e.OnRButtonUp(x, y);
        return 0;
    case WM_MOUSEWHEEL:
        e.OnMouseWheel(static_cast<short>(HIWORD(wParam)));
        return 0;
    case WM_UNDO:
        return 1;
    case WM_SYSCHAR:
    case WM_TIMER:
    case WM_HSCROLL:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_CUT:
    case WM_COPY:
    case WM_PASTE:
    case WM_CLEAR:
        return 0;
    default:
        return CallWindowProcW(e.originalWndProc, hwnd, message, wParam, lParam);
    }
}
