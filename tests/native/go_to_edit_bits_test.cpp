// Go To and Edit Bits on the window-free editor: where the caret lands for a typed address, and
// which bytes an edited value changes.
#include <gtest/gtest.h>

#include "hexedit/core/go_to_edit_bits.h"
#include "tests/support/model_editor.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct AllocationsSucceedAgain {
    ~AllocationsSucceedAgain() { FailNextAllocations(0); }
};

struct GoToRow {
    const char* input;
    int32_t caret;
};

const GoToRow kGoTo[] = {
    {"1A", 26},  {"0x1A", 26}, {"FFFFFFFF", 100}, {"", 0},   {"G", 0},
    {"64", 100}, {"65", 100},  {"63", 99},        {"-5", 0}, {"0", 0},
};

TEST(GoTo, CaretGoesToTheAddressWithinTheBuffer) {
    for (const GoToRow& row : kGoTo) {
        SCOPED_TRACE(row.input);
        ModelEditor e(Bytes(100, 7));
        e.caretOffset = 50;
        const int invalidations = e.invalidations;
        editing::GoToAddress(e, row.input);
        EXPECT_EQ(e.caretOffset, row.caret);
        EXPECT_EQ(e.lastPlaced, row.caret);
        EXPECT_GT(e.invalidations, invalidations);
    }
}

TEST(GoTo, SixteenDigitsReachAnyOffsetOfAFileReadOnDemand) {
    const struct {
        const char* input;
        int64_t caret;
    } rows[] = {
        {"1234567890", 0x1234567890},        {"0x18FFFFFFFF", 0x18FFFFFFFF},
        {"123456789ABCDEF0", 0x1900000000}, // past the end: the end position
        {"FFFFFFFFFFFFFFFFF", 0x1900000000}, {"-1", 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.input);
        LargeModel m(50);
        editing::GoToAddress(m.e, row.input);
        EXPECT_EQ(m.e.caretOffset, row.caret);
        EXPECT_TRUE(m.e.caretInView);
    }
    EXPECT_EQ(find_input::GoToInputLimit(0xFFFFFFFF), 8);
    EXPECT_EQ(find_input::GoToInputLimit(0x100000000), 18);
}

TEST(GoTo, KeepsTheSelectionAndThePane) {
    ModelEditor e(Bytes(100, 7));
    e.SetSelection(3, 9);
    e.caretOffset = 9;
    e.caretPane = 1;
    editing::GoToAddress(e, "40");
    EXPECT_EQ(e.caretOffset, 64);
    EXPECT_EQ(e.selAnchor, 3);
    EXPECT_EQ(e.selEnd, 9);
    EXPECT_EQ(e.caretPane, 1);
    EXPECT_TRUE(e.caretInView);
}

TEST(EditBits, StartsFromTheByteUnderTheCaretOrZeroAtTheEnd) {
    ModelEditor e(Bytes{0x12, 0xA5});
    e.caretOffset = 1;
    EXPECT_EQ(editing::ByteUnderCaret(e), 0xA5);
    e.caretOffset = 2;
    EXPECT_EQ(editing::ByteUnderCaret(e), 0);
}

TEST(EditBits, ANewValueIsStoredAtTheCaret) {
    ModelEditor e(Bytes{0x12, 0xA5, 0x34});
    e.caretOffset = 1;
    EXPECT_TRUE(editing::StoreEditedByte(e, 0xA5, 0x25));
    EXPECT_EQ(e.Bytes(), (Bytes{0x12, 0x25, 0x34}));
    EXPECT_EQ(e.modified, 1);
    EXPECT_EQ(e.invalidations, 1) << "the byte is drawn again";
    EXPECT_EQ(e.caretOffset, 1);
}

TEST(EditBits, AnUnchangedValueWritesNothing) {
    ModelEditor e(Bytes{0xA5});
    const int invalidations = e.invalidations;
    EXPECT_FALSE(editing::StoreEditedByte(e, 0xA5, 0xA5));
    EXPECT_EQ(e.modified, 0);
    EXPECT_EQ(e.invalidations, invalidations);
}

TEST(EditBits, AtTheEndPositionOneByteIsAppended) {
    ModelEditor e(Bytes(7, 1));
    e.caretOffset = 7;
    const int32_t rowsBefore = e.barMaximum;
    EXPECT_TRUE(editing::StoreEditedByte(e, 0, 0x80));
    Bytes expected(7, 1);
    expected.push_back(0x80);
    EXPECT_EQ(e.Bytes(), expected);
    EXPECT_EQ(e.caretOffset, 7);
    EXPECT_EQ(e.modified, 1);
    EXPECT_GT(e.barMaximum, rowsBefore); // the end position moved to a second row
}

TEST(EditBits, ZeroAtTheEndPositionAppendsNothing) {
    ModelEditor e(Bytes(3, 1));
    e.caretOffset = 3;
    EXPECT_FALSE(editing::StoreEditedByte(e, 0, 0));
    EXPECT_EQ(e.length, 3);
    EXPECT_EQ(e.modified, 0);
}

TEST(EditBits, AnEmptyBufferGetsItsFirstByte) {
    ModelEditor e;
    EXPECT_TRUE(editing::StoreEditedByte(e, 0, 0x41));
    EXPECT_EQ(e.Bytes(), Bytes{0x41});
}

TEST(EditBits, ABufferThatCannotGrowStaysAsItWas) {
    AllocationsSucceedAgain restore;
    ModelEditor e(Bytes{1, 2, 3});
    e.caretOffset = 3;
    FailNextAllocations(1);
    EXPECT_FALSE(editing::StoreEditedByte(e, 0, 0xFF));
    EXPECT_EQ(e.Bytes(), (Bytes{1, 2, 3}));
    EXPECT_EQ(e.modified, 0);
    EXPECT_EQ(e.caretOffset, 3);
}

} // namespace
