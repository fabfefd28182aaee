// The editor's key table: which key, with which of Shift and Ctrl held, moves the caret,
// changes the selection or runs which command. Written once for any editor type; the Win32
// control reads the modifier state and passes it in.
#pragma once

#include <algorithm>
#include <cstdint>

#include "hexedit/core/caret_motion.h"
#include "hexedit/core/scroll_math.h"

namespace editing {

// Virtual-key codes, with the platform's values.
namespace keys {
constexpr int kTab = 0x09;
constexpr int kPageUp = 0x21;
constexpr int kPageDown = 0x22;
constexpr int kEnd = 0x23;
constexpr int kHome = 0x24;
constexpr int kLeft = 0x25;
constexpr int kUp = 0x26;
constexpr int kRight = 0x27;
constexpr int kDown = 0x28;
constexpr int kInsert = 0x2D;
constexpr int kDelete = 0x2E;
constexpr int kDigit0 = 0x30;
constexpr int kDigit1 = 0x31;
constexpr int kDigit9 = 0x39;
constexpr int kApps = 0x5D;
constexpr int kF2 = 0x71;
constexpr int kF3 = 0x72;
constexpr int kF10 = 0x79;
constexpr int kF11 = 0x7A;
} // namespace keys

// Whether a held Ctrl makes a key a command. AltGr arrives as Ctrl+Alt on many keyboards and
// types characters such as @ { } [ ] \ |, so Ctrl with Alt is no command and its characters
// are typed like any other.
constexpr bool IsCommandCtrl(bool ctrl, bool alt) {
    return ctrl && !alt;
}

// Arrows, Home, End, Page Up and Page Down: without Shift the selection goes; with Shift the
// move stretches the one selection anchored where the first Shift move started.
template <class Editor> void Navigate(Editor& e, int key, bool shift, bool ctrl) {
    if (shift) {
        if (e.selAnchor == -1)
            e.selAnchor = e.caretOffset;
    } else {
        e.SetSelection(-1, -1);
    }
    const int64_t bpr = e.bytesPerRow;
    switch (key) {
    case keys::kPageUp:
        e.Scroll(scroll::kPageUp);
        e.MoveCaret(0, -e.visibleRows);
        break;
    case keys::kPageDown:
        e.Scroll(scroll::kPageDown);
        e.MoveCaret(0, e.visibleRows);
        break;
    case keys::kHome:
        e.caretOffset = ctrl ? 0 : bpr * (e.caretOffset / bpr);
        if (e.caretPane == kHexLow)
            e.caretPane = kHexHigh;
        if (ctrl)
            e.Scroll(scroll::kThumbTrack);
        e.MoveCaret(0, 0);
        break;
    case keys::kEnd:
        if (ctrl) {
            e.caretOffset = e.length;
        } else {
            const int64_t rowLast = bpr * (e.caretOffset / bpr + 1) - 1;
            e.caretOffset = std::min<int64_t>(rowLast, e.length);
        }
        if (e.caretPane == kHexHigh)
            e.caretPane = kHexLow;
        if (ctrl)
            e.Scroll(scroll::kThumbTrack);
        e.MoveCaret(0, 0);
        break;
    case keys::kLeft:
        e.MoveCaret(-1, 0);
        break;
    case keys::kRight:
        e.MoveCaret(1, 0);
        break;
    case keys::kUp:
        e.MoveCaret(0, -1);
        break;
    case keys::kDown:
        e.MoveCaret(0, 1);
        break;
    default:
        break;
    }
    if (shift)
        e.selEnd = e.caretOffset;
    e.Invalidate();
}

// Tab walks hex pane, text pane, next control; Shift+Tab the other way.
template <class Editor> void TabKey(Editor& e, bool shift) {
    if (!shift && e.caretPane != kTextPane) {
        e.savedHexPane = e.caretPane;
        e.caretPane = kTextPane;
    } else if (shift && e.caretPane == kTextPane) {
        e.caretPane = e.savedHexPane;
    } else {
        e.MoveFocusOut(shift);
        return;
    }
    e.PlaceCaret(e.caretOffset);
    e.Invalidate();
}

// Ctrl + a letter; Shift is not examined.
template <class Editor> void CtrlLetter(Editor& e, int key) {
    switch (key) {
    case 'A':
        e.SelectAll();
        break;
    case 'B':
        e.ShowEditBitsDialog();
        break;
    case 'C':
        e.Copy();
        break;
    case 'F':
        e.ShowFindDialog(1);
        break;
    case 'G':
        e.ShowGoToDialog();
        break;
    case 'N':
        e.RevertFile();
        break;
    case 'S':
        e.SaveFile(1);
        break;
    case 'V':
        e.Paste();
        break;
    case 'X':
        e.Cut();
        break;
    default:
        break;
    }
}

// One key press. `shift` and `ctrl` tell whether those keys were held at that moment.
template <class Editor> void HandleKey(Editor& e, int key, bool shift, bool ctrl) {
    switch (key) {
    case keys::kTab:
        TabKey(e, shift);
        break;
    case keys::kPageUp:
    case keys::kPageDown:
    case keys::kEnd:
    case keys::kHome:
    case keys::kLeft:
    case keys::kUp:
    case keys::kRight:
    case keys::kDown:
        Navigate(e, key, shift, ctrl);
        break;
    case keys::kInsert:
        if (ctrl) {
            e.Copy();
        } else if (shift) {
            e.Paste();
        } else {
            e.overwriteMode = 1 - e.overwriteMode;
            e.RecreateCaret();
            e.PlaceCaret(e.caretOffset);
        }
        break;
    case keys::kDelete:
        if (shift)
            e.Cut();
        else
            e.DeleteForward();
        break;
    case keys::kApps:
        e.ShowContextMenuAtCaret();
        break;
    case keys::kF2:
        if (shift)
            e.PreviousBookmark();
        else
            e.NextBookmark();
        break;
    case keys::kF3:
        if (shift)
            e.FindPrevious();
        else
            e.FindNext(1);
        break;
    case keys::kF10:
        if (shift)
            e.ShowContextMenuAtCaret();
        break;
    case keys::kF11:
        e.CycleViewSize();
        break;
    default:
        if (!ctrl)
            break;
        if (key >= keys::kDigit0 && key <= keys::kDigit9) {
            const int slot = key == keys::kDigit0 ? 9 : key - keys::kDigit1;
            if (shift)
                e.SetBookmark(slot);
            else
                e.GoToBookmark(slot);
        } else {
            CtrlLetter(e, key);
        }
        break;
    }
}

} // namespace editing
