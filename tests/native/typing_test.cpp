// Typing in both panes, insert and overwrite, deletions, and what happens when the buffer
// cannot grow or shrink.
#include <gtest/gtest.h>

#include "hexedit/core/go_to_edit_bits.h"
#include "tests/support/model_editor.h"

namespace {
namespace k = editing::keys;
using Bytes = std::vector<uint8_t>;
constexpr int kHigh = kHexHigh;
constexpr int kLow = kHexLow;
constexpr int kText = kTextPane;

const Bytes kAbc{0x61, 0x62, 0x63};

void Expect(const ModelEditor& e, const Bytes& bytes, int32_t offset, int32_t pane) {
    EXPECT_EQ(e.Bytes(), bytes);
    EXPECT_EQ(e.length, static_cast<int32_t>(bytes.size()));
    EXPECT_EQ(e.caretOffset, offset);
    EXPECT_EQ(e.caretPane, pane);
}

struct AllocationsSucceedAgain {
    ~AllocationsSucceedAgain() { FailNextAllocations(0); }
};
} // namespace

TEST(TypingHex, OverwriteReplacesOneNibbleAtATime) {
    ModelEditor e(kAbc);
    e.Type("4");
    Expect(e, {0x41, 0x62, 0x63}, 0, kLow);
    e.Type("F");
    Expect(e, {0x4F, 0x62, 0x63}, 1, kHigh);
    EXPECT_EQ(e.modified, 1);
}

TEST(TypingHex, OverwriteOnTheEndPositionAppends) {
    ModelEditor e(kAbc);
    e.caretOffset = 3;
    e.Type("7");
    Expect(e, {0x61, 0x62, 0x63, 0x70}, 3, kLow);
    e.Type("f");
    Expect(e, {0x61, 0x62, 0x63, 0x7F}, 4, kHigh);
}

TEST(TypingHex, LowDigitOfTheEndPositionAppendsALowByte) {
    ModelEditor e(kAbc);
    e.Key(k::kEnd, false, true);
    e.Type("d");
    Expect(e, {0x61, 0x62, 0x63, 0x0D}, 4, kHigh);
}

TEST(TypingHex, InsertModeTwoDigitsInsertOneByte) {
    ModelEditor e(kAbc);
    e.Key(k::kInsert);
    e.caretOffset = 2;
    e.Type("4");
    Expect(e, {0x61, 0x62, 0x40, 0x63}, 2, kLow);
    e.Type("1");
    Expect(e, {0x61, 0x62, 0x41, 0x63}, 3, kHigh);
}

TEST(TypingHex, InsertModeLowDigitInTheMiddleOnlyReplaces) {
    ModelEditor e(kAbc);
    e.overwriteMode = 0;
    e.caretOffset = 1;
    e.caretPane = kLow;
    e.Type("9");
    Expect(e, {0x61, 0x69, 0x63}, 2, kHigh);
}

TEST(TypingHex, NonDigitsOnlyRepaint) {
    ModelEditor e(kAbc);
    e.SetSelection(0, 1);
    const int before = e.invalidations;
    for (uint32_t code : {uint32_t('g'), uint32_t(' '), uint32_t(13), uint32_t(0x20AC)})
        e.Char(code);
    Expect(e, kAbc, 0, kHigh);
    EXPECT_EQ(e.selAnchor, 0); // not even the selection goes
    EXPECT_EQ(e.modified, 0);
    EXPECT_EQ(e.invalidations, before + 4);
}

TEST(TypingHex, OverASelectionOnTheLowDigitReplacesThatNibble) {
    ModelEditor e({0x11, 0x22, 0x33, 0x44});
    e.SetSelection(2, 1);
    e.caretOffset = 1;
    e.caretPane = kLow;
    e.Type("e");
    Expect(e, {0x11, 0x4E}, 2, kHigh);
    EXPECT_EQ(e.overwriteMode, 1);
    // The length changed without any byte being opened: the bar must know.
    EXPECT_EQ(e.barMaximum, 0);
}

TEST(TypingText, OverwriteAndInsert) {
    ModelEditor e(kAbc);
    e.caretPane = kText;
    e.Type("Z");
    Expect(e, {0x5A, 0x62, 0x63}, 1, kText);

    ModelEditor i(kAbc);
    i.caretPane = kText;
    i.overwriteMode = 0;
    i.Type("Z");
    Expect(i, {0x5A, 0x61, 0x62, 0x63}, 1, kText);
}

TEST(TypingText, TheViewsCharactersStoreTheirByteAndOthersOnlyBeep) {
    ModelEditor e(kAbc);
    e.caretPane = kText;
    e.Char(13);
    e.Char(0x20AC);
    e.Char(0);
    Expect(e, {0x0D, 0x80, 0x00}, 3, kText);
    e.Char(0x41);
    Expect(e, {0x0D, 0x80, 0x00, 0x41}, 4, kText);
    EXPECT_TRUE(e.TakeCommands().empty());
    e.SetSelection(0, 1); // a character the view can't show doesn't even replace a selection
    for (uint32_t code : {0x0439u, 0x4E2Du, 0xD83Du, 0xDE00u})
        e.Char(code);
    Expect(e, {0x0D, 0x80, 0x00, 0x41}, 4, kText);
    EXPECT_EQ(e.selAnchor, 0);
    EXPECT_EQ(e.TakeCommands(), std::vector<std::string>(4, "Beep"));
}

