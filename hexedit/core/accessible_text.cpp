#include "hexedit/core/accessible_text.h"

#include "hexedit/core/view_geometry.h"

namespace a11y {

namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

// Upper-case hex without leading zeros, as the address column reads once its zeros are gone.
std::string Hex(uint64_t value) {
    std::string text;
    do {
        text.insert(text.begin(), kDigits[value & 0x0F]);
        value >>= 4;
    } while (value != 0);
    return text;
}

std::string ByteHex(int32_t byte) {
    return {kDigits[(byte >> 4) & 0x0F], kDigits[byte & 0x0F]};
}

std::string Count(int64_t count, const char* what) {
    return std::to_string(count) + (count == 1 ? " byte" : " bytes") + what;
}

void Append(std::string& text, const std::string& part) {
    if (part.empty())
        return;
    if (!text.empty())
        text += ", ";
    text += part;
}

} // namespace

std::string CellName(const CaretFacts& f) {
    if (f.byte == kUnreadable)
        return "unreadable";
    if (f.byte < 0)
        return "end of file";
    if (f.pane != kTextPane)
        return ByteHex(f.byte) + (f.pane == kHexLow ? ", second digit" : ", first digit");
    // Only plain ASCII is read as a character: what other bytes show depends on a code page.
    if (f.byte < ' ' || f.byte >= 0x7F)
        return ByteHex(f.byte);
    const std::string shown = f.byte == ' ' ? "space" : std::string(1, static_cast<char>(f.byte));
    return shown + ", " + ByteHex(f.byte);
}

std::string CellValue(const CaretFacts& f) {
    return "offset " + Hex(static_cast<uint64_t>(f.offset)) + ", " + std::to_string(f.offset);
}

std::string CellDescription(const CaretFacts& f) {
    std::string text = f.insert ? "insert" : "";
    if (f.selected > 0)
        Append(text, Count(f.selected, " selected"));
    return text;
}

std::string ViewValue(const CaretFacts& f) {
    std::string text = CellName(f);
    Append(text, CellValue(f));
    Append(text, CellDescription(f));
    return text;
}

std::string ViewDescription(int64_t length) {
    return Count(length, "");
}

} // namespace a11y
