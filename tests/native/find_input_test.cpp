// What the Find and Go To input means: the hexadecimal form of a Find input, the address of a
// Go To input, and the dialog's UTF-16 text as the view's bytes.
#include <gtest/gtest.h>

#include <climits>

#include <optional>

#include "hexedit/core/find_input.h"
#include "hexedit/core/find_rules.h"
#include "tests/support/model_editor.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct HexFormRow {
    const char* input;
    bool hasForm;
    Bytes bytes;
};

const HexFormRow kHexForms[] = {
    {"41", true, {0x41}},
    {"48 65 6C", true, {0x48, 0x65, 0x6C}},
    {"48656c", true, {0x48, 0x65, 0x6C}},
    {"4 1", true, {0x41}}, // a space between the two digits of one byte
    {" 41 ", true, {0x41}},
    {"ff FF 0a", true, {0xFF, 0xFF, 0x0A}},
    {"0123456789abcdef", true, {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF}},
    {"  ", true, {}},   // two spaces: no digits, an even count, an empty pattern
    {"ABC", false, {}}, // odd number of digits
    {"A", false, {}},   // one character
    {"4", false, {}},
    {"", false, {}},
    {" 4", false, {}},    // two characters, one digit
    {"hello", false, {}}, // letters after F
    {"0g", false, {}},
    {"41\t42", false, {}}, // only the space counts as a separator
    {"0x41", false, {}},
};

// The hexadecimal pattern a Find with this input searches for, if any.
std::optional<Bytes> HexFormOf(const char* input) {
    ModelEditor e;
    editing::BuildFindPatterns(e, input);
    if (e.hexPatternState != editing::kHexPatternValid)
        return std::nullopt;
    return Bytes(e.hexPattern, e.hexPattern + e.hexPatternLength);
}

TEST(FindInput, HexadecimalFormOfTheInput) {
    for (const HexFormRow& row : kHexForms) {
        SCOPED_TRACE(row.input);
        const auto form = HexFormOf(row.input);
        ASSERT_EQ(form.has_value(), row.hasForm);
        if (form) {
            EXPECT_EQ(*form, row.bytes);
        }
    }
}

TEST(FindInput, SpellingCountsDigitsAndSkipsSpaces) {
    uint8_t out[4] = {};
    EXPECT_EQ(find_input::SpellHexBytes("1 23", 4, out), 3u);
    EXPECT_EQ(out[0], 0x12);
    EXPECT_EQ(out[1] & 0xF0, 0x30);
}

struct AddressRow {
    const char* input;
    int32_t address;
};

const AddressRow kAddresses[] = {
    {"1A", 26},
    {"0x1A", 26},
    {"0X1a", 26},
    {"1a", 26},
    {"  1A", 26},
    {"\t\n\v\f\r1A", 26},
    {"+1A", 26},
    {"-1", -1},
    {"-1A", -26},
    {"", 0},
    {"G1", 0}, // starts with a letter after F
    {"x1A", 0},
    {"0x", 0}, // the 0 is a digit; the x is where conversion stops
    {"0xg", 0},
    {"0x0x1", 0},
    {"1g2", 1}, // stops at the first non-digit
    {"1A 2", 26},
    {"- 1", 0}, // no white space after the sign
    {"+-1", 0},
    {"7FFFFFFF", INT32_MAX},
    {"80000000", INT32_MAX}, // saturates at the signed 32-bit limit
    {"FFFFFFFF", INT32_MAX},
    {"123456789ABCDEF0", INT32_MAX},
    {"-7FFFFFFF", -INT32_MAX},
    {"-80000000", INT32_MIN},
    {"-80000001", INT32_MIN},
    {"-FFFFFFFFFFFF", INT32_MIN},
    {"00000000000000000000000000001", 1},
    {"\xA0"
     "1",
     0}, // no-break space is not white space in the C locale
};

TEST(FindInput, GoToAddressReadsLikeStrtolBase16WithinThirtyTwoBits) {
    for (const AddressRow& row : kAddresses) {
        SCOPED_TRACE(row.input);
        EXPECT_EQ(find_input::ParseHexAddress(row.input), row.address);
    }
}

TEST(FindInput, AddressIsClampedIntoTheBuffer) {
    struct Row {
        int32_t address, length, offset;
    };
    const Row rows[] = {{26, 100, 26}, {100, 100, 100},     {101, 100, 100}, {INT32_MAX, 100, 100},
                        {-1, 100, 0},  {INT32_MIN, 100, 0}, {0, 0, 0},       {5, 0, 0}};
    for (const Row& row : rows)
        EXPECT_EQ(find_input::ClampToBuffer(row.address, row.length), row.offset)
            << row.address << " in " << row.length;
}

TEST(FindInput, WideGoToAddressTakesSixteenDigits) {
    const struct {
        const char* input;
        uint64_t address;
    } rows[] = {{"1A", 0x1A},
                {" 0x123456789", 0x123456789},
                {"FFFFFFFFFFFFFFFF", 0xFFFFFFFFFFFFFFFF},
                {"10000000000000000", 0xFFFFFFFFFFFFFFFF},
                {"-5", 0},
                {"+19000000g", 0x19000000},
                {"0x", 0}};
    for (const auto& row : rows)
        EXPECT_EQ(find_input::ParseWideHexAddress(row.input), row.address) << row.input;
    EXPECT_EQ(find_input::ClampToLength(0x1900000010, 0x1900000000), 0x1900000000u);
}

TEST(FindInput, DialogTextIsTheViewsBytesAndACharacterWithoutOneIsNoDigit) {
    const char16_t units[] = {u'A', u'\u00E9', u'\u20AC', u'\u0439', u'\u0100', u'z'};
    char out[6] = {};
    EXPECT_FALSE(find_input::ViewBytesOf(units, 6, out));
    EXPECT_EQ(Bytes(out, out + 6), (Bytes{0x41, 0xE9, 0x80, '?', '?', 0x7A}));
    EXPECT_TRUE(find_input::ViewBytesOf(units, 3, out));
}

} // namespace
