// The value of one hexadecimal digit, as typing, Find and Go To read it.
#pragma once

#include <cstdint>

// 0-15 for a hex digit, -1 for anything else.
inline int HexDigitValue(uint32_t code) {
    if (code >= '0' && code <= '9')
        return static_cast<int>(code - '0');
    if (code >= 'a' && code <= 'f')
        return static_cast<int>(code - 'a' + 10);
    if (code >= 'A' && code <= 'F')
        return static_cast<int>(code - 'A' + 10);
    return -1;
}