TEST(TypingText, OverASelectionInsertsOnceAndKeepsOverwrite) {
    ModelEditor e({0x61, 0x62, 0x63, 0x64});
    e.caretPane = kText;
    e.SetSelection(1, 2);
    e.caretOffset = 2;
    e.Type("Z");
    Expect(e, {0x61, 0x5A, 0x64}, 2, kText);
    EXPECT_EQ(e.overwriteMode, 1);
    EXPECT_EQ(e.selAnchor, -1);
    EXPECT_EQ(e.selEnd, -1);
    e.Type("Q"); // the next one overwrites again
    Expect(e, {0x61, 0x5A, 0x51}, 3, kText);
}

TEST(Typing, CtrlAndTabCharactersAreIgnored) {
    ModelEditor e(kAbc);
    e.Char('4', true);
    e.Char(8, true);
    e.Char(9);
    e.caretPane = kText;
    e.Char('x', true);
    e.Char(9);
    Expect(e, kAbc, 0, kText);
    EXPECT_EQ(e.modified, 0);
}

TEST(Typing, IntoAnEmptyBuffer) {
    ModelEditor e;
    e.Type("a");
    Expect(e, {0xA0}, 0, kLow);
    ModelEditor t;
    t.caretPane = kText;
    t.overwriteMode = 0;
    t.Type("hi");
    Expect(t, {'h', 'i'}, 2, kText);
}

TEST(Typing, FailedGrowthStopsTheKeystroke) {
    AllocationsSucceedAgain restore;
    ModelEditor e(kAbc);
    e.caretOffset = 3;
    FailNextAllocations(1);
    e.Type("7");
    Expect(e, kAbc, 3, kHigh);
    EXPECT_EQ(e.modified, 0);
    e.Type("7");
    Expect(e, {0x61, 0x62, 0x63, 0x70}, 3, kLow);
}

TEST(Typing, FailedGrowthOverASelectionKeepsItRemovedAndRestoresOverwrite) {
    AllocationsSucceedAgain restore;
    ModelEditor e({0x61, 0x62, 0x63, 0x64});
    e.caretPane = kText;
    e.SetSelection(1, 2);
    FailNextAllocations(2); // the shrink, then the growth
    const int before = e.invalidations;
    e.Type("Z");
    Expect(e, {0x61, 0x64}, 1, kText);
    EXPECT_EQ(e.overwriteMode, 1);
    EXPECT_EQ(e.modified, 1);
    EXPECT_EQ(e.selAnchor, -1);
    EXPECT_GT(e.invalidations, before);
}

TEST(Deleting, DeleteOnTheLastByteLeavesTheCaretOnTheEndPosition) {
    ModelEditor e(kAbc);
    e.caretOffset = 2;
    e.caretPane = kLow;
    e.Key(k::kDelete);
    Expect(e, {0x61, 0x62}, 2, kLow);
    e.Key(k::kDelete); // nothing after the end position
    Expect(e, {0x61, 0x62}, 2, kLow);
    EXPECT_EQ(e.modified, 1);
}

TEST(Deleting, BackspaceOnTheEndPositionRemovesTheLastByte) {
    ModelEditor e(kAbc);
    e.caretOffset = 3;
    e.caretPane = kText;
    e.Char(8);
    Expect(e, {0x61, 0x62}, 2, kText);
}

TEST(Deleting, BackspaceOnALowDigitRemovesTheWholeByteBefore) {
    ModelEditor e({0, 1, 2, 3, 4, 5});
    e.caretOffset = 4;
    e.caretPane = kLow;
    e.Char(8);
    Expect(e, {0, 1, 2, 4, 5}, 3, kHigh);
}

TEST(Deleting, BackspaceAtTheStartAndOnEmptyDoNothing) {
    ModelEditor e(kAbc);
    e.Char(8);
    Expect(e, kAbc, 0, kHigh);
    EXPECT_EQ(e.modified, 0);
    ModelEditor empty;
    empty.Char(8);
    empty.Key(k::kDelete);
    EXPECT_EQ(empty.length, 0);
    EXPECT_EQ(empty.modified, 0);
}

TEST(Deleting, BackspaceAtTheTopRowBringsTheRowAboveIntoView) {
    ModelEditor e(Bytes(100, 7));
    e.Key(k::kPageDown);
    e.Key(k::kPageDown);
    e.Key(k::kHome);
    const int32_t top = e.topOffset;
    ASSERT_GT(top, 0);
    e.caretOffset = top + 1;
    e.Char(8);
    EXPECT_EQ(e.caretOffset, top);
    EXPECT_EQ(e.topOffset, top - 8);
}

