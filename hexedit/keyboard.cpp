// Keys of the hex view: the key table and caret movement live in the portable core; this
// layer reads the modifier keys and moves the focus between the dialog's controls.
#include "hexedit/hex_edit.h"

#include "hexedit/core/caret_motion.h"
#include "hexedit/core/key_commands.h"
#include "hexedit/modifier_keys.h"

// The portable key table names the platform's virtual-key codes.
namespace keys = editing::keys;
static_assert(keys::kTab == VK_TAB && keys::kPageUp == VK_PRIOR && keys::kPageDown == VK_NEXT);
static_assert(keys::kEnd == VK_END && keys::kHome == VK_HOME && keys::kLeft == VK_LEFT);
static_assert(keys::kUp == VK_UP && keys::kRight == VK_RIGHT && keys::kDown == VK_DOWN);
static_assert(keys::kInsert == VK_INSERT && keys::kDelete == VK_DELETE && keys::kApps == VK_APPS);
static_assert(keys::kF2 == VK_F2 && keys::kF3 == VK_F3 && keys::kF10 == VK_F10 &&
              keys::kF11 == VK_F11);
// Digit and letter keys have no VK_ names: their codes are the characters '0'-'9', 'A'-'Z'.
static_assert(keys::kDigit0 == '0' && keys::kDigit1 == '1' && keys::kDigit9 == '9');

void CHexEdit::OnKeyDown(WPARAM key) {
    if (key > 0xFF)
        return;
    editing::HandleKey(*this, static_cast<int>(key), IsKeyHeld(VK_SHIFT), CommandCtrlHeld());
}

void CHexEdit::MoveCaret(int dx, int dy) {
    editing::MoveCaret(*this, dx, dy);
}

void CHexEdit::SetSelection(int64_t anchor, int64_t end) {
    editing::SetSelection(*this, anchor, end);
}

void CHexEdit::SelectAll() {
    editing::SelectAll(*this);
}

int64_t CHexEdit::SelectionLength() const {
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
