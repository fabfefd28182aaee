// The view's code page both ways, as the system's own conversions for code page 1252 give it
// (byte -1: the character has none).
#include <gtest/gtest.h>

#include <utility>

#include "hexedit/core/code_page_1252.h"

TEST(CodePage1252, BytesAndCharactersBothWays) {
    const std::pair<int, uint32_t> rows[] = {
        {0x00, 0x0000}, {0x41, u'A'},      {0x7F, 0x007F},  {0xA0, 0x00A0},  {0xE9, u'\u00E9'},
        {0xFF, 0x00FF}, {0x80, u'\u20AC'}, {0x8C, 0x0152},  {0x99, 0x2122},  {0x9F, 0x0178},
        {0x81, 0x0081}, {0x8D, 0x008D},    {0x8F, 0x008F},  {0x90, 0x0090},  {0x9D, 0x009D},
        {-1, 0x0080},   {-1, 0x009F},      {-1, u'\u0439'}, {-1, u'\u4E2D'}, {-1, 0xD83D},
        {-1, 0xDE00},   {-1, 0xFFFF},      {-1, 0x1F600},
    };
    for (const auto& [byte, unit] : rows) {
        SCOPED_TRACE(testing::Message() << std::hex << "U+" << unit);
        EXPECT_EQ(cp1252::ByteOf(unit), byte);
        EXPECT_TRUE(byte < 0 || cp1252::CharOf(static_cast<uint8_t>(byte)) == unit);
    }
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(cp1252::ByteOf(cp1252::CharOf(static_cast<uint8_t>(b))), b);
}
