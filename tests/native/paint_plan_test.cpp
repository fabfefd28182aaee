#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "hexedit/core/paint_plan.h"

using paintplan::Item;
using paintplan::Kind;
using paintplan::Role;

namespace {

constexpr int32_t kCw = 7;
constexpr int32_t kCh = 14;

std::vector<uint8_t> Counting(size_t n) {
    std::vector<uint8_t> bytes(n);
    std::iota(bytes.begin(), bytes.end(), uint8_t{0});
    return bytes;
}

// The standard view: 172 pixels high, so twelve rows of 14 pixels.
paintplan::Frame FrameOf(const std::vector<uint8_t>& bytes) {
    return {bytes.empty() ? nullptr : bytes.data(),
            static_cast<int32_t>(bytes.size()),
            0,
            2,
            -1,
            -1,
            8,
            kCw,
            kCh,
            66,
            236,
            172};
}

std::vector<Item> Plan(const paintplan::Frame& frame) {
    std::vector<Item> items;
    paintplan::PlanFrame(frame, items);
    return items;
}

std::vector<Item> OfKind(const std::vector<Item>& items, Kind kind) {
    std::vector<Item> out;
    for (const Item& item : items)
        if (item.kind == kind)
            out.push_back(item);
    return out;
}

// The hex item that draws byte `col` of visible row `row`.
const Item* HexByteAt(const std::vector<Item>& items, int32_t row, int32_t col) {
    for (const Item& item : items)
        if (item.kind == Kind::kHexByte && item.y == 3 + row * kCh && item.x == 66 + 3 * col * kCw)
            return &item;
    return nullptr;
}

} // namespace

TEST(PaintPlanRows, EmptyFileShowsOnlyTheFirstAddress) {
    const std::vector<uint8_t> none;
    const auto items = Plan(FrameOf(none));
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].kind, Kind::kAddress);
    EXPECT_EQ(items[0].role, Role::kAddress);
    EXPECT_EQ(items[0].Text(), "00000000");
    EXPECT_EQ(items[0].x, 1);
    EXPECT_EQ(items[0].y, 3);

    // A block left over with no bytes in it is still an empty file.
    const std::vector<uint8_t> leftover(4, 0x41);
    auto frame = FrameOf(leftover);
    frame.length = 0;
    EXPECT_EQ(Plan(frame).size(), 1u);
}

TEST(PaintPlanRows, TwentyBytesMakeThreeRows) {
    const auto bytes = Counting(20);
    const auto items = Plan(FrameOf(bytes));
    const auto addresses = OfKind(items, Kind::kAddress);
    ASSERT_EQ(addresses.size(), 3u);
    EXPECT_EQ(addresses[0].Text(), "00000000");
    EXPECT_EQ(addresses[1].Text(), "00000008");
    EXPECT_EQ(addresses[2].Text(), "00000010");
    EXPECT_EQ(addresses[2].y, 3 + 2 * kCh);

    const auto rows = OfKind(items, Kind::kHexRow);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].Text(), "00 01 02 03 04 05 06 07 ");
    EXPECT_EQ(rows[2].Text(), "10 11 12 13             ");
    EXPECT_EQ(rows[2].x, 66);
    EXPECT_EQ(OfKind(items, Kind::kTextByte).size(), 20u);
}

TEST(PaintPlanRows, NoAddressForTheRowOfTheEndPosition) {
    const auto bytes = Counting(16);
    const auto items = Plan(FrameOf(bytes));
    EXPECT_EQ(OfKind(items, Kind::kAddress).size(), 2u);
    EXPECT_EQ(OfKind(items, Kind::kHexRow).size(), 2u);
}

TEST(PaintPlanRows, OnlyWholeRowsOfTheClientAreDrawn) {
    const auto bytes = Counting(1000);
    auto frame = FrameOf(bytes);
    EXPECT_EQ(OfKind(Plan(frame), Kind::kAddress).size(), 12u);
    frame.clientHeight = 167; // 11 whole rows
    EXPECT_EQ(OfKind(Plan(frame), Kind::kAddress).size(), 11u);
    frame.clientHeight = 10; // not one whole row
    EXPECT_TRUE(Plan(frame).empty());
}

TEST(PaintPlanRows, AddressesFollowTheTopOffset) {
    const std::vector<uint8_t> bytes(0xAC00, 0x55);
    auto frame = FrameOf(bytes);
    frame.topOffset = 0xABC0;
    const auto addresses = OfKind(Plan(frame), Kind::kAddress);
    ASSERT_EQ(addresses.size(), 8u); // 64 bytes left: rows ABC0..ABF8
    EXPECT_EQ(addresses[0].Text(), "0000ABC0");
    EXPECT_EQ(addresses[7].Text(), "0000ABF8");
}

