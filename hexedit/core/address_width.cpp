#include "hexedit/core/address_width.h"

namespace address {

int DigitsFor(uint64_t largest) {
    int digits = 1;
    while (digits < 16 && (largest >> (4 * digits)) != 0)
        ++digits;
    return digits < kNarrowDigits ? kNarrowDigits : digits;
}

int ViewDigits(uint64_t length, int32_t bytesPerRow) {
    const uint64_t perRow = bytesPerRow > 0 ? static_cast<uint64_t>(bytesPerRow) : 1;
    return DigitsFor(length == 0 ? 0 : (length - 1) / perRow * perRow);
}

size_t WriteAddress(uint64_t address, int digits, char* out) {
    static const char kHex[] = "0123456789ABCDEF";
    for (int i = digits - 1; i >= 0; --i) {
        out[i] = kHex[address & 0xF];
        address >>= 4;
    }
    out[digits] = '\0';
    return static_cast<size_t>(digits);
}

} // namespace address
