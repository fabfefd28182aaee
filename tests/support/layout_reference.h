// The clipboard texts written plainly from their rules, one byte and one printf at a time,
// for the tests and the fuzzer to hold the fast writers against.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace reference {

inline std::string Hex2(uint8_t b) {
    char text[3];
    std::snprintf(text, sizeof(text), "%02X", b);
    return text;
}

inline std::string Address(uint32_t offset) {
    char text[16];
    std::snprintf(text, sizeof(text), "%08lX", static_cast<unsigned long>(offset));
    return text;
}

inline std::string HexText(const std::vector<uint8_t>& bytes) {
    std::string out;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0)
            out += " ";
        out += Hex2(bytes[i]);
    }
    return out;
}

inline std::string CharText(const std::vector<uint8_t>& bytes) {
    std::string out;
    for (uint8_t b : bytes)
        out += b < 0x20 ? '.' : static_cast<char>(b);
    return out;
}

inline std::string CArray(const std::vector<uint8_t>& bytes) {
    std::string out;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const bool last = i + 1 == bytes.size();
        out += "0x" + Hex2(bytes[i]);
        if (!last)
            out += ",";
        if ((i + 1) % 16 == 0)
            out += "\r\n";
        else if (!last)
            out += " ";
    }
    return out;
}

inline std::string View(const std::vector<uint8_t>& bytes, uint32_t first) {
    std::string out;
    for (size_t line = 0; line < bytes.size(); line += 8) {
        out += Address(first + static_cast<uint32_t>(line)) + "  ";
        size_t count = 0;
        for (size_t i = line; i < bytes.size() && i < line + 8; ++i, ++count)
            out += Hex2(bytes[i]) + " ";
        out += " ";
        for (size_t missing = count; missing < 8; ++missing)
            out += "   ";
        for (size_t i = line; i < line + count; ++i)
            out += bytes[i] < 0x20 ? ' ' : static_cast<char>(bytes[i]);
        out += "\r\n";
    }
    return out;
}

inline std::string AddressRange(uint32_t first, uint32_t last) {
    return Address(first) + " - " + Address(last);
}

} // namespace reference
