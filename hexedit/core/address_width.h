// How many hexadecimal digits an address takes: 8 for everything below 4 GiB, as many as the
// largest address shown needs above that.
#pragma once

#include <cstddef>
#include <cstdint>

namespace address {

constexpr int kNarrowDigits = 8;

// Digits for addresses up to `largest`.
int DigitsFor(uint64_t largest);

// Digits of the view's address column: rows are drawn up to the one of the last byte.
int ViewDigits(uint64_t length, int32_t bytesPerRow);

// `address` in `digits` upper-case hexadecimal digits, zero-padded, and a NUL; out holds
// digits + 1 characters. Returns the digits written.
size_t WriteAddress(uint64_t address, int digits, char* out);

} // namespace address
