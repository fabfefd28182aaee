// Which banner bitmap a banner control of a given width shows: one picture drawn at five
// sizes, the nearest fitting one stretched onto the control.
#pragma once

#include <cstdint>

namespace banner {

struct Choice {
    int id; // bitmap resource
    int32_t width;
    int32_t height;
};

inline Choice ChooseBitmap(int32_t controlWidth) {
    switch (controlWidth) {
    case 120:
        return {163, 120, 16};
    case 160:
        return {165, 160, 20};
    case 200:
        return {166, 200, 25};
    default:
        return controlWidth <= 240 ? Choice{164, 240, 31} : Choice{167, 620, 80};
    }
}

} // namespace banner
