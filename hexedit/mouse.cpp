// Focus, clicks, drags and the wheel: where the caret goes and what gets selected.
#include "hexedit/hex_edit.h"

#include "hexedit/core/hit_test.h"

static_assert(hit::kAddressColumn == kAddressColumnHit, "one sentinel for the address column");

POINT CHexEdit::HitTest(int x, int y) {
    const hit::View view{length,    topOffset,  visibleRows, bytesPerRow,
                         charWidth, charHeight, hexColumnX,  textColumnX};
    const hit::Point p = hit::HitTest(x, y, view, caretOffset, caretPane);
    return POINT{p.x, p.y};
}

void CHexEdit::OnSetFocus() {
    RecreateCaret();
    PlaceCaret(caretOffset);
}

void CHexEdit::OnKillFocus() {
    DestroyCaret();
    if (caretMadeByPaint) {
        caretMadeByPaint = 0;
        DestroyCaret();
        Invalidate();
    }
}

void CHexEdit::OnLButtonDown(WPARAM flags, int x, int y) {
    SetFocus(hwnd);
    if (length == 0)
        return;
    const bool shift = (flags & MK_SHIFT) != 0;
    if (shift)
        selAnchor = caretOffset;
    const POINT p = HitTest(x, y);
    if (p.x == kAddressColumnHit) {
        // Shift selects from the old caret to the caret's place, which the address column
        // does not move: both ends are set, never only the anchor.
        if (shift)
            selEnd = caretOffset;
        ShowGoToDialog();
        return;
    }
    if (p.x >= 0) {
        RecreateCaret();
        SetCaretPixel(p.x, p.y);
    } else {
        PlaceCaret(caretOffset);
    }
    if (shift)
        selEnd = caretOffset; // also where no cell was hit: the caret's (possibly clamped) offset
    ShowEditCaret();
    if (shift) {
        Invalidate();
        return;
    }
    POINT screen{x, y};
    ClientToScreen(hwnd, &screen);
    if (DragDetect(hwnd, screen)) {
        selAnchor = selEnd = caretOffset;
        SetCapture(hwnd);
    } else {
        selAnchor = selEnd = -1;
    }
    Invalidate();
}

void CHexEdit::OnMouseMove(WPARAM flags, int x, int y) {
    if (length == 0 || !(flags & MK_LBUTTON) || selAnchor == -1)
        return;
    RECT client{};
    GetClientRect(hwnd, &client);
    // One row per message while the pointer stays outside: there is no timer.
    const hit::DragStep step = hit::DragPointer(y, client.bottom, visibleRows, charHeight);
    if (step.scroll < 0)
        Scroll(SB_LINEUP);
    else if (step.scroll > 0)
        Scroll(SB_LINEDOWN);
    y = step.y;
    const int64_t oldEnd = selEnd;
    const POINT p = HitTest(x, y);
    if (p.x >= 0) {
        SetCaretPixel(p.x, p.y);
        ShowEditCaret();
    } else {
        PlaceCaret(caretOffset);
    }
    selEnd = caretOffset;
    if (selEnd != oldEnd)
        Invalidate();
}

void CHexEdit::OnLButtonUp() {
    if (selAnchor != -1)
        ReleaseCapture();
}

void CHexEdit::OnRButtonUp(int x, int y) {
    SetFocus(hwnd);
    // The menu's commands act at the caret's byte: the caret is drawn where they will act.
    const POINT p = HitTest(x, y);
    if (length != 0 && p.x >= 0) {
        RecreateCaret();
        SetCaretPixel(p.x, p.y);
        ShowEditCaret();
    } else if (length != 0 && p.x != kAddressColumnHit) {
        PlaceCaret(caretOffset);
    }
    Invalidate();
    ShowContextMenu(POINT{x, y}, true, p.x == kAddressColumnHit);
}

void CHexEdit::OnMouseWheel(int delta) {
    if (delta < 0)
        Scroll(SB_LINEDOWN);
    else if (delta > 0)
        Scroll(SB_LINEUP);
}
