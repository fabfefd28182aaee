#include "hexedit/core/copy_layouts.h"

#include "hexedit/core/address_width.h"

#include <algorithm>
#include <cstring>

namespace layouts {
namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

// Per byte, the few characters it becomes in each layout, padded to a whole store: the
// writers store a padded entry and step on by the used part, the next store overwriting
// the padding. A selection of hundreds of megabytes then costs one store a byte.
struct Tables {
    char pair[256][2];     // "HH"
    char hexSpace[256][4]; // "HH " + pad
    char cValue[256][8];   // "0xHH, " + pad
    char viewChar[256];    // below 0x20: space
    char textChar[256];    // below 0x20: "."
    constexpr Tables() : pair(), hexSpace(), cValue(), viewChar(), textChar() {
        for (int b = 0; b < 256; ++b) {
            const char hi = kDigits[b >> 4];
            const char lo = kDigits[b & 15];
            pair[b][0] = hi;
            pair[b][1] = lo;
            hexSpace[b][0] = hi;
            hexSpace[b][1] = lo;
            hexSpace[b][2] = ' ';
            hexSpace[b][3] = ' ';
            cValue[b][0] = '0';
            cValue[b][1] = 'x';
            cValue[b][2] = hi;
            cValue[b][3] = lo;
            cValue[b][4] = ',';
            cValue[b][5] = ' ';
            cValue[b][6] = ' ';
            cValue[b][7] = ' ';
            viewChar[b] = b < 0x20 ? ' ' : static_cast<char>(b);
            textChar[b] = b < 0x20 ? '.' : static_cast<char>(b);
        }
    }
};
constexpr Tables kTables{};

inline char* PutPair(char* out, uint8_t b) {
    std::memcpy(out, kTables.pair[b], 2);
    return out + 2;
}

// Eight uppercase digits of a 32-bit value.
inline char* PutAddress(char* out, uint32_t value) {
    out = PutPair(out, static_cast<uint8_t>(value >> 24));
    out = PutPair(out, static_cast<uint8_t>(value >> 16));
    out = PutPair(out, static_cast<uint8_t>(value >> 8));
    return PutPair(out, static_cast<uint8_t>(value));
}

// A line's address: 8 digits the quick way, more through the general writer (whose NUL the
// separating spaces overwrite).
inline char* PutLineAddress(char* out, uint64_t address, int digits) {
    if (digits == address::kNarrowDigits)
        return PutAddress(out, static_cast<uint32_t>(address));
    return out + address::WriteAddress(address, digits, out);
}

// One View line of `count` (1..8) bytes starting at `address`; returns the end of its CR LF.
inline char* PutViewLine(char* out, const uint8_t* bytes, uint64_t count, uint64_t address,
                         const ViewLines& lines) {
    char* const start = out;
    out = PutLineAddress(out, address, lines.digits);
    out[0] = ' ';
    out[1] = ' ';
    out += 2;
    for (uint64_t i = 0; i < count; ++i) {
        std::memcpy(out, kTables.hexSpace[bytes[i]], 4);
        out += 3;
    }
    // The separating space and the padding of a short line: the characters always start at
    // the same column.
    char* const text = start + lines.textColumn;
    std::memset(out, ' ', static_cast<size_t>(text - out));
    out = text;
    for (uint64_t i = 0; i < count; ++i)
        out[i] = kTables.viewChar[bytes[i]];
    out += count;
    out[0] = '\r';
    out[1] = '\n';
    return out + 2;
}

} // namespace

uint64_t HexBlockSize(uint64_t n) {
    return 3 * n + 1;
}

uint64_t CharBlockSize(uint64_t n) {
    return n + 1;
}

uint64_t CArrayWorkingSize(uint64_t n) {
    return n / 8 + 6 * n + 1000;
}

uint64_t ViewWorkingSize(uint64_t n) {
    return 4 * n + 24 * (n / 8) + 1000;
}

uint64_t WriteHex(const uint8_t* bytes, uint64_t n, char* out) {
    if (n == 0) {
        out[0] = '\0';
        return 0;
    }
    char* p = out;
    for (uint64_t i = 0; i + 1 < n; ++i) {
        std::memcpy(p, kTables.hexSpace[bytes[i]], 4);
        p += 3;
    }
    p = PutPair(p, bytes[n - 1]);
    *p = '\0';
    return static_cast<uint64_t>(p - out);
}

