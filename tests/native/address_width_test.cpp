// Address digits for files of any size, and the bookmark value that holds an offset.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "hexedit/core/address_width.h"
#include "hexedit/core/bookmark_value.h"

TEST(AddressWidth, EightDigitsUpToFourGiBThenAsManyAsNeeded) {
    EXPECT_EQ(address::DigitsFor(0), 8);
    EXPECT_EQ(address::DigitsFor(0xFFFFFFFF), 8);
    EXPECT_EQ(address::DigitsFor(0x100000000), 9);
    EXPECT_EQ(address::DigitsFor(0xFFFFFFFFFFFFFFFF), 16);
    EXPECT_EQ(address::ViewDigits(0x100000000, 16), 8); // last row FFFFFFF0
    EXPECT_EQ(address::ViewDigits(0x100000001, 16), 9);
    EXPECT_EQ(address::ViewDigits(0, 16), 8);
    char text[17];
    EXPECT_EQ(address::WriteAddress(0x2AF, 9, text), 9u);
    EXPECT_EQ(std::string(text), "0000002AF");
}

TEST(BookmarkValue, FourBytesBelowFourGiBEightAboveAndBothRead) {
    EXPECT_EQ(bookmarks::EncodeOffset(0xFFFFFFFF).size, 4u);
    const bookmarks::StoredValue high = bookmarks::EncodeOffset(0x123456789A);
    EXPECT_EQ(high.size, 8u);
    const uint8_t highBytes[8] = {0x9A, 0x78, 0x56, 0x34, 0x12, 0, 0, 0};
    EXPECT_EQ(0, memcmp(high.bytes, highBytes, 8));
    const uint8_t today[12] = {0x78, 0x56, 0x34, 0x12, 1, 0, 0, 0, 9, 9, 9, 9};
    const struct {
        size_t size;
        uint64_t offset;
    } rows[] = {{4, 0x12345678}, {2, 0x5678}, {8, 0x112345678}, {5, 7}, {12, 7}};
    for (const auto& row : rows)
        EXPECT_EQ(bookmarks::DecodeOffset(today, row.size, 7), row.offset) << row.size;
    EXPECT_EQ(bookmarks::CaretForWide(0x200000000, 0x100000010), 0x100000010u);
}
