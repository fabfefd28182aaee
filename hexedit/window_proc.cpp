// The view's window procedure: routes the view's messages to the editor and answers the
// ones whose EDIT behaviour (its own caret, selection, clipboard, undo, timers) must not run.
// After input that changed what the caret cell says it tells assistive technology so, once.
#include "hexedit/hex_edit.h"

#include <windowsx.h>

#include <new>

#include "hexedit/progress_window.h"

namespace {

// Keys, characters, clicks, the wheel, the scroll bar and the menus: whatever may move the
// caret or change what lies under it.
bool IsInput(UINT message) {
    switch (message) {
    case WM_KEYDOWN:
    case WM_CHAR:
    case WM_SYSKEYDOWN:
    case WM_VSCROLL:
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MOUSEWHEEL:
    case WM_CONTEXTMENU:
        return true;
    default:
        return false;
    }
}

// One focus event for the caret cell when the focused view has something new to say, or has
// just been given the focus. Nothing is built here: a client that hears it asks for the texts.
void TellCaret(CHexEdit& e, bool focusArrived) {
    const a11y::CaretFacts now = a11y::CaretFactsOf(e);
    if (!focusArrived && now == e.accessibility.told)
        return;
    if (!e.accessibility.focused)
        return; // told again when the focus comes back
    e.accessibility.told = now;
    NotifyWinEvent(EVENT_OBJECT_FOCUS, e.hwnd, OBJID_CLIENT, kCaretCellChild);
}

void OnSetFocus(CHexEdit& e) {
    e.OnSetFocus();
    e.ShowFileAsItIsNow();
    e.accessibility.focused = true;
    // Inside a click or after a dialog the caret may still move: told once, when that is done.
    if (e.accessibility.handling > 0)
        e.accessibility.focusArrived = true;
    else
        TellCaret(e, true);
}

// The client area is the view's own object. Every other id goes to the default handling, not
// to the EDIT control's, so UI Automation picks its proxy for the window itself.
LRESULT OnGetObject(CHexEdit& e, HWND hwnd, WPARAM wParam, LPARAM lParam) {
    // Only the low 32 bits carry the object id.
    if (static_cast<DWORD>(lParam) == static_cast<DWORD>(OBJID_CLIENT)) {
        if (const LRESULT answer = e.accessibility.Answer(e, wParam))
            return answer;
    }
    return DefWindowProcW(hwnd, WM_GETOBJECT, wParam, lParam);
}

LRESULT Dispatch(CHexEdit& e, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const int x = GET_X_LPARAM(lParam);
    const int y = GET_Y_LPARAM(lParam);
    switch (message) {
    case WM_SETFOCUS:
        OnSetFocus(e);
        return 0;
    case WM_KILLFOCUS:
        e.accessibility.focused = false;
        e.OnKillFocus();
        return 0;
    case WM_PAINT:
        e.Paint();
        e.TellUnreadBytes(); // after the paint, with the view's bytes drawn
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
    case WM_GETOBJECT:
        return OnGetObject(e, hwnd, wParam, lParam);
    case WM_NCDESTROY:
        // A client may hold the accessible object longer than the view lives.
        e.accessibility.Disconnect();
        e.accessibility.focused = false;
        return CallWindowProcW(e.originalWndProc, hwnd, message, wParam, lParam);
    case WM_AFTERFILEJOB:
        e.ShowFileAsItIsNow();
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE)
            return 1;
        e.ForgetCancelledReads();
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
        e.ForgetCancelledReads();
        e.Scroll(LOWORD(wParam));
        return 0;
    case WM_MOUSEMOVE:
        e.OnMouseMove(wParam, x, y);
        return 0;
    case WM_LBUTTONDOWN:
        e.ForgetCancelledReads();
        e.OnLButtonDown(wParam, x, y);
        return 0;
    case WM_LBUTTONUP:
        e.OnLButtonUp();
        return 0;
    case WM_RBUTTONUP:
        e.OnRButtonUp(x, y);
        return 0;
    case WM_MOUSEWHEEL:
        e.ForgetCancelledReads();
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

LRESULT HandleMessage(CHexEdit& editor, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!IsInput(message))
        return Dispatch(editor, hwnd, message, wParam, lParam);
    ViewAccessibility& told = editor.accessibility;
    ++told.handling;
    const LRESULT result = Dispatch(editor, hwnd, message, wParam, lParam);
    if (--told.handling == 0) {
        TellCaret(editor, told.focusArrived);
        told.focusArrived = false;
    }
    return result;
}

} // namespace

LRESULT CALLBACK CHexEdit::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CHexEdit* editor = EditorFromWindow(hwnd);
    if (!editor || !editor->originalWndProc)
        return 0;
    // A worker may be writing the buffer out: no key or click may change it meanwhile.
    if (InputRefusedNow(hwnd, message))
        return 0;
    // Nothing may leave a window procedure; a message that ran out of memory is dropped, as an
    // edit that can't be made is.
    try {
        return HandleMessage(*editor, hwnd, message, wParam, lParam);
    } catch (const std::bad_alloc&) {
        return 0;
    }
}
