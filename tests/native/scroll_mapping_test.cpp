// The scroll bar over files of any size: rows as for small files up to the bar's limit, evenly
// spread positions beyond it, exact line and page steps.
#include <gtest/gtest.h>

#include <tuple>

#include "hexedit/core/scroll_mapping.h"

using scroll::WideRows;

namespace {

const WideRows k100GiB{0x1900000000, 10, 16}; // rows 0 .. 0x190000000
constexpr uint64_t kBottom = 0x18FFFFFF70;    // the end position's row is the tenth shown

uint64_t After(int code, uint64_t top, int32_t track = 0) {
    uint64_t next = 12345;
    EXPECT_TRUE(scroll::ScrollTop(code, top, k100GiB, track, next)) << code;
    return next;
}

std::tuple<int32_t, int32_t, int32_t> Bar(const scroll::ScrollBarSettings& bar) {
    return {bar.maximum, bar.page, bar.position};
}

} // namespace

TEST(ScrollMapping, RowsUpToTheBarsLimitThenSpreadPositionsWhoseBottomShowsTheLastRow) {
    EXPECT_EQ(Bar(scroll::ScrollBarFor(48, WideRows{1000, 10, 16})), std::make_tuple(62, 10, 3));
    EXPECT_EQ(scroll::BottomTop(k100GiB), kBottom);
    EXPECT_EQ(Bar(scroll::ScrollBarFor(0, k100GiB)), std::make_tuple(0x3FFFFFFF, 1, 0));
    EXPECT_EQ(scroll::ScrollBarFor(kBottom, k100GiB).position, 0x3FFFFFFF);
    EXPECT_EQ(scroll::ScrollBarFor(0, WideRows{0x10000000000, 10, 16}).page, 1); // never 0
    EXPECT_EQ(After(scroll::kThumbTrack, 0, 0x3FFFFFFF), kBottom);
    EXPECT_EQ(After(scroll::kThumbTrack, 0, 0x20000000), 0xC7FFFFFE0u);
    EXPECT_EQ(After(scroll::kThumbTrack, kBottom, -3), 0u);
    // A top between positions stands at the position of the row above it.
    EXPECT_EQ(scroll::ScrollBarFor(0xC7FFFFFB0, k100GiB).position, 0x1FFFFFFF);
    EXPECT_EQ(scroll::TopForBarPosition(0x1FFFFFFF, k100GiB), 0xC7FFFFF80u);
}

TEST(ScrollMapping, StepsMoveRowsExactly) {
    EXPECT_EQ(After(scroll::kLineDown, 0x123456780), 0x123456790u);
    EXPECT_EQ(After(scroll::kLineUp, 0x123456780), 0x123456770u);
    EXPECT_EQ(After(scroll::kPageDown, 0x123456780), 0x123456820u);
    EXPECT_EQ(After(scroll::kPageUp, 0x123456780), 0x1234566E0u);
    EXPECT_EQ(After(scroll::kPageDown, kBottom - 32), kBottom);
    EXPECT_EQ(After(scroll::kLineDown, kBottom), kBottom);
    EXPECT_EQ(After(scroll::kPageUp, 32), 0u);
    EXPECT_EQ(After(scroll::kBottom, 0), kBottom);
    EXPECT_EQ(After(scroll::kTop, kBottom), 0u);
    // An offset out of view comes in a third of a page below the top.
    EXPECT_EQ(scroll::EnsureVisibleTop(0x100000005, 0, k100GiB), 0xFFFFFFD0u);
    EXPECT_EQ(scroll::EnsureVisibleTop(0x100000005, 0xFFFFFFD0, k100GiB), 0xFFFFFFD0u);
    EXPECT_EQ(scroll::EnsureVisibleTop(0x18FFFFFFFF, 0, k100GiB), kBottom);
    uint64_t unchanged = 7;
    EXPECT_FALSE(scroll::ScrollTop(scroll::kThumbPosition, 0, k100GiB, 0, unchanged));
}
