// Which caret cell lies under a point of the view. Pure arithmetic on the view's layout, so
// that every pixel boundary can be checked without a window.
#pragma once

#include <cstdint>

namespace hit {

// Result x for a point over the address column.
constexpr int32_t kAddressColumn = -666777;

struct View {
    int64_t length;
    int64_t topOffset;
    int32_t visibleRows;
    int32_t bytesPerRow;
    int32_t charWidth; // -1 while the font is not measured
    int32_t charHeight;
    int32_t hexColumnX;
    int32_t textColumnX;
};

struct Point {
    int32_t x;
    int32_t y;
};

// Maps client point (x, y) to a caret cell. Returns the caret's new top-left pixel, or
// (-1, -1) when there is no cell to show (the caller then places the caret from the offset),
// or (kAddressColumn, -1) over the address column. Moves caretOffset and caretPane whenever
// the point falls on a row that holds data, also when it returns (-1, -1) after clamping a
// point past the end to the end position.
Point HitTest(int32_t x, int32_t y, const View& view, int64_t& caretOffset, int32_t& caretPane);
inline Point HitTest(int32_t x, int32_t y, const View& view, int32_t& caretOffset,
                     int32_t& caretPane) {
    int64_t offset = caretOffset;
    const Point point = HitTest(x, y, view, offset, caretPane);
    caretOffset = static_cast<int32_t>(offset);
    return point;
}

// Where a dragging pointer counts, and whether the view scrolls one row for it first: above
// the client it counts as on the first row and scrolls up; below the client it counts as on
// the last whole row (not the partial one under it) and scrolls down.
struct DragStep {
    int scroll; // -1 a row up, +1 a row down, 0 none
    int32_t y;
};
DragStep DragPointer(int32_t y, int32_t clientHeight, int32_t visibleRows, int32_t charHeight);

} // namespace hit
