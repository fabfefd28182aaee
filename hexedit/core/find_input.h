// What the user types into the Find and Go To input: the hexadecimal byte form of a Find
// input, the address of a Go To input, and the dialog text as the view's bytes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "hexedit/core/code_page_1252.h"

namespace find_input {

// A Find input has a hexadecimal form when it is at least two characters long and holds
// nothing but hexadecimal digits and spaces.
bool HasHexForm(const char* text, size_t length);

// Writes the bytes that the digits of `text` spell into `out` (room for length / 2 bytes,
// cleared by the caller): the k-th digit is the high nibble of byte k / 2 when k is even and
// the low nibble when k is odd; spaces are skipped wherever they stand. Returns the number of
// digits; an odd count means there is no hexadecimal form.
size_t SpellHexBytes(const char* text, size_t length, uint8_t* out);

// A Go To address: base 16 with the rules of the C library's strtol (white space skipped, an
// optional sign, an optional 0x or 0X, conversion up to the first non-digit, no digits give
// 0), saturating at the limits of a signed 32-bit value.
int32_t ParseHexAddress(const char* text);

// A Go To address for a file of any size: the same reading with up to 16 digits, a negative
// address as 0, saturating at the largest unsigned 64-bit value.
uint64_t ParseWideHexAddress(const char* text);

// Characters the Go To input takes: 8 digits while every offset of the file fits them, "0x" and
// 16 digits beyond.
inline int GoToInputLimit(uint64_t length) {
    return length > 0xFFFFFFFFull ? 18 : 8;
}

// The address as a caret offset: 0 .. length.
int32_t ClampToBuffer(int32_t address, int32_t length);
inline uint64_t ClampToLength(uint64_t address, uint64_t length) {
    return address > length ? length : address;
}

// The dialog's UTF-16 text as the bytes the view shows it with, on every system alike. A
// character the view can't show becomes '?', which no address or hexadecimal form reads as a
// digit; the result is then false.
template <class Unit> bool ViewBytesOf(const Unit* units, size_t count, char* out) {
    bool all = true;
    for (size_t i = 0; i < count; ++i) {
        const int byte = cp1252::ByteOf(static_cast<uint32_t>(units[i]));
        all = all && byte >= 0;
        out[i] = static_cast<char>(byte >= 0 ? byte : '?');
    }
    return all;
}

} // namespace find_input
