// The view's character set: Windows code page 1252, in which the text pane draws its bytes.
// Typing, Find, Copy and Paste turn characters into bytes and back through this one table, so
// they agree with what the pane shows whatever the system's own code page is. The five bytes
// the code page leaves undefined (81, 8D, 8F, 90, 9D) are the control characters of the same
// value both ways, as the system's conversions make them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace cp1252 {

// The characters of bytes 80 to 9F; every other byte is the Unicode character of its value.
constexpr uint16_t kHighRange[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98
};

// All 256, looked up inline: a long copy widens every byte of its text.
struct CharTable {
    uint16_t units[256];
    constexpr CharTable() : units() {
        for (int b = 0; b < 256; ++b)
            units[b] = b >= 0x80 && b < 0xA0 ? kHighRange[b - 0x80] : static_cast<uint16_t>(b);
    }
};
inline constexpr CharTable kChars{};

// The UTF-16 character that `byte` shows as.
inline uint16_t CharOf(uint8_t byte) {
    return kChars.units[byte];
}

// The byte of UTF-16 unit `unit`; -1 when the code page has none (either half of a surrogate
// pair included).
int ByteOf(uint32_t unit);

// `count` units into bytes at `out`. False when a unit has no byte; `out` is then partly
// written.
template <class Unit> bool BytesOf(const Unit* units, size_t count, uint8_t* out) {
    for (size_t i = 0; i < count; ++i) {
        const int byte = ByteOf(static_cast<uint32_t>(units[i]));
        if (byte < 0)
            return false;
        out[i] = static_cast<uint8_t>(byte);
    }
    return true;
}

// `count` bytes (a NUL included, if any) into units at `out`.
template <class Unit> void CharsOf(const char* bytes, uint64_t count, Unit* out) {
    for (uint64_t i = 0; i < count; ++i)
        out[i] = static_cast<Unit>(CharOf(static_cast<uint8_t>(bytes[i])));
}

} // namespace cp1252
