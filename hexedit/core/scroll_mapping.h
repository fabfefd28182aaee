// Row arithmetic for files of any size: offsets are 64-bit, while the scroll bar holds a signed
// 32-bit range. Up to kBarRowLimit rows the bar counts rows as for small files; beyond it the
// bar's positions spread evenly over the rows, the bottom position shows the last row, and line
// and page steps move the rows themselves, exactly.
#pragma once

#include <cstdint>

#include "hexedit/core/scroll_math.h"

namespace scroll {

// The largest bar maximum that still counts one position per row.
constexpr int32_t kBarRowLimit = 0x3FFFFFFF;

// As for Rows: the largest useful top offset, the top after a request (kThumbTrack takes the
// bar's tracking position), the top that brings an offset into view.
uint64_t BottomTop(const WideRows& rows);
bool ScrollTop(int code, uint64_t top, const WideRows& rows, int32_t trackPosition,
               uint64_t& newTop);
uint64_t EnsureVisibleTop(uint64_t offset, uint64_t top, const WideRows& rows);

// The bar's settings for a top offset, and the top offset a bar position stands for; the bar's
// position for a top maps back to that top or the nearest row above it.
ScrollBarSettings ScrollBarFor(uint64_t top, const WideRows& rows);
uint64_t TopForBarPosition(int32_t position, const WideRows& rows);

} // namespace scroll
