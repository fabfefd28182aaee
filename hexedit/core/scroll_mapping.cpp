#include "hexedit/core/scroll_mapping.h"

#include <algorithm>

namespace scroll {

namespace {

int64_t EndRow(const WideRows& r) {
    return static_cast<int64_t>(r.length / static_cast<uint64_t>(r.bytesPerRow));
}

int64_t BottomRow(const WideRows& r) {
    return std::max<int64_t>(0, EndRow(r) - (r.visibleRows - 1));
}

// A scaled bar: positions 0 .. last spread over the top rows 0 .. BottomRow.
struct ScaledBar {
    int32_t page;
    int32_t last;
};

ScaledBar ScaledBarOf(const WideRows& r) {
    const int64_t rows = EndRow(r) + 1;
    const int64_t page = static_cast<int64_t>(r.visibleRows) * (int64_t{kBarRowLimit} + 1) / rows;
    const int32_t clamped = static_cast<int32_t>(std::clamp<int64_t>(page, 1, kBarRowLimit));
    return {clamped, kBarRowLimit - clamped + 1};
}

// floor(position * bottom / last) without overflow: bottom splits into q * last + rest.
int64_t RowForPosition(int64_t position, int64_t bottom, int64_t last) {
    if (position >= last)
        return bottom;
    return position * (bottom / last) + position * (bottom % last) / last;
}

} // namespace

uint64_t BottomTop(const WideRows& r) {
    return static_cast<uint64_t>(BottomRow(r)) * static_cast<uint64_t>(r.bytesPerRow);
}

bool ScrollTop(int code, uint64_t top, const WideRows& r, int32_t trackPosition, uint64_t& newTop) {
    const int64_t row = static_cast<int64_t>(top / static_cast<uint64_t>(r.bytesPerRow));
    const int64_t bottom = BottomRow(r);
    int64_t next = row;
    switch (code) {
    case kLineUp:
        next = std::max<int64_t>(0, row - 1);
        break;
    case kLineDown:
        next = std::min(row + 1, std::max(bottom, row));
        break;
    case kPageUp:
        next = std::max<int64_t>(0, row - r.visibleRows);
        break;
    case kPageDown:
        next = std::min(row + r.visibleRows, std::max(bottom, row));
        break;
    case kThumbTrack:
        newTop = TopForBarPosition(trackPosition, r);
        return true;
    case kTop:
        next = 0;
        break;
    case kBottom:
        next = bottom;
        break;
    default:
        return false;
    }
    newTop = static_cast<uint64_t>(next) * static_cast<uint64_t>(r.bytesPerRow);
    return true;
}

uint64_t EnsureVisibleTop(uint64_t offset, uint64_t top, const WideRows& r) {
    const uint64_t page = static_cast<uint64_t>(r.visibleRows) * r.bytesPerRow;
    if (top <= offset && offset - top < page)
        return top;
    const int64_t row = static_cast<int64_t>(offset / static_cast<uint64_t>(r.bytesPerRow));
    const int64_t wanted = std::clamp<int64_t>(row - r.visibleRows / 3, 0, BottomRow(r));
    return static_cast<uint64_t>(wanted) * static_cast<uint64_t>(r.bytesPerRow);
}

ScrollBarSettings ScrollBarFor(uint64_t top, const WideRows& r) {
    const int64_t row = static_cast<int64_t>(top / static_cast<uint64_t>(r.bytesPerRow));
    if (EndRow(r) <= kBarRowLimit)
        return {static_cast<int32_t>(EndRow(r)), r.visibleRows, static_cast<int32_t>(row)};
    const ScaledBar bar = ScaledBarOf(r);
    const int64_t bottom = BottomRow(r);
    // The highest position whose row is not below `row`: a row search over the positions.
    int64_t low = 0;
    int64_t high = bar.last;
    while (low < high) {
        const int64_t mid = (low + high + 1) / 2;
        if (RowForPosition(mid, bottom, bar.last) <= row)
            low = mid;
        else
            high = mid - 1;
    }
    return {kBarRowLimit, bar.page, static_cast<int32_t>(low)};
}

uint64_t TopForBarPosition(int32_t position, const WideRows& r) {
    const int64_t p = std::max<int64_t>(0, position);
    int64_t row = p;
    if (EndRow(r) > kBarRowLimit)
        row = RowForPosition(p, BottomRow(r), ScaledBarOf(r).last);
    return static_cast<uint64_t>(row) * static_cast<uint64_t>(r.bytesPerRow);
}

} // namespace scroll
