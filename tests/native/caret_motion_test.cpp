// Caret movement, view following and the selection primitives, through the keys that use them.
#include <gtest/gtest.h>

#include <climits>
#include <numeric>

#include "tests/support/model_editor.h"

namespace {
namespace k = editing::keys;
constexpr int kHigh = kHexHigh;
constexpr int kLow = kHexLow;
constexpr int kText = kTextPane;

std::vector<uint8_t> Counting(int n) {
    std::vector<uint8_t> bytes(static_cast<size_t>(n));
    std::iota(bytes.begin(), bytes.end(), 0);
    return bytes;
}

void Expect(const ModelEditor& e, int32_t offset, int32_t pane) {
    EXPECT_EQ(e.caretOffset, offset);
    EXPECT_EQ(e.caretPane, pane);
}

// The view shows the caret's row and stays on a row boundary.
void ExpectCaretShown(const ModelEditor& e) {
    EXPECT_EQ(e.topOffset % e.bytesPerRow, 0);
    EXPECT_GE(e.topOffset, 0);
    EXPECT_LE(e.topOffset, e.caretOffset);
    EXPECT_LT(e.caretOffset, int64_t{e.topOffset} + e.visibleRows * e.bytesPerRow);
    EXPECT_TRUE(e.caretInView);
    EXPECT_EQ(e.lastPlaced, e.caretOffset);
}
} // namespace

TEST(CaretMotion, LeftAtOffsetZero) {
    ModelEditor e(Counting(4));
    e.Key(k::kLeft);
    Expect(e, 0, kHigh);
    e.caretPane = kLow;
    e.Key(k::kLeft);
    Expect(e, 0, kHigh);
    e.caretPane = kText;
    e.Key(k::kLeft);
    Expect(e, 0, kText);
}

TEST(CaretMotion, RightOnEndPositionGoesToItsLowDigitAndStays) {
    ModelEditor e(Counting(3));
    e.caretOffset = 3;
    e.Key(k::kRight);
    Expect(e, 3, kLow);
    e.Key(k::kRight);
    Expect(e, 3, kLow);
    e.Key(k::kDown);
    Expect(e, 3, kLow);
    e.Key(k::kLeft);
    Expect(e, 3, kHigh);
}

TEST(CaretMotion, TextPaneRightOnEndPositionStays) {
    ModelEditor e(Counting(3));
    e.caretPane = kText;
    e.caretOffset = 3;
    e.Key(k::kRight);
    Expect(e, 3, kText);
}

TEST(CaretMotion, UpOnFirstRowStaysDownWithoutByteBelowGoesToEnd) {
    ModelEditor e(Counting(12));
    e.caretOffset = 5;
    e.caretPane = kLow;
    e.Key(k::kUp);
    Expect(e, 5, kLow);
    e.Key(k::kDown);
    Expect(e, 12, kLow);
}

TEST(CaretMotion, PageUpInsideFirstPageKeepsTheColumn) {
    ModelEditor e(Counting(100));
    e.caretOffset = 19; // row 2, column 3
    e.Key(k::kPageUp);
    Expect(e, 3, kHigh);
    ExpectCaretShown(e);
}

TEST(CaretMotion, PageUpWithOneRowOnTheFirstRowStays) {
    ModelEditor e(Counting(100));
    e.visibleRows = 1;
    e.UpdateScrollBar();
    e.caretOffset = 6;
    e.Key(k::kPageUp);
    Expect(e, 6, kHigh);
}

TEST(CaretMotion, PageDownScrollsAndNearTheEndReachesTheEndPosition) {
    ModelEditor e(Counting(100));
    e.caretOffset = 2;
    e.Key(k::kPageDown);
    Expect(e, 42, kHigh);
    EXPECT_EQ(e.topOffset, 40);
    ExpectCaretShown(e);
    e.Key(k::kPageDown);
    e.Key(k::kPageDown);
    Expect(e, 100, kHigh);
    ExpectCaretShown(e);
}

TEST(CaretMotion, PageDownNearTheLargestLengthDoesNotWrap) {
    ModelEditor e;
    uint8_t stand_in = 0; // never read: only moves and scrolls
    e.buffer = &stand_in;
    e.length = INT32_MAX - 3;
    e.caretOffset = e.length - 2;
    e.topOffset = (e.length / 8 - 2) * 8;
    e.UpdateScrollBar();
    e.Key(k::kPageDown);
    EXPECT_EQ(e.caretOffset, e.length);
    ExpectCaretShown(e);
    e.Key(k::kEnd);
    EXPECT_EQ(e.caretOffset, e.length);
    e.buffer = nullptr;
}

TEST(CaretMotion, HomeAndEndOfRow) {
    ModelEditor e(Counting(20));
    e.caretOffset = 10;
    e.caretPane = kLow;
    e.Key(k::kHome);
    Expect(e, 8, kHigh);
    e.Key(k::kEnd);
    Expect(e, 15, kLow);
    e.Key(k::kDown); // onto the last, partial row
    e.Key(k::kEnd);
    Expect(e, 20, kLow);
}

TEST(CaretMotion, CtrlHomeAndCtrlEndFollowTheView) {
    ModelEditor e(Counting(1000));
    e.Key(k::kEnd, false, true);
    Expect(e, 1000, kLow);
    ExpectCaretShown(e);
    EXPECT_EQ(e.topOffset, scroll::BottomTop(e.RowsNow()));
    e.Key(k::kHome, false, true);
    Expect(e, 0, kHigh);
    EXPECT_EQ(e.topOffset, 0);
    ExpectCaretShown(e);
}

