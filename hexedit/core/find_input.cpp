#include "hexedit/core/find_input.h"

#include <cstring>

#include "hexedit/core/hex_digit.h"

namespace find_input {

namespace {

int HexValue(char c) {
    return HexDigitValue(static_cast<uint8_t>(c));
}

// White space of the C locale, as strtol skips it.
bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

} // namespace

bool HasHexForm(const char* text, size_t length) {
    if (!text || length < 2)
        return false;
    for (size_t i = 0; i < length; ++i)
        if (text[i] != ' ' && HexValue(text[i]) < 0)
            return false;
    return true;
}

size_t SpellHexBytes(const char* text, size_t length, uint8_t* out) {
    size_t digits = 0;
    for (size_t i = 0; i < length; ++i) {
        const int value = HexValue(text[i]);
        if (value < 0)
            continue;
        uint8_t& byte = out[digits / 2];
        if (digits % 2 == 0)
            byte = static_cast<uint8_t>((byte & 0x0F) | (value << 4));
        else
            byte = static_cast<uint8_t>((byte & 0xF0) | value);
        ++digits;
    }
    return digits;
}

namespace {

// Past the white space, the sign and the "0x" of an address: its first digit.
const char* AddressDigits(const char* text, bool& negative) {
    const char* c = text;
    while (IsSpace(*c))
        ++c;
    negative = *c == '-';
    if (*c == '+' || *c == '-')
        ++c;
    // The prefix counts only with a digit after it; "0x" alone reads as the digit 0.
    if (c[0] == '0' && (c[1] == 'x' || c[1] == 'X') && HexValue(c[2]) >= 0)
        c += 2;
    return c;
}

} // namespace

int32_t ParseHexAddress(const char* text) {
    if (!text)
        return 0;
    bool negative = false;
    const char* c = AddressDigits(text, negative);
    // Past 2^31 the value only saturates; stop growing it there.
    constexpr int64_t kCap = int64_t{1} << 31;
    int64_t value = 0;
    for (; HexValue(*c) >= 0; ++c) {
        value = value * 16 + HexValue(*c);
        if (value > kCap)
            value = kCap;
    }
    if (negative)
        return static_cast<int32_t>(-value); // -2^31 is the lowest it gets
    return value > INT32_MAX ? INT32_MAX : static_cast<int32_t>(value);
}

uint64_t ParseWideHexAddress(const char* text) {
    if (!text)
        return 0;
    bool negative = false;
    const char* c = AddressDigits(text, negative);
    uint64_t value = 0;
    for (; HexValue(*c) >= 0; ++c)
        value = value > (UINT64_MAX >> 4) ? UINT64_MAX : value * 16 + HexValue(*c);
    return negative ? 0 : value;
}

int32_t ClampToBuffer(int32_t address, int32_t length) {
    if (address < 0)
        return 0;
    return address > length ? length : address;
}

} // namespace find_input
