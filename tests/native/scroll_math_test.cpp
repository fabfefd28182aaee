#include <gtest/gtest.h>

#include <climits>
#include <utility>

#include "hexedit/core/scroll_math.h"

using scroll::Rows;

namespace {

int32_t After(int code, int32_t top, const Rows& rows, int32_t track = 0) {
    int32_t next = -12345;
    EXPECT_TRUE(scroll::ScrollTop(code, top, rows, track, next)) << "code " << code;
    return next;
}

// Repeats a request until the top stops moving; fails on a runaway.
int32_t Settle(int code, const Rows& rows) {
    int32_t top = 0;
    for (int i = 0; i < 100000; ++i) {
        const int32_t next = After(code, top, rows);
        if (next == top)
            return top;
        top = next;
    }
    ADD_FAILURE() << "no resting point";
    return top;
}

} // namespace

TEST(ScrollMathBottom, EndRowIsTheLastRowShown) {
    EXPECT_EQ(scroll::BottomTop({100, 5, 8}), 64); // rows 64..96, end position 100 in row 96
    EXPECT_EQ(scroll::BottomTop({96, 5, 8}), 64);  // end position 96 starts the last row
    EXPECT_EQ(scroll::BottomTop({40, 5, 8}), 8);   // 40 bytes need a sixth row for the end
    EXPECT_EQ(scroll::BottomTop({39, 5, 8}), 0);
}

TEST(ScrollMathBottom, NeverNegativeForShortFiles) {
    EXPECT_EQ(scroll::BottomTop({0, 5, 8}), 0);
    EXPECT_EQ(scroll::BottomTop({1, 12, 8}), 0);
    EXPECT_EQ(scroll::BottomTop({20, 12, 8}), 0);
    EXPECT_EQ(scroll::BottomTop({20, 0, 8}), 24); // no whole row fits: the end row alone
}

TEST(ScrollMathBottom, LargestFileDoesNotOverflow) {
    const int32_t top = scroll::BottomTop({INT32_MAX, 12, 8});
    EXPECT_EQ(top % 8, 0);
    EXPECT_EQ(top, (INT32_MAX / 8 - 11) * 8);
}

TEST(ScrollMathCodes, LineUpAndDown) {
    const Rows rows{100, 5, 8};
    EXPECT_EQ(After(scroll::kLineUp, 16, rows), 8);
    EXPECT_EQ(After(scroll::kLineUp, 0, rows), 0);
    EXPECT_EQ(After(scroll::kLineDown, 0, rows), 8);
    EXPECT_EQ(After(scroll::kLineDown, 56, rows), 64);
    EXPECT_EQ(After(scroll::kLineDown, 64, rows), 64); // already at the bottom
}

TEST(ScrollMathCodes, PageUpAndDown) {
    const Rows rows{100, 5, 8};
    EXPECT_EQ(After(scroll::kPageDown, 0, rows), 40);
    EXPECT_EQ(After(scroll::kPageDown, 40, rows), 64); // would pass the end: bottom instead
    EXPECT_EQ(After(scroll::kPageDown, 64, rows), 64);
    EXPECT_EQ(After(scroll::kPageUp, 64, rows), 24);
    EXPECT_EQ(After(scroll::kPageUp, 24, rows), 0); // not below zero
    EXPECT_EQ(After(scroll::kPageUp, 0, rows), 0);
}

TEST(ScrollMathCodes, ThumbTrackTopAndBottom) {
    const Rows rows{100, 5, 8};
    EXPECT_EQ(After(scroll::kThumbTrack, 0, rows, 3), 24);
    EXPECT_EQ(After(scroll::kThumbTrack, 40, rows, -2), 0);
    EXPECT_EQ(After(scroll::kTop, 40, rows), 0);
    EXPECT_EQ(After(scroll::kBottom, 0, rows), 64);
}

TEST(ScrollMathCodes, ThumbPositionAndUnknownCodesDoNothing) {
    const Rows rows{100, 5, 8};
    for (int code : {int{scroll::kThumbPosition}, 8, -1, 100}) {
        int32_t next = 777;
        EXPECT_FALSE(scroll::ScrollTop(code, 16, rows, 3, next)) << code;
        EXPECT_EQ(next, 777) << code;
    }
}

TEST(ScrollMathCodes, ShortFileNeverScrollsDown) {
    const Rows rows{20, 12, 8};
    EXPECT_EQ(After(scroll::kLineDown, 0, rows), 0);
    EXPECT_EQ(After(scroll::kPageDown, 0, rows), 0);
    EXPECT_EQ(After(scroll::kBottom, 0, rows), 0);
}

