// Which banner bitmap a banner control of a given width shows: one picture drawn at five
// sizes, the nearest fitting one stretched onto the control.
#pragma once

#include <cstdint>

#include "resources/resource_ids.h"

namespace banner {

struct Choice {
    int id; // bitmap resource
    int32_t width;
    int32_t height;
};

inline Choice ChooseBitmap(int32_t controlWidth) {
    switch (controlWidth) {
    case 120:
        return {IDB_BANNER_120X16, 120, 16};
    case 160:
        return {IDB_BANNER_160X20, 160, 20};
    case 200:
        return {IDB_BANNER_200X25, 200, 25};
    default:
        return controlWidth <= 240 ? Choice{IDB_BANNER_240X31, 240, 31}
                                   : Choice{IDB_BANNER_620X80, 620, 80};
    }
}

} // namespace banner
