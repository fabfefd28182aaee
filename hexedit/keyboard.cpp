// Keys of the hex view: the key table and caret movement live in the portable core; this
// layer reads the modifier keys and moves the focus between the dialog's controls.
#include "hexedit/hex_edit.h"

#include "hexedit/core/caret_motion.h"
#include "hexedit/core/key_commands.h"

namespace {
bool IsHeld(int virtualKey) {
    return (GetKeyState(virtualKey) & 0x8000) != 0;
}
} // namespace

void CHexEdit::OnKeyDown(WPARAM key) {
    if (key > 0xFF)
        return;
    editing::HandleKey(*this, static_cast<int>(key), IsHeld(VK_SHIFT), IsHeld(VK_CONTROL));
}

void CHexEdit::MoveCaret(int dx, int dy) {
    editing::MoveCaret(*this, dx, dy);
}

void CHexEdit::SetSelection(int32_t anchor, int32_t end) {
    editing::SetSelection(*this, anchor, end);
}

void CHexEdit::SelectAll() {
    editing::SelectAll(*this);
}

int32_t CHexEdit::SelectionLength() const {
    return editing::SelectionLength(*this);
}

void CHexEdit::ShowContextMenuAtCaret() {
    ShowContextMenu(POINT{caretX, caretY}, false, false);
}

void CHexEdit::MoveFocusOut(bool previous) {
    // The sheet holds the page; a page shown on its own is its own tab-order root.
    HWND root = pageHwnd ? GetParent(pageHwnd) : nullptr;
    if (!root)
        root = pageHwnd;
    if (!root)
        return;
    HWND next = GetNextDlgTabItem(root, hwnd, previous ? TRUE : FALSE);
    if (next && next != hwnd)
        SetFocus(next);
}