TEST(Deleting, RemovingTheWholeBufferLeavesNoStorage) {
    ModelEditor e(kAbc);
    e.Key('A', false, true);
    e.Key(k::kDelete);
    EXPECT_EQ(e.length, 0);
    EXPECT_EQ(e.buffer, nullptr);
    EXPECT_EQ(e.caretOffset, 0);
    EXPECT_EQ(e.selAnchor, -1);
    EXPECT_EQ(e.topOffset, 0);
}

TEST(Deleting, SelectionRemovedByBackspaceToo) {
    ModelEditor e({0, 1, 2, 3, 4, 5});
    e.caretOffset = 5;
    e.Key(k::kLeft, true);
    e.Key(k::kLeft, true); // two nibbles back: 4..5 selected, caret on 4's high digit
    e.Char(8);
    Expect(e, {0, 1, 2, 3}, 4, kHigh);
}

TEST(Deleting, SelectionOfOnlyTheEndPositionRemovesNothing) {
    ModelEditor e(kAbc);
    e.caretOffset = 3;
    e.Key(k::kRight, true);
    ASSERT_EQ(e.selAnchor, 3);
    e.Key(k::kDelete);
    EXPECT_EQ(e.Bytes(), kAbc);
    EXPECT_EQ(e.caretOffset, 3);
    EXPECT_EQ(e.selAnchor, -1);
}

TEST(Deleting, DeleteSelectionWithoutOneIsHarmless) {
    ModelEditor e(kAbc);
    e.caretOffset = 1;
    e.DeleteSelection();
    e.SetSelection(1, -1); // half a selection is none
    e.DeleteSelection();
    EXPECT_EQ(e.Bytes(), kAbc);
    EXPECT_EQ(e.caretOffset, 1);
}

TEST(Deleting, AStaleSelectionBeyondTheEndKeepsTheCaretInside) {
    ModelEditor e(kAbc);
    e.SetSelection(7, 9);
    e.DeleteSelection();
    EXPECT_EQ(e.Bytes(), kAbc);
    EXPECT_EQ(e.caretOffset, 3);
}

TEST(Deleting, AFailedShrinkStillShortensTheBytes) {
    AllocationsSucceedAgain restore;
    ModelEditor e({1, 2, 3, 4});
    e.caretOffset = 1;
    FailNextAllocations(1);
    e.Key(k::kDelete);
    Expect(e, {1, 3, 4}, 1, kHigh);
    FailNextAllocations(1);
    e.SetSelection(0, 1);
    e.Key(k::kDelete);
    Expect(e, {4}, 0, kHigh);
}

TEST(TypingOnDemand, OverwritesGoToTheChangesInBothPanes) {
    LargeModel m(0x140000000); // 5 GiB: byte 0x10
    ModelEditor& e = m.e;
    e.Type("4");
    EXPECT_EQ(e.ByteAt(0x140000000), 0x40);
    e.Type("1");
    e.Key(k::kTab);
    e.Type("z");
    EXPECT_EQ(e.ByteAt(0x140000000), 0x41);
    EXPECT_EQ(e.ByteAt(0x140000001), 'z');
    EXPECT_EQ(e.ByteAt(0x140000002), 0x12); // untouched
    EXPECT_EQ(e.caretOffset, 0x140000002);
    EXPECT_TRUE(editing::StoreEditedByte(e, editing::ByteUnderCaret(e), 0x90)); // Edit Bits
    EXPECT_EQ(e.ByteAt(0x140000002), 0x90);
    EXPECT_EQ(e.length, 107374182400);
    EXPECT_EQ(e.modified, 1);
    EXPECT_EQ(m.e.file->Changes().ChangedBytes(), 3u);
    EXPECT_TRUE(e.TakeCommands().empty());
}

TEST(TypingOnDemand, WhatWouldInsertOrDeleteIsRefusedOncePerTry) {
    const struct {
        const char* what;
        void (*act)(ModelEditor&);
    } tries[] = {
        {"Delete", [](ModelEditor& e) { e.Key(k::kDelete); }},
        {"Ctrl+Delete", [](ModelEditor& e) { e.Key(k::kDelete, false, true); }},
        {"Backspace", [](ModelEditor& e) { e.Char(editing::kCharBackspace); }},
        {"insert mode", [](ModelEditor& e) { e.Key(k::kInsert), e.Type("4"); }},
        {"over a selection", [](ModelEditor& e) { e.SetSelection(9, 20), e.Type("4"); }},
        {"on the end position", [](ModelEditor& e) { e.Key(k::kEnd, false, true), e.Type("4"); }},
        {"Edit Bits there",
         [](ModelEditor& e) { e.caretOffset = e.length, editing::StoreEditedByte(e, 0, 1); }},
    };
    for (const auto& t : tries) {
        SCOPED_TRACE(t.what);
        LargeModel m(9);
        t.act(m.e);
        EXPECT_EQ(m.e.TakeCommands(), std::vector<std::string>{"ResizeRefused"});
        EXPECT_EQ(m.e.length, 107374182400);
        EXPECT_EQ(m.e.ByteAt(9), 0x19);
        EXPECT_EQ(m.e.modified, 0);
        EXPECT_TRUE(m.e.file->Changes().Empty());
    }
}