uint64_t WriteChars(const uint8_t* bytes, uint64_t n, char* out) {
    for (uint64_t i = 0; i < n; ++i)
        out[i] = bytes[i] < 0x20 ? '.' : static_cast<char>(bytes[i]);
    out[n] = '\0';
    return n;
}

uint64_t WriteCArray(const uint8_t* bytes, uint64_t n, char* out) {
    char* p = out;
    uint64_t i = 0;
    // Whole lines that don't hold the last value: 15 values with ", ", one with ",\r\n".
    for (; i + kCArrayLineValues < n; i += kCArrayLineValues) {
        for (uint64_t j = 0; j + 1 < kCArrayLineValues; ++j) {
            std::memcpy(p, kTables.cValue[bytes[i + j]], 8);
            p += 6;
        }
        std::memcpy(p, kTables.cValue[bytes[i + kCArrayLineValues - 1]], 5);
        p[5] = '\r';
        p[6] = '\n';
        p += 7;
    }
    for (; i < n; ++i) {
        const bool last = i + 1 == n;
        std::memcpy(p, kTables.cValue[bytes[i]], 4);
        p += 4;
        if (!last)
            *p++ = ',';
        if ((i + 1) % kCArrayLineValues == 0) {
            p[0] = '\r';
            p[1] = '\n';
            p += 2;
        } else if (!last) {
            *p++ = ' ';
        }
    }
    *p = '\0';
    return static_cast<uint64_t>(p - out);
}

namespace {
// A whole line of 8 bytes: every store of a fixed size after the address.
char* PutFullViewLine(char* out, const uint8_t* bytes, uint64_t address, const ViewLines& lines) {
    char* const hex = PutLineAddress(out, address, lines.digits);
    std::memcpy(hex, "  ", 2);
    for (int i = 0; i < 8; ++i)
        std::memcpy(hex + 2 + 3 * i, kTables.hexSpace[bytes[i]], 4);
    hex[26] = ' ';
    for (int i = 0; i < 8; ++i)
        hex[27 + i] = kTables.viewChar[bytes[i]];
    std::memcpy(hex + 35, "\r\n", 2);
    return hex + 37;
}
} // namespace

ViewLines ViewLinesFor(uint64_t firstOffset, uint64_t n) {
    const uint64_t lastLine = n == 0 ? 0 : (n - 1) / kViewLineBytes * kViewLineBytes;
    const int digits = address::DigitsFor(firstOffset + lastLine);
    const auto width = static_cast<uint64_t>(digits);
    return {digits, width + 27, width + 37};
}

uint64_t WriteView(const uint8_t* bytes, uint64_t n, uint64_t firstOffset, char* out) {
    return WriteViewPart(bytes, n, firstOffset, ViewLinesFor(firstOffset, n), out);
}

uint64_t WriteViewPart(const uint8_t* bytes, uint64_t n, uint64_t firstOffset,
                       const ViewLines& lines, char* out) {
    char* p = out;
    uint64_t i = 0;
    for (; i + kViewLineBytes <= n; i += kViewLineBytes)
        p = PutFullViewLine(p, bytes + i, firstOffset + i, lines);
    if (i < n)
        p = PutViewLine(p, bytes + i, n - i, firstOffset + i, lines);
    *p = '\0';
    return static_cast<uint64_t>(p - out);
}

uint64_t WriteAddress(uint64_t offset, char* out) {
    return address::WriteAddress(offset, address::DigitsFor(offset), out);
}

uint64_t WriteAddressRange(uint64_t first, uint64_t last, char* out) {
    const int digits = address::DigitsFor(last);
    char* p = out + address::WriteAddress(first, digits, out);
    std::memcpy(p, " - ", 3);
    p += 3;
    p += address::WriteAddress(last, digits, p);
    return static_cast<uint64_t>(p - out);
}

AddressRange AddressRangeOf(int64_t selAnchor, int64_t selEnd, int64_t length,
                            int64_t caretOffset) {
    if (selAnchor < 0 || selEnd < 0)
        return {caretOffset, caretOffset};
    const int64_t first = std::min(selAnchor, selEnd);
    const int64_t last = std::min(std::max(selAnchor, selEnd), length - 1);
    // A selection that holds only the end position (or an empty buffer) selects no byte.
    if (last < first)
        return {caretOffset, caretOffset};
    return {first, last};
}

} // namespace layouts