TEST(PaintPlanRows, TheLastRowsPast4GiBFromTheRowsShownWithUnreadableBytes) {
    const std::vector<uint8_t> shown = Counting(20); // the rows from the top offset only
    std::vector<uint8_t> unreadable(20, 0);
    unreadable[3] = unreadable[17] = 1;
    auto frame = FrameOf(shown);
    frame.length = 0x18FFFFFFFC; // three rows left, the last of four bytes
    frame.topOffset = frame.bufferStart = 0x18FFFFFFE8;
    frame.unreadable = unreadable.data();
    frame.addressDigits = 10;
    const auto items = Plan(frame);
    const auto addresses = OfKind(items, Kind::kAddress);
    ASSERT_EQ(addresses.size(), 3u);
    EXPECT_EQ(addresses[0].Text(), "18FFFFFFE8");
    EXPECT_EQ(addresses[2].Text(), "18FFFFFFF8");
    const auto hex = OfKind(items, Kind::kHexRow);
    EXPECT_EQ(hex[0].Text(), "00 01 02 ?? 04 05 06 07 ");
    EXPECT_EQ(hex[2].Text(), "10 ?? 12 13             ");
    EXPECT_EQ(OfKind(items, Kind::kTextByte)[17].Text(), "?");
}

TEST(PaintPlanRows, UnmeasuredFontDrawsNothing) {
    const auto bytes = Counting(20);
    auto frame = FrameOf(bytes);
    frame.charWidth = frame.charHeight = -1;
    EXPECT_TRUE(Plan(frame).empty());
}

// However long the file and the selection, one frame holds at most a screen of items.
TEST(PaintPlanRows, FrameSizeDoesNotDependOnTheFile) {
    const auto bytes = Counting(4 << 20);
    auto frame = FrameOf(bytes);
    frame.topOffset = 2 << 20;
    frame.selAnchor = 0;
    frame.selEnd = static_cast<int32_t>(bytes.size());
    EXPECT_EQ(Plan(frame).size(), 12u + 96u + 96u);
    frame.caretPane = 1;
    EXPECT_EQ(Plan(frame).size(), 12u + 12u + 96u);
}

TEST(PaintPlanText, ControlBytesAreSpacesOthersThemselves) {
    std::vector<uint8_t> bytes = {0x00, 0x09, 0x1F, 0x20, 0x41, 0x7F, 0xE9, 0xFF};
    const auto text = OfKind(Plan(FrameOf(bytes)), Kind::kTextByte);
    ASSERT_EQ(text.size(), 8u);
    const char expected[] = {' ', ' ', ' ', ' ', 'A', '\x7F', '\xE9', '\xFF'};
    for (size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(text[i].Text(), std::string(1, expected[i])) << i;
        EXPECT_EQ(text[i].x, 236 + static_cast<int32_t>(i) * kCw);
    }
}

TEST(PaintPlanColours, CaretPaneIsActiveOtherPaneGrey) {
    const auto bytes = Counting(20);
    auto frame = FrameOf(bytes);
    for (const Item& item : Plan(frame)) {
        if (item.kind == Kind::kHexRow) {
            EXPECT_EQ(item.role, Role::kActive);
        }
        if (item.kind == Kind::kTextByte) {
            EXPECT_EQ(item.role, Role::kInactive);
        }
    }
    frame.caretPane = 1;
    for (const Item& item : Plan(frame)) {
        if (item.kind == Kind::kHexRow) {
            EXPECT_EQ(item.role, Role::kInactive);
        }
        if (item.kind == Kind::kTextByte) {
            EXPECT_EQ(item.role, Role::kActive);
        }
    }
}

TEST(PaintPlanSelection, HexSelectionIsHighlightedOnlyInTheHexPane) {
    const auto bytes = Counting(20);
    auto frame = FrameOf(bytes);
    frame.selAnchor = 2;
    frame.selEnd = 5;
    const auto items = Plan(frame);
    EXPECT_TRUE(OfKind(items, Kind::kHexRow).empty());
    ASSERT_EQ(OfKind(items, Kind::kHexByte).size(), 20u);
    for (int col = 0; col < 8; ++col) {
        const Item* item = HexByteAt(items, 0, col);
        ASSERT_NE(item, nullptr) << col;
        const bool inside = col >= 2 && col <= 5;
        EXPECT_EQ(item->role, inside ? Role::kSelected : Role::kActive) << col;
    }
    EXPECT_EQ(HexByteAt(items, 0, 4)->Text(), "04 "); // the space between selected bytes too
    EXPECT_EQ(HexByteAt(items, 0, 5)->Text(), "05");  // never the space after the last one
    EXPECT_EQ(HexByteAt(items, 0, 6)->Text(), "06 ");
    for (const Item& item : OfKind(items, Kind::kTextByte))
        EXPECT_EQ(item.role, Role::kInactive);
}