TEST(CaretMotion, AHundredGiBFileReadOnDemandMovesByExactRowsAndPages) {
    LargeModel m;
    ModelEditor& e = m.e;
    e.Key(k::kEnd, false, true);
    EXPECT_EQ(e.caretOffset, 107374182400);
    EXPECT_EQ(e.topOffset, 107374182368); // the end position's row is the last one shown
    EXPECT_EQ(e.barPosition, 0x3FFFFFFF); // the bar's bottom
    ExpectCaretShown(e);
    e.Key(k::kPageUp);
    EXPECT_EQ(e.caretOffset, 107374182360);
    EXPECT_EQ(e.topOffset, 107374182328);
    e.Key(k::kLeft);
    e.Key(k::kUp);
    EXPECT_EQ(e.caretOffset, 107374182352);
    ExpectCaretShown(e);
    e.Key(k::kHome, false, true);
    EXPECT_EQ(e.caretOffset, 0);
    EXPECT_EQ(e.barPosition, 0);
}

TEST(CaretMotion, DownPastTheLastVisibleRowScrollsOneRow) {
    ModelEditor e(Counting(100));
    for (int i = 0; i < 5; ++i)
        e.Key(k::kDown);
    EXPECT_EQ(e.caretOffset, 40);
    EXPECT_EQ(e.topOffset, 8);
    ExpectCaretShown(e);
    for (int i = 0; i < 5; ++i)
        e.Key(k::kUp);
    EXPECT_EQ(e.topOffset, 0);
    ExpectCaretShown(e);
}

TEST(CaretMotion, EmptyBufferKeepsCaretAtZero) {
    ModelEditor e;
    for (int key : {k::kRight, k::kRight, k::kDown, k::kPageDown, k::kEnd, k::kPageUp})
        e.Key(key);
    EXPECT_EQ(e.caretOffset, 0);
    EXPECT_EQ(e.topOffset, 0);
}

TEST(Selection, ShiftRightFromHighDigitSelectsTheByteUnderTheCaret) {
    ModelEditor e(Counting(4));
    e.caretOffset = 1;
    e.Key(k::kRight, true);
    EXPECT_EQ(e.selAnchor, 1);
    EXPECT_EQ(e.selEnd, 1);
    EXPECT_EQ(e.SelectionLength(), 1);
}

TEST(Selection, ShiftRightOnTheEndPositionIsEmpty) {
    ModelEditor e(Counting(4));
    e.caretOffset = 4;
    e.Key(k::kRight, true);
    EXPECT_EQ(e.selAnchor, 4);
    EXPECT_EQ(e.selEnd, 4);
    EXPECT_EQ(e.SelectionLength(), 0);
}

TEST(Selection, ShiftMovesStretchOneSelectionAndAPlainMoveEndsIt) {
    ModelEditor e(Counting(40));
    e.caretOffset = 3;
    e.Key(k::kDown, true);
    e.Key(k::kDown, true);
    EXPECT_EQ(e.selAnchor, 3);
    EXPECT_EQ(e.selEnd, 19);
    EXPECT_EQ(e.SelectionLength(), 17);
    e.Key(k::kUp, true);
    e.Key(k::kUp, true);
    e.Key(k::kUp, true); // stays on the first row: the selection shrinks back to one byte
    EXPECT_EQ(e.selAnchor, 3);
    EXPECT_EQ(e.selEnd, 3);
    const int before = e.invalidations;
    e.Key(k::kLeft);
    EXPECT_EQ(e.selAnchor, -1);
    EXPECT_EQ(e.selEnd, -1);
    EXPECT_GT(e.invalidations, before);
}

TEST(Selection, ShiftCtrlEndSelectsToTheEnd) {
    ModelEditor e(Counting(30));
    e.caretOffset = 10;
    e.Key(k::kEnd, true, true);
    EXPECT_EQ(e.selAnchor, 10);
    EXPECT_EQ(e.selEnd, 30);
    EXPECT_EQ(e.SelectionLength(), 20);
}

TEST(Selection, LengthLimitsTheLargerEndToTheLastByte) {
    ModelEditor e(Counting(10));
    e.SetSelection(10, 4);
    EXPECT_EQ(e.SelectionLength(), 6);
    e.SetSelection(-1, -1);
    EXPECT_EQ(e.SelectionLength(), 0);
}

TEST(Selection, SelectAllOnEmptyBufferDoesNothing) {
    ModelEditor e;
    e.Key('A', false, true);
    EXPECT_EQ(e.selAnchor, -1);
    EXPECT_EQ(e.selEnd, -1);
    EXPECT_EQ(e.caretOffset, 0);
}

TEST(Selection, SelectAllOnOneByte) {
    ModelEditor e(Counting(1));
    e.Key('A', false, true);
    EXPECT_EQ(e.selAnchor, 0);
    EXPECT_EQ(e.selEnd, 0);
    EXPECT_EQ(e.SelectionLength(), 1);
    Expect(e, 0, kLow);
}

TEST(Selection, SelectAllPutsTheCaretOnTheLastByteInView) {
    ModelEditor e(Counting(1000));
    e.caretPane = kText;
    e.Key('A', true, true);
    EXPECT_EQ(e.SelectionLength(), 1000);
    Expect(e, 999, kText);
    ExpectCaretShown(e);
}
