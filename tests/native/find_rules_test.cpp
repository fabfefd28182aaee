// Find on the window-free editor: the patterns one input gives, the nearer of the two matches,
// the selection and caret a match leaves, repeated searches in both directions, and what a
// failed allocation leaves.
#include <gtest/gtest.h>

#include <string>

#include "hexedit/core/find_rules.h"
#include "tests/support/model_editor.h"

namespace {

using Bytes = std::vector<uint8_t>;
using editing::FindOutcome;
constexpr int kHigh = kHexHigh;
constexpr int kText = kTextPane;

// The model with the Find fields of the editor.
struct FindModel : ModelEditor {
    using ModelEditor::ModelEditor;
    ~FindModel() {
        GuardedFree(hexPattern);
        GuardedFree(textPattern);
    }
    uint8_t* hexPattern = nullptr;
    int32_t hexPatternState = 0;
    int32_t hexPatternLength = 0;
    uint8_t* textPattern = nullptr;
    int32_t textPatternActive = 0;
    int32_t textPatternLength = 0;

    // A confirmed Find dialog: the patterns, then one search when either is valid.
    FindOutcome Find(const char* input, int direction = 1) {
        editing::BuildFindPatterns(*this, input);
        if (!editing::HasFindPattern(*this))
            return FindOutcome::NoPattern;
        return Next(direction);
    }
    FindOutcome Next(int direction = 1) { return editing::FindNextMatch(*this, direction); }

