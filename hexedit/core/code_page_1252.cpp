#include "hexedit/core/code_page_1252.h"

namespace cp1252 {

int ByteOf(uint32_t unit) {
    if (unit <= 0xFF && (unit < 0x80 || unit >= 0xA0))
        return static_cast<int>(unit);
    for (int i = 0; i < 32; ++i)
        if (kHighRange[i] == unit)
            return 0x80 + i;
    return -1;
}

} // namespace cp1252
