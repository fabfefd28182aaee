#include <gtest/gtest.h>

#include <tuple>

#include "hexedit/core/hit_test.h"

namespace {

constexpr int32_t kCh = 15;

// The standard view: 7-pixel cells, so the hex column starts at 66 and the text column at 236.
hit::View View(int32_t length, int32_t top = 0) {
    return {length, top, 5, 8, 7, kCh, 66, 236};
}

struct Hit {
    hit::Point point;
    int32_t offset;
    int32_t pane;
};

// A hit from a caret that stands at offset 5 in the text pane, so any change shows.
Hit At(int32_t x, int32_t y, const hit::View& view) {
    Hit h{{}, 5, 1};
    h.point = hit::HitTest(x, y, view, h.offset, h.pane);
    return h;
}

int32_t RowY(int32_t row) {
    return row * kCh + 4;
}

} // namespace

TEST(HitTestColumns, WideAddressesMoveThePanesAndOffsetsStay64Bit) {
    // 100 GiB, the last rows: ten address digits put the hex pane at 80, the text pane at 250.
    const hit::View view{0x1900000000, 0x18FFFFFFE0, 5, 8, 7, kCh, 80, 250};
    int64_t offset = 5;
    int32_t pane = 1;
    EXPECT_EQ(hit::HitTest(72, RowY(0), view, offset, pane).x, hit::kAddressColumn);
    EXPECT_EQ(offset, 5);
    const hit::Point hex = hit::HitTest(80 + 3 * 7, RowY(1), view, offset, pane);
    EXPECT_EQ(std::make_tuple(hex.x, offset, pane), std::make_tuple(101, 0x18FFFFFFE9, 2));
    hit::HitTest(250 + 7 * 7, RowY(3), view, offset, pane);
    EXPECT_EQ(std::make_tuple(offset, pane), std::make_tuple(0x18FFFFFFFF, 1));
    hit::HitTest(250, RowY(4), view, offset, pane); // the end position's row
    EXPECT_EQ(offset, 0x1900000000);
}

TEST(HitTestColumns, AddressColumnUpToOneCellBeforeHex) {
    for (int32_t x : {-5, 0, 1, 30, 59}) {
        const Hit h = At(x, RowY(0), View(100));
        EXPECT_EQ(h.point.x, hit::kAddressColumn) << x;
        EXPECT_EQ(h.point.y, -1);
        EXPECT_EQ(h.offset, 5) << "the caret must not move";
        EXPECT_EQ(h.pane, 1);
    }
}

TEST(HitTestColumns, BandBeforeHexHitsNothing) {
    for (int32_t x : {60, 61, 62}) {
        const Hit h = At(x, RowY(0), View(100));
        EXPECT_EQ(h.point.x, -1) << x;
        EXPECT_EQ(h.offset, 5);
        EXPECT_EQ(h.pane, 1);
    }
}

TEST(HitTestColumns, HexPaneBoundaries) {
    Hit h = At(63, RowY(0), View(100));
    EXPECT_EQ(h.offset, 0);
    EXPECT_EQ(h.pane, 2);
    EXPECT_EQ(h.point.x, 66);
    EXPECT_EQ(h.point.y, 3);

    h = At(80, RowY(0), View(100)); // space after byte 0, left part
    EXPECT_EQ(h.offset, 0);
    EXPECT_EQ(h.pane, 3);
    EXPECT_EQ(h.point.x, 73);

    h = At(84, RowY(0), View(100)); // space after byte 0, right part
    EXPECT_EQ(h.offset, 1);
    EXPECT_EQ(h.pane, 2);
    EXPECT_EQ(h.point.x, 87);

    h = At(233, RowY(0), View(100)); // space after the row's last byte
    EXPECT_EQ(h.offset, 7);
    EXPECT_EQ(h.pane, 3);
    EXPECT_EQ(h.point.x, 66 + 22 * 7);
}

TEST(HitTestColumns, TextPaneFromHalfACellBeforeItWithoutRightLimit) {
    Hit h = At(234, RowY(0), View(100));
    EXPECT_EQ(h.offset, 0);
    EXPECT_EQ(h.pane, 1);
    EXPECT_EQ(h.point.x, 236);
    h = At(236 + 3 * 7 + 6, RowY(1), View(100));
    EXPECT_EQ(h.offset, 11);
    EXPECT_EQ(h.point.x, 236 + 21);
    EXPECT_EQ(h.point.y, kCh + 3);
    h = At(5000, RowY(1), View(100));
    EXPECT_EQ(h.offset, 15);
    EXPECT_EQ(h.point.x, 236 + 49);
}