TEST(PaintPlanSelection, NoHighlightAfterARowsLastByte) {
    const auto bytes = Counting(40);
    auto frame = FrameOf(bytes);
    frame.selAnchor = 11;
    frame.selEnd = 5; // anchor after the moving end: same bytes
    const auto items = Plan(frame);
    EXPECT_EQ(HexByteAt(items, 0, 6)->Text(), "06 ");
    EXPECT_EQ(HexByteAt(items, 0, 7)->Text(), "07");
    EXPECT_EQ(HexByteAt(items, 0, 7)->role, Role::kSelected);
    EXPECT_EQ(HexByteAt(items, 1, 0)->Text(), "08 ");
    EXPECT_EQ(HexByteAt(items, 1, 3)->Text(), "0B");
    EXPECT_EQ(HexByteAt(items, 1, 4)->role, Role::kActive);
    EXPECT_EQ(HexByteAt(items, 1, 7)->Text(), "0F "); // an unselected row end keeps its space
}

TEST(PaintPlanSelection, NoHighlightAfterTheFilesLastByte) {
    const auto bytes = Counting(20);
    auto frame = FrameOf(bytes);
    frame.selAnchor = 17;
    frame.selEnd = 20; // the end position: limited to the last byte
    const auto items = Plan(frame);
    ASSERT_EQ(OfKind(items, Kind::kHexByte).size(), 20u);
    EXPECT_EQ(HexByteAt(items, 2, 3)->Text(), "13");
    EXPECT_EQ(HexByteAt(items, 2, 3)->role, Role::kSelected);
    EXPECT_EQ(HexByteAt(items, 2, 4), nullptr);
}

TEST(PaintPlanSelection, SelectionOfOnlyTheEndPositionHighlightsNothing) {
    const auto bytes = Counting(20);
    auto frame = FrameOf(bytes);
    frame.selAnchor = frame.selEnd = 20;
    for (const Item& item : Plan(frame))
        EXPECT_NE(item.role, Role::kSelected);
}

TEST(PaintPlanSelection, StartingAboveTheViewHighlightsFromTheFirstVisibleByte) {
    const auto bytes = Counting(1000);
    auto frame = FrameOf(bytes);
    frame.topOffset = 64;
    frame.selAnchor = 50;
    frame.selEnd = 70;
    const auto items = Plan(frame);
    EXPECT_EQ(HexByteAt(items, 0, 0)->role, Role::kSelected);
    EXPECT_EQ(HexByteAt(items, 0, 0)->Text(), "40 ");
    EXPECT_EQ(HexByteAt(items, 0, 6)->Text(), "46");
    EXPECT_EQ(HexByteAt(items, 0, 7)->role, Role::kActive);
}

TEST(PaintPlanSelection, WhollyAboveTheViewShowsNoHighlight) {
    const auto bytes = Counting(1000);
    auto frame = FrameOf(bytes);
    frame.topOffset = 64;
    frame.selAnchor = 0;
    frame.selEnd = 63;
    for (const Item& item : Plan(frame))
        EXPECT_NE(item.role, Role::kSelected);
}

TEST(PaintPlanSelection, TextPaneSelectionLeavesTheHexPaneGrey) {
    const auto bytes = Counting(20);
    auto frame = FrameOf(bytes);
    frame.caretPane = 1;
    frame.selAnchor = 3;
    frame.selEnd = 9;
    const auto items = Plan(frame);
    for (const Item& item : OfKind(items, Kind::kHexRow))
        EXPECT_EQ(item.role, Role::kInactive);
    EXPECT_TRUE(OfKind(items, Kind::kHexByte).empty());
    const auto text = OfKind(items, Kind::kTextByte);
    ASSERT_EQ(text.size(), 20u);
    for (size_t i = 0; i < text.size(); ++i)
        EXPECT_EQ(text[i].role, i >= 3 && i <= 9 ? Role::kSelected : Role::kActive) << i;
}

TEST(PaintPlanSelection, HalfMadeSelectionShowsNothing) {
    const auto bytes = Counting(20);
    auto frame = FrameOf(bytes);
    frame.selAnchor = 4;
    frame.selEnd = -1;
    for (const Item& item : Plan(frame))
        EXPECT_NE(item.role, Role::kSelected);
}
