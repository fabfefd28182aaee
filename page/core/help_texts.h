// The context-help text of each control of the page, and where its popup stands.
#pragma once

#include <cstdint>
#include <string>

namespace help {

// The popup text of control `id`; empty when the control has none. `dropCount` is the number
// of selected items, on which the "Name:" row's text depends.
std::wstring PopupText(int id, uint32_t dropCount);

struct Anchor {
    int32_t x;
    int32_t y;
};
// The popup's point for a control at [left, right) x [top, bottom) on the screen: its left
// edge, a little below its middle.
inline Anchor PopupAnchor(int32_t left, int32_t top, int32_t bottom) {
    return Anchor{left, top + (bottom - top) / 2 + 8};
}

} // namespace help