    std::vector<uint8_t> HexPattern() const {
        if (hexPatternState != 2)
            return {};
        return std::vector<uint8_t>(hexPattern, hexPattern + hexPatternLength);
    }
    std::vector<uint8_t> TextPattern() const {
        if (textPatternActive != 1)
            return {};
        return std::vector<uint8_t>(textPattern, textPattern + textPatternLength);
    }
};

Bytes B(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

struct AllocationsSucceedAgain {
    ~AllocationsSucceedAgain() { FailNextAllocations(0); }
};

void ExpectMatch(const FindModel& e, int32_t first, int32_t last, int32_t pane) {
    EXPECT_EQ(e.selAnchor, first);
    EXPECT_EQ(e.selEnd, last);
    EXPECT_EQ(e.caretOffset, last);
    EXPECT_EQ(e.caretPane, pane);
    EXPECT_EQ(e.lastPlaced, last);
}

struct PatternRow {
    const char* input;
    int32_t hexState;
    Bytes hex;
    Bytes text;
};

const PatternRow kPatterns[] = {
    {"41", 2, {0x41}, {0x34, 0x31}},
    {"48 65 6C", 2, {0x48, 0x65, 0x6C}, B("48 65 6C")},
    {"48656c", 2, {0x48, 0x65, 0x6C}, B("48656c")},
    {"ABC", 0, {}, {0x41, 0x42, 0x43}},
    {"hello", 0, {}, B("hello")},
    {"A", 0, {}, {0x41}},
    {"", 0, {}, {}},
};

TEST(FindPatterns, OneInputGivesTheTextAndMaybeTheHexadecimalBytes) {
    for (const PatternRow& row : kPatterns) {
        SCOPED_TRACE(row.input);
        FindModel e;
        editing::BuildFindPatterns(e, row.input);
        EXPECT_EQ(e.hexPatternState, row.hexState);
        EXPECT_EQ(e.HexPattern(), row.hex);
        EXPECT_EQ(e.textPatternActive, 1);
        EXPECT_EQ(e.TextPattern(), row.text);
    }
}

TEST(FindPatterns, ANewInputReplacesBothAndATextOnlyInputDropsTheHexadecimalForm) {
    FindModel e;
    editing::BuildFindPatterns(e, "41 42");
    editing::BuildFindPatterns(e, "xyz");
    EXPECT_EQ(e.hexPatternState, 0);
    EXPECT_EQ(e.TextPattern(), B("xyz"));
}

TEST(FindPatterns, APatternWhoseBlockCannotBeHadIsNotValid) {
    AllocationsSucceedAgain restore;
    FindModel e(B("xxAB"));
    FailNextAllocations(1); // the hexadecimal block
    EXPECT_EQ(e.Find("4142"), FindOutcome::NotFound);
    EXPECT_EQ(e.hexPatternState, 0);
    EXPECT_EQ(e.TextPattern(), B("4142"));

    FailNextAllocations(2); // both blocks: nothing to search, no search
    EXPECT_EQ(e.Find("4142"), FindOutcome::NoPattern);
    EXPECT_EQ(e.hexPatternState, 0);
    EXPECT_EQ(e.textPatternActive, 0);
    EXPECT_EQ(e.Next(), FindOutcome::NoPattern);
    EXPECT_EQ(e.selAnchor, -1);
    EXPECT_EQ(e.caretOffset, 0);
}

TEST(FindNext, TextMatchFirstThenTheHexadecimalOne) {
    Bytes data(16, '.');
    data[5] = '4';
    data[6] = '1';
    data[10] = 0x41;
    FindModel e(data);
    ASSERT_EQ(e.Find("41"), FindOutcome::Found);
    ExpectMatch(e, 5, 6, kText);
    ASSERT_EQ(e.Next(1), FindOutcome::Found);
    ExpectMatch(e, 10, 10, kHigh);
    EXPECT_EQ(e.modified, 0);
}

TEST(FindNext, SpacedAndUnspacedHexadecimalInputFindTheSameBytes) {
    for (const char* input : {"48 65 6C", "48656c"}) {
        SCOPED_TRACE(input);
        FindModel e(B("xxxHello"));
        ASSERT_EQ(e.Find(input), FindOutcome::Found);
        ExpectMatch(e, 3, 5, kHigh);
    }
    // The typed characters themselves, before the bytes they spell.
    FindModel e(B("48 65 6C Hel"));
    ASSERT_EQ(e.Find("48 65 6C"), FindOutcome::Found);
    ExpectMatch(e, 0, 7, kText);
    ASSERT_EQ(e.Next(1), FindOutcome::Found);
    ExpectMatch(e, 9, 11, kHigh);
}

TEST(FindNext, OddDigitsSearchOnlyTheText) {
    FindModel e(B("\xAB\xC0..ABC"));
    ASSERT_EQ(e.Find("ABC"), FindOutcome::Found);
    ExpectMatch(e, 4, 6, kText);
}

TEST(FindNext, TextComparesWithCase) {
    FindModel e(B("say HELLO"));
    const int invalidations = e.invalidations;
    EXPECT_EQ(e.Find("hello"), FindOutcome::NotFound);
    EXPECT_EQ(e.selAnchor, -1);
    EXPECT_EQ(e.caretOffset, 0);
    EXPECT_EQ(e.caretPane, kHigh);
    EXPECT_EQ(e.invalidations, invalidations);
}

TEST(FindNext, OneCharacterMovesOnFromTheCaretsMatchButFindsTheCaretsByteWithoutASelection) {
    FindModel e(B("xAxAxA"));
    e.caretOffset = 1;
    ASSERT_EQ(e.Find("A"), FindOutcome::Found);
    ExpectMatch(e, 1, 1, kText);
    ASSERT_EQ(e.Next(1), FindOutcome::Found);
    ExpectMatch(e, 3, 3, kText);
    ASSERT_EQ(e.Next(1), FindOutcome::Found);
    ExpectMatch(e, 5, 5, kText);
    EXPECT_EQ(e.Next(1), FindOutcome::NotFound);
    ExpectMatch(e, 5, 5, kText);
    ASSERT_EQ(e.Next(-1), FindOutcome::Found);
    ExpectMatch(e, 3, 3, kText);
}

TEST(FindNext, BackwardsAfterALongerMatchFindsThePreviousOccurrence) {
    FindModel e(B("abc.abc.abc"));
    e.caretOffset = 10;
    ASSERT_EQ(e.Find("abc", -1), FindOutcome::Found);
    ExpectMatch(e, 8, 10, kText);
    ASSERT_EQ(e.Next(-1), FindOutcome::Found);
    ExpectMatch(e, 4, 6, kText);
    ASSERT_EQ(e.Next(-1), FindOutcome::Found);
    ExpectMatch(e, 0, 2, kText);
    EXPECT_EQ(e.Next(-1), FindOutcome::NotFound);
    ExpectMatch(e, 0, 2, kText);
}

TEST(FindNext, TheLastBytesAreFoundAndThereIsNoWrapAround) {
    FindModel e(B("end.end"));
    e.caretOffset = 2;
    ASSERT_EQ(e.Find("end"), FindOutcome::Found);
    ExpectMatch(e, 4, 6, kText);
    EXPECT_EQ(e.Next(1), FindOutcome::NotFound);
    ExpectMatch(e, 4, 6, kText);
}

TEST(FindNext, AnEmptyInputIsAcceptedAndNeverFound) {
    FindModel e(B("abc"));
    EXPECT_EQ(e.Find(""), FindOutcome::NotFound);
    EXPECT_EQ(e.textPatternActive, 1);
    EXPECT_EQ(e.Next(-1), FindOutcome::NotFound);
}

TEST(FindNext, NoPatternYetAsksForOne) {
    FindModel e(B("abc"));
    EXPECT_EQ(e.Next(1), FindOutcome::NoPattern);
    EXPECT_EQ(e.Next(-1), FindOutcome::NoPattern);
}

// "33" is the byte 0x33 and the text "33": both start at 2.
TEST(FindNext, EqualStartsKeepTheHexadecimalMatch) {
    FindModel e(B("..33.."));
    ASSERT_EQ(e.Find("33"), FindOutcome::Found);
    ExpectMatch(e, 2, 2, kHigh);
    FindModel back(B("..33.."));
    back.caretOffset = 5;
    ASSERT_EQ(back.Find("33", -1), FindOutcome::Found);
    ExpectMatch(back, 3, 3, kHigh); // the byte 0x33 at 3 starts after the text at 2
}

TEST(FindNext, BackwardsTheLaterStartWins) {
    // Text "41" (34 31) at 1, byte 41 at 6: backwards from the end the byte comes first.
    FindModel e(B(".41...A."));
    e.caretOffset = 8;
    ASSERT_EQ(e.Find("41", -1), FindOutcome::Found);
    ExpectMatch(e, 6, 6, kHigh);
    // The one-byte pattern steps back from 6; the text pattern starts before the selection.
    ASSERT_EQ(e.Next(-1), FindOutcome::Found);
    ExpectMatch(e, 1, 2, kText);
}

TEST(FindNext, EachPatternHasItsOwnStart) {
    // After the one-byte match at 2 with a selection, the byte pattern steps to 3 while the
    // text pattern ("41" = 34 31) starts at the caret, 2.
    FindModel e(B("..A41A"));
    e.caretOffset = 2;
    e.SetSelection(2, 2);
    ASSERT_EQ(e.Find("41"), FindOutcome::Found);
    ExpectMatch(e, 3, 4, kText);
    ASSERT_EQ(e.Next(1), FindOutcome::Found);
    ExpectMatch(e, 5, 5, kHigh);
}

TEST(FindNext, TheMatchIsScrolledIntoView) {
    Bytes data(4000, '.');
    data[3000] = 'Z';
    FindModel e(data);
    ASSERT_EQ(e.Find("Z"), FindOutcome::Found);
    EXPECT_TRUE(e.caretInView);
    EXPECT_LE(e.topOffset, 3000);
    EXPECT_GT(e.topOffset + e.visibleRows * e.bytesPerRow, 3000);
}

} // namespace
