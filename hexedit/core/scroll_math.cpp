#include "hexedit/core/scroll_math.h"

#include <algorithm>

#include "hexedit/core/view_geometry.h"

namespace scroll {

int32_t BottomTop(const Rows& r) {
    const int64_t rest =
        static_cast<int64_t>(r.length) - static_cast<int64_t>(r.visibleRows - 1) * r.bytesPerRow;
    // Floor division: a negative remainder must round toward minus infinity before clamping.
    int64_t rows = rest / r.bytesPerRow;
    if (rest % r.bytesPerRow != 0 && rest < 0)
        --rows;
    return static_cast<int32_t>(std::max<int64_t>(0, rows * r.bytesPerRow));
}

bool ScrollTop(int code, int32_t top, const Rows& r, int32_t trackRow, int32_t& newTop) {
    const int64_t page = static_cast<int64_t>(r.visibleRows) * r.bytesPerRow;
    const int64_t lastFullTop = static_cast<int64_t>(r.length) - page;
    int64_t t = top;
    switch (code) {
    case kLineUp:
        if (t > 0)
            t = std::max<int64_t>(0, t - r.bytesPerRow);
        break;
    case kLineDown:
        if (t <= lastFullTop)
            t += r.bytesPerRow;
        break;
    case kPageUp:
        if (t > 0)
            t = std::max<int64_t>(0, t - page);
        break;
    case kPageDown:
        if (t <= lastFullTop) {
            t += page;
            if (t > static_cast<int64_t>(r.length) -
                        static_cast<int64_t>(r.visibleRows - 1) * r.bytesPerRow)
                t = BottomTop(r);
        }
        break;
    case kThumbTrack:
        t = std::max<int64_t>(0, static_cast<int64_t>(trackRow) * r.bytesPerRow);
        break;
    case kTop:
        t = 0;
        break;
    case kBottom:
        t = BottomTop(r);
        break;
    default:
        return false;
    }
    newTop = static_cast<int32_t>(t);
    return true;
}

int32_t EnsureVisibleTop(int32_t offset, int32_t top, const Rows& r) {
    const int64_t page = static_cast<int64_t>(r.visibleRows) * r.bytesPerRow;
    if (top <= offset && offset < top + page)
        return top;
    int64_t t = static_cast<int64_t>(r.bytesPerRow) * (offset / r.bytesPerRow - r.visibleRows / 3);
    if (t + page > r.length)
        t = BottomTop(r);
    if (t < 0)
        t = 0;
    return static_cast<int32_t>(t);
}

ScrollBarSettings ScrollBarFor(int32_t top, const Rows& r) {
    return {r.length / r.bytesPerRow, r.visibleRows, top / r.bytesPerRow};
}

int32_t ClampedBarPosition(int32_t position, int32_t maximum, int32_t page) {
    const int32_t highest = std::max(0, maximum - std::max(page, 1) + 1);
    return std::clamp(position, 0, highest);
}

CaretCell CaretCellFor(int64_t offset, int32_t pane, int64_t top, const WideRows& r,
                       const ColumnLayout& l) {
    const int64_t d = offset - top;
    const int64_t wideRow = d / r.bytesPerRow;
    // The column has the sign of d, as the caret rule expects.
    const int32_t col = static_cast<int32_t>(d % r.bytesPerRow);
    if (col < 0 || wideRow < 0 || wideRow > r.visibleRows - 1)
        return {false, 0, 0};
    const int32_t y = static_cast<int32_t>(wideRow) * l.charHeight + kTopMargin;
    switch (pane) {
    case kTextPane:
        return {true, l.textColumnX + col * l.charWidth, y};
    case kHexLow:
        return {true, l.hexColumnX + (kHexCellsPerByte * col + 1) * l.charWidth, y};
    default:
        return {true, l.hexColumnX + kHexCellsPerByte * col * l.charWidth, y};
    }
}

ColumnLayout ColumnsFor(int32_t charWidth, int32_t charHeight, int32_t bytesPerRow,
                        int32_t addressDigits) {
    const int32_t addressWidth = (addressDigits + kAddressCells - 8) * charWidth;
    return {charWidth, charHeight, addressWidth + kHexPaneGap,
            addressWidth + kHexCellsPerByte * bytesPerRow * charWidth + kTextPaneGap};
}

} // namespace scroll