// Sweeping the hex pane left to right visits all sixteen digit cells in order, each returned
// pixel being the cell's own left edge.
TEST(HitTestColumns, HexSweepVisitsEveryDigitInOrder) {
    int32_t previous = -1;
    for (int32_t x = 63; x <= 233; ++x) {
        const Hit h = At(x, RowY(0), View(100));
        ASSERT_GE(h.point.x, 0) << x;
        const int32_t digit = 2 * h.offset + (h.pane == 3 ? 1 : 0);
        ASSERT_GE(digit, previous) << x;
        ASSERT_LE(digit - previous, 1) << x;
        ASSERT_EQ(h.point.x, 66 + (3 * h.offset + (h.pane == 3 ? 1 : 0)) * 7) << x;
        previous = digit;
    }
    EXPECT_EQ(previous, 15);
}

TEST(HitTestRows, RowFromTopOffset) {
    const Hit h = At(66, RowY(2), View(100, 16));
    EXPECT_EQ(h.offset, 32);
    EXPECT_EQ(h.point.y, 2 * kCh + 3);
}

TEST(HitTestRows, OutsideTheVisibleRowsChangesNothing) {
    for (int32_t y : {-kCh - 1, 5 * kCh, 5 * kCh + 7, 10000}) {
        const Hit h = At(100, y, View(100));
        EXPECT_EQ(h.point.x, -1) << y;
        EXPECT_EQ(h.offset, 5) << y;
        EXPECT_EQ(h.pane, 1) << y;
    }
}

TEST(HitTestEnd, PastTheLastByteInHexClampsToTheEndOnTheLowDigit) {
    // 20 bytes: the third row holds 16..19 and the end position 20.
    Hit h = At(66 + 3 * 3 * 7, RowY(2), View(20)); // byte 19
    EXPECT_EQ(h.offset, 19);
    EXPECT_GE(h.point.x, 0);
    h = At(66 + 3 * 4 * 7, RowY(2), View(20)); // the end position itself is a cell
    EXPECT_EQ(h.offset, 20);
    EXPECT_EQ(h.pane, 2);
    EXPECT_EQ(h.point.x, 66 + 12 * 7);
    h = At(66 + 3 * 6 * 7, RowY(2), View(20));
    EXPECT_EQ(h.offset, 20);
    EXPECT_EQ(h.pane, 3);
    EXPECT_EQ(h.point.x, -1);
}

TEST(HitTestEnd, PastTheLastByteInTextKeepsTheTextPane) {
    const Hit h = At(236 + 6 * 7, RowY(2), View(20));
    EXPECT_EQ(h.offset, 20);
    EXPECT_EQ(h.pane, 1);
    EXPECT_EQ(h.point.x, -1);
}

TEST(HitTestEnd, RowBelowTheEndRowChangesNothing) {
    const Hit h = At(100, RowY(3), View(20));
    EXPECT_EQ(h.point.x, -1);
    EXPECT_EQ(h.offset, 5);
    EXPECT_EQ(h.pane, 1);
}

TEST(HitTestEnd, EndPositionStartingARowIsClickable) {
    // 16 bytes: the third row holds only the end position.
    const Hit h = At(66, RowY(2), View(16));
    EXPECT_EQ(h.offset, 16);
    EXPECT_EQ(h.pane, 2);
    EXPECT_EQ(h.point.x, 66);
}

TEST(HitTestEnd, AddressColumnBelowTheEndIsNotTheAddressColumn) {
    const Hit h = At(10, RowY(3), View(20));
    EXPECT_EQ(h.point.x, -1);
}

TEST(HitTestUnmeasured, NoCellsBeforeTheFontIsMeasured) {
    hit::View view = View(100);
    view.charWidth = -1;
    view.charHeight = -1;
    for (int32_t x : {0, 10, 66, 100, 240}) {
        const Hit h = At(x, 0, view);
        EXPECT_EQ(h.point.x, -1) << x;
        EXPECT_EQ(h.offset, 5);
        EXPECT_EQ(h.pane, 1);
    }
}

TEST(HitTestDrag, AboveCountsAsTheFirstRowAndScrollsUp) {
    const hit::DragStep step = hit::DragPointer(-30, 172, 12, 14);
    EXPECT_EQ(step.scroll, -1);
    EXPECT_EQ(step.y, 0);
}

// 172 pixels hold 12 whole rows of 14 and 4 pixels of a thirteenth, which no hit may land on.
TEST(HitTestDrag, BelowCountsAsTheLastWholeRowAndScrollsDown) {
    hit::DragStep step = hit::DragPointer(200, 172, 12, 14);
    EXPECT_EQ(step.scroll, 1);
    EXPECT_EQ(step.y, 167);
    EXPECT_EQ(step.y / 14, 11);
    step = hit::DragPointer(173, 168, 12, 14);
    EXPECT_EQ(step.y, 167);
    step = hit::DragPointer(50, 10, 0, 14); // not one whole row
    EXPECT_EQ(step.scroll, 1);
    EXPECT_EQ(step.y, 0);
}

TEST(HitTestDrag, InsideOrOnTheBottomEdgeNothingChanges) {
    for (int32_t y : {0, 100, 171, 172}) {
        const hit::DragStep step = hit::DragPointer(y, 172, 12, 14);
        EXPECT_EQ(step.scroll, 0) << y;
        EXPECT_EQ(step.y, y) << y;
    }
}