// Every way of scrolling down must come to rest exactly where the bottom request goes, and
// the scroll bar must then report the same row (the platform clamps its position).
TEST(ScrollMathCodes, DownwardRequestsRestAtBottomAndAgreeWithBar) {
    for (int32_t length = 0; length <= 300; ++length) {
        for (int32_t visible = 1; visible <= 13; ++visible) {
            const Rows rows{length, visible, 8};
            const int32_t bottom = scroll::BottomTop(rows);
            ASSERT_EQ(Settle(scroll::kLineDown, rows), bottom) << length << " " << visible;
            ASSERT_EQ(Settle(scroll::kPageDown, rows), bottom) << length << " " << visible;
            const auto bar = scroll::ScrollBarFor(bottom, rows);
            ASSERT_EQ(scroll::ClampedBarPosition(bar.position, bar.maximum, bar.page), bottom / 8)
                << length << " " << visible;
        }
    }
}

TEST(ScrollMathBar, RangeCountsTheEndRow) {
    const auto bar = scroll::ScrollBarFor(24, {100, 5, 8});
    EXPECT_EQ(bar.maximum, 12);
    EXPECT_EQ(bar.page, 5);
    EXPECT_EQ(bar.position, 3);
    EXPECT_EQ(scroll::ScrollBarFor(0, {16, 5, 8}).maximum, 2); // row of offset 16
    EXPECT_EQ(scroll::ClampedBarPosition(20, 12, 5), 8);
    EXPECT_EQ(scroll::ClampedBarPosition(-3, 12, 5), 0);
    EXPECT_EQ(scroll::ClampedBarPosition(1, 2, 12), 0);
}

TEST(ScrollMathEnsureVisible, VisibleOffsetKeepsTheTop) {
    const Rows rows{2000, 12, 8};
    EXPECT_EQ(scroll::EnsureVisibleTop(400, 400, rows), 400);
    EXPECT_EQ(scroll::EnsureVisibleTop(495, 400, rows), 400); // last byte of the last row
}

TEST(ScrollMathEnsureVisible, OffsetBelowLandsAThirdOfAPageDown) {
    const Rows rows{2000, 12, 8};
    const int32_t top = scroll::EnsureVisibleTop(496, 400, rows); // first byte below the view
    EXPECT_EQ(top, 8 * (62 - 4));
    EXPECT_EQ((496 - top) / 8, 12 / 3);
}

TEST(ScrollMathEnsureVisible, NearTheEndShowsTheEndRowLast) {
    const Rows rows{2000, 12, 8};
    EXPECT_EQ(scroll::EnsureVisibleTop(1999, 0, rows), scroll::BottomTop(rows));
    EXPECT_EQ(scroll::EnsureVisibleTop(2000, 0, rows), scroll::BottomTop(rows));
}

TEST(ScrollMathEnsureVisible, OffsetAboveNeverGoesBelowZero) {
    const Rows rows{2000, 12, 8};
    EXPECT_EQ(scroll::EnsureVisibleTop(8, 400, rows), 0);
    EXPECT_EQ(scroll::EnsureVisibleTop(200, 400, rows), 8 * (25 - 4));
}

TEST(ScrollMathCaret, CellPerPane) {
    const Rows rows{100, 5, 8};
    const auto layout = scroll::ColumnsFor(7, 14, 8);
    EXPECT_EQ(layout.hexColumnX, 66);
    EXPECT_EQ(layout.textColumnX, 236);
    const auto wide = scroll::ColumnsFor(7, 14, 8, 10); // ten address digits: two cells more
    EXPECT_EQ(std::make_pair(wide.hexColumnX, wide.textColumnX), std::make_pair(80, 250));
    // Offset 19 with top 8: row 1, column 3.
    auto c = scroll::CaretCellFor(19, 2, 8, rows, layout);
    EXPECT_TRUE(c.visible);
    EXPECT_EQ(c.x, 66 + 9 * 7);
    EXPECT_EQ(c.y, 14 + 3);
    c = scroll::CaretCellFor(19, 3, 8, rows, layout);
    EXPECT_EQ(c.x, 66 + 10 * 7);
    c = scroll::CaretCellFor(19, 1, 8, rows, layout);
    EXPECT_EQ(c.x, 236 + 3 * 7);
}

TEST(ScrollMathCaret, OutsideTheRowsIsNotVisible) {
    const Rows rows{100, 5, 8};
    const auto layout = scroll::ColumnsFor(7, 14, 8);
    EXPECT_FALSE(scroll::CaretCellFor(7, 2, 8, rows, layout).visible);  // just above
    EXPECT_FALSE(scroll::CaretCellFor(0, 2, 8, rows, layout).visible);  // a row above
    EXPECT_FALSE(scroll::CaretCellFor(48, 2, 8, rows, layout).visible); // just below
    EXPECT_TRUE(scroll::CaretCellFor(47, 2, 8, rows, layout).visible);
    const auto end = scroll::CaretCellFor(100, 2, 64, rows, layout); // end position, last row
    EXPECT_TRUE(end.visible);
    EXPECT_EQ(end.y, 4 * 14 + 3);
    EXPECT_EQ(end.x, 66 + 3 * 4 * 7);
}

TEST(ScrollMathCaret, WidthPerMode) {
    EXPECT_EQ(scroll::CaretWidth(7, true), 7);
    EXPECT_EQ(scroll::CaretWidth(7, false), 1);
    EXPECT_EQ(scroll::CaretWidth(16, false), 3);
}
