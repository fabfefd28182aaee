// Row arithmetic of the view: where the view may scroll, where the scroll bar stands, and
// where the caret's cell is. All values are byte offsets or pixels, signed 32-bit.
#pragma once

#include <cstdint>

namespace scroll {

// Scroll-bar request codes, with the platform's values.
enum Code : int {
    kLineUp = 0,
    kLineDown = 1,
    kPageUp = 2,
    kPageDown = 3,
    kThumbPosition = 4,
    kThumbTrack = 5,
    kTop = 6,
    kBottom = 7,
};

struct Rows {
    int32_t length;
    int32_t visibleRows;
    int32_t bytesPerRow;
};

// The same for a file of any size (scroll_mapping.h scrolls over these).
struct WideRows {
    uint64_t length;
    int32_t visibleRows;
    int32_t bytesPerRow;
};

// The largest useful top offset: the row of the end position is then the last row shown.
// Never negative.
int32_t BottomTop(const Rows& rows);

// The top offset after a scroll request. `trackRow` is the scroll bar's tracking position
// (used by kThumbTrack only). Returns false when the code does nothing at all (thumb
// position, unknown codes); true otherwise, whether or not the offset changed.
bool ScrollTop(int code, int32_t top, const Rows& rows, int32_t trackRow, int32_t& newTop);

// The top offset that brings `offset` into view, a third of a page below the top, or the
// unchanged top when it is already visible.
int32_t EnsureVisibleTop(int32_t offset, int32_t top, const Rows& rows);

// The scroll bar's range and page in rows, and where the platform will clamp its position.
struct ScrollBarSettings {
    int32_t maximum; // row of the end position
    int32_t page;    // visible rows
    int32_t position;
};
ScrollBarSettings ScrollBarFor(int32_t top, const Rows& rows);
// The position a bar with these settings actually reports (the platform keeps it within
// 0..maximum - page + 1).
int32_t ClampedBarPosition(int32_t position, int32_t maximum, int32_t page);

struct CaretCell {
    bool visible;
    int32_t x;
    int32_t y;
};
struct ColumnLayout {
    int32_t charWidth;
    int32_t charHeight;
    int32_t hexColumnX;
    int32_t textColumnX;
};
// Top-left pixel of the caret for `offset` in `pane` (1 text, 2 hex high, 3 hex low), or not
// visible when the offset lies outside the shown rows.
CaretCell CaretCellFor(int64_t offset, int32_t pane, int64_t top, const WideRows& rows,
                       const ColumnLayout& layout);
inline CaretCell CaretCellFor(int64_t offset, int32_t pane, int64_t top, const Rows& rows,
                              const ColumnLayout& layout) {
    return CaretCellFor(
        offset, pane, top,
        WideRows{static_cast<uint64_t>(rows.length), rows.visibleRows, rows.bytesPerRow}, layout);
}

// Caret width: a block over one cell in overwrite mode, a thin bar in insert mode.
inline int32_t CaretWidth(int32_t charWidth, bool overwrite) {
    return overwrite ? charWidth : charWidth / 8 + 1;
}

// Column positions for a measured character cell, with an address column of `addressDigits`
// digits (8 up to 4 GiB) and a space.
ColumnLayout ColumnsFor(int32_t charWidth, int32_t charHeight, int32_t bytesPerRow,
                        int32_t addressDigits = 8);

} // namespace scroll
