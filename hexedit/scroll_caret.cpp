// The view's scroll bar, scroll requests and the system caret.
#include "hexedit/hex_edit.h"

#include "hexedit/core/scroll_mapping.h"

namespace {

// The bar holds a 32-bit range; rows of a file of any size are mapped onto it.
scroll::WideRows RowsOf(const CHexEdit& e) {
    return {static_cast<uint64_t>(e.length), e.visibleRows, e.bytesPerRow};
}

uint64_t Top(const CHexEdit& e) {
    return static_cast<uint64_t>(e.topOffset);
}

// Drawing the bar at once costs about 4 ms a call under Wine, and typing at the end changes it
// twice a row; its area is invalidated instead and drawn with the view's next paint, which
// every caller asks for anyway.
void RedrawScrollBarSoon(HWND view) {
    SCROLLBARINFO bar{};
    bar.cbSize = sizeof(bar);
    if (!GetScrollBarInfo(view, OBJID_VSCROLL, &bar)) {
        RedrawWindow(view, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
        return;
    }
    RECT area = bar.rcScrollBar;
    MapWindowPoints(nullptr, view, reinterpret_cast<POINT*>(&area), 2);
    RedrawWindow(view, &area, nullptr, RDW_INVALIDATE | RDW_FRAME);
}

} // namespace

void CHexEdit::UpdateScrollBar() {
    const scroll::ScrollBarSettings bar = scroll::ScrollBarFor(Top(*this), RowsOf(*this));
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = 0;
    info.nMax = bar.maximum;
    info.nPage = static_cast<UINT>(bar.page > 0 ? bar.page : 0);
    info.nPos = bar.position;
    // Typing at the end calls this for every byte while the range changes only every row;
    // setting the same values again would redraw the bar each time.
    SCROLLINFO current{};
    current.cbSize = sizeof(current);
    current.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    if (GetScrollInfo(hwnd, SB_VERT, &current) && current.nMin == info.nMin &&
        current.nMax == info.nMax && current.nPage == info.nPage &&
        current.nPos == scroll::ClampedBarPosition(bar.position, bar.maximum, bar.page))
        return;
    SetScrollInfo(hwnd, SB_VERT, &info, FALSE);
    RedrawScrollBarSoon(hwnd);
    if (length >= int64_t{visibleRows} * bytesPerRow)
        EnableScrollBar(hwnd, SB_VERT, ESB_ENABLE_BOTH);
}

void CHexEdit::Scroll(int code) {
    if (length == 0)
        return;
    int32_t trackRow = 0;
    if (code == SB_THUMBTRACK) {
        SCROLLINFO info{};
        info.cbSize = sizeof(info);
        info.fMask = SIF_TRACKPOS;
        if (!GetScrollInfo(hwnd, SB_VERT, &info))
            return;
        trackRow = info.nTrackPos;
    }
    uint64_t newTop = Top(*this);
    if (!scroll::ScrollTop(code, Top(*this), RowsOf(*this), trackRow, newTop))
        return;
    // Thumb, top and bottom repaint even when the top stays; the others only when it moves.
    const bool alwaysRepaint = code == SB_THUMBTRACK || code == SB_TOP || code == SB_BOTTOM;
    if (newTop != Top(*this) || alwaysRepaint) {
        topOffset = static_cast<int64_t>(newTop);
        Invalidate();
    }
    const int32_t position = scroll::ScrollBarFor(newTop, RowsOf(*this)).position;
    if (GetScrollPos(hwnd, SB_VERT) != position) {
        SetScrollPos(hwnd, SB_VERT, position, FALSE);
        RedrawScrollBarSoon(hwnd);
    }
    PlaceCaret(caretOffset);
}

void CHexEdit::Invalidate() {
    InvalidateRect(hwnd, nullptr, FALSE);
}

void CHexEdit::EnsureVisible(int64_t offset) {
    const auto top = static_cast<int64_t>(
        scroll::EnsureVisibleTop(static_cast<uint64_t>(offset), Top(*this), RowsOf(*this)));
    if (top == topOffset && offset >= topOffset &&
        offset < topOffset + int64_t{visibleRows} * bytesPerRow)
        return; // already in view
    topOffset = top;
    UpdateScrollBar();
}

void CHexEdit::PlaceCaret(int64_t offset) {
    if (charWidth == -1)
        return;
    const scroll::ColumnLayout layout{charWidth, charHeight, hexColumnX, textColumnX};
    const scroll::CaretCell cell =
        scroll::CaretCellFor(offset, caretPane, topOffset, RowsOf(*this), layout);
    if (!cell.visible) {
        HideEditCaret();
        return;
    }
    caretX = cell.x;
    caretY = cell.y;
    SetCaretPixel(cell.x, cell.y);
    ShowEditCaret();
}

void CHexEdit::RecreateCaret() {
    DestroyCaret();
    if (charWidth == -1)
        caretPending = 1;
    else
        CreateEditCaret();
    caretShown = 0;
}

void CHexEdit::CreateEditCaret() {
    CreateCaret(hwnd, nullptr, scroll::CaretWidth(charWidth, overwriteMode != 0), charHeight);
}

void CHexEdit::SetCaretPixel(int x, int y) {
    if (charWidth == -1)
        return;
    SetCaretPos(x, y);
    caretX = x;
    caretY = y;
}

void CHexEdit::ShowEditCaret() {
    if (charWidth == -1 || caretShown)
        return;
    ShowCaret(hwnd);
    caretShown = 1;
}

void CHexEdit::HideEditCaret() {
    if (charWidth == -1 || !caretShown)
        return;
    HideCaret(hwnd);
    caretShown = 0;
}
