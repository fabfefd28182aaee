// The obvious fast plain scan with the C library, the yardstick of the Find timings on both
// platforms: memchr for the first byte, memcmp for the rest.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

inline int64_t MemchrScan(const uint8_t* data, size_t length, const uint8_t* pattern, size_t m) {
    const uint8_t* at = data;
    const uint8_t* last = data + length - m;
    while (at <= last) {
        const void* hit = std::memchr(at, pattern[0], static_cast<size_t>(last - at) + 1);
        if (!hit)
            return -1;
        at = static_cast<const uint8_t*>(hit);
        if (std::memcmp(at, pattern, m) == 0)
            return at - data;
        ++at;
    }
    return -1;
}
