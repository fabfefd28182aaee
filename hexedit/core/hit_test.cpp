#include "hexedit/core/hit_test.h"

#include <algorithm>

#include "hexedit/core/view_geometry.h"

namespace hit {

Point HitTest(int32_t x, int32_t y, const View& v, int64_t& caretOffset, int32_t& caretPane) {
    const Point none{-1, -1};
    // Before the font is measured there are no cells to hit.
    if (v.charWidth <= 0 || v.charHeight <= 0 || v.bytesPerRow <= 0)
        return none;
    const int32_t cw = v.charWidth;
    const int32_t half = cw / 2;

    const int32_t row = y / v.charHeight; // toward zero: a point just above row 0 still hits it
    if (row < 0 || row >= v.visibleRows)
        return none;
    const int64_t rowStart = v.topOffset + int64_t{row} * v.bytesPerRow;
    if (rowStart > v.length)
        return none;

    if (x <= v.hexColumnX - cw)
        return {kAddressColumn, -1};

    const int32_t cellY = row * v.charHeight + kTopMargin;
    if (v.hexColumnX - half <= x && x <= v.textColumnX - half) {
        const int32_t lastCell =
            kHexCellsPerByte * v.bytesPerRow - 1; // the space after the row's last byte
        int32_t m = std::max(0, x - v.hexColumnX) / cw;
        if (m >= lastCell)
            m = lastCell - 1;
        if (m % kHexCellsPerByte == 2) {
            // The space between two bytes: its right part belongs to the next byte.
            if ((x - v.hexColumnX) % cw > half)
                ++m;
            else
                --m;
        }
        const int64_t offset = rowStart + m / kHexCellsPerByte;
        if (offset > v.length) {
            caretOffset = v.length;
            caretPane = kHexLow;
            return none;
        }
        caretOffset = offset;
        caretPane = m % kHexCellsPerByte == 0 ? kHexHigh : kHexLow;
        return {v.hexColumnX + m * cw, cellY};
    }

    if (x <= v.textColumnX - half)
        return none; // the band between the address column and the hex pane

    const int32_t m = std::min(std::max(0, x - v.textColumnX) / cw, v.bytesPerRow - 1);
    caretPane = kTextPane;
    const int64_t offset = rowStart + m;
    if (offset > v.length) {
        caretOffset = v.length;
        return none;
    }
    caretOffset = offset;
    return {v.textColumnX + m * cw, cellY};
}

DragStep DragPointer(int32_t y, int32_t clientHeight, int32_t visibleRows, int32_t charHeight) {
    if (y < 0)
        return {-1, 0};
    if (y > clientHeight) {
        const int64_t lastWholeRowPixel = int64_t{visibleRows} * charHeight - 1;
        const int64_t counted = std::min<int64_t>(clientHeight - 1, lastWholeRowPixel);
        return {1, static_cast<int32_t>(std::max<int64_t>(0, counted))};
    }
    return {0, y};
}

} // namespace hit
