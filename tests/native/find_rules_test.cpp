// Find on the window-free editor: the patterns one input gives, the nearer of the two matches,
// the selection and caret a match leaves, repeated searches in both directions, and what a
// failed allocation leaves.
#include <gtest/gtest.h>

#include <tuple>

#include <string>

#include "hexedit/core/find_rules.h"
#include "tests/support/model_editor.h"

namespace {

using Bytes = std::vector<uint8_t>;
using editing::FindOutcome;
constexpr int kHigh = kHexHigh;
constexpr int kText = kTextPane;

// The model with Find as the dialog and F3 run it.
struct FindModel : ModelEditor {
    using ModelEditor::ModelEditor;

    // A confirmed Find dialog: the patterns, then a search.
    FindOutcome Find(const char* input, int direction = 1) {
        editing::BuildFindPatterns(*this, input);
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

// One Find and the F3 / Shift+F3 presses after it: each step's direction and the match it
// leaves (first byte, last byte, pane); a step with first -1 finds nothing and keeps the match.
struct Step {
    int direction;
    int32_t first, last, pane;
};

struct Search {
    const char* what;
    Bytes data;
    int32_t caret;
    bool selectCaretByte;
    const char* input;
    std::vector<Step> steps;
};

Bytes WithBytesAt(Bytes data, std::initializer_list<std::pair<size_t, uint8_t>> at) {
    for (const auto& [where, value] : at)
        data[where] = value;
    return data;
}

const Search kSearches[] = {
    {"the text match first, then the hexadecimal one",
     WithBytesAt(Bytes(16, '.'), {{5, '4'}, {6, '1'}, {10, 0x41}}),
     0,
     false,
     "41",
     {{1, 5, 6, kText}, {1, 10, 10, kHigh}}},
    {"spaced hexadecimal input", B("xxxHello"), 0, false, "48 65 6C", {{1, 3, 5, kHigh}}},
    {"unspaced hexadecimal input", B("xxxHello"), 0, false, "48656c", {{1, 3, 5, kHigh}}},
    {"the typed characters before the bytes they spell",
     B("48 65 6C Hel"),
     0,
     false,
     "48 65 6C",
     {{1, 0, 7, kText}, {1, 9, 11, kHigh}}},
    {"odd digits search only the text", B("\xAB\xC0..ABC"), 0, false, "ABC", {{1, 4, 6, kText}}},
    {"one character: the caret's byte first, then on, no wrap, then back",
     B("xAxAxA"),
     1,
     false,
     "A",
     {{1, 1, 1, kText}, {1, 3, 3, kText}, {1, 5, 5, kText}, {1, -1, 0, 0}, {-1, 3, 3, kText}}},
    {"backwards after a longer match finds the previous occurrence",
     B("abc.abc.abc"),
     10,
     false,
     "abc",
     {{-1, 8, 10, kText}, {-1, 4, 6, kText}, {-1, 0, 2, kText}, {-1, -1, 0, 0}}},
    {"the last bytes are found and there is no wrap-around",
     B("end.end"),
     2,
     false,
     "end",
     {{1, 4, 6, kText}, {1, -1, 0, 0}}},
    // "33" is the byte 0x33 and the text "33": both start at 2.
    {"equal starts keep the hexadecimal match", B("..33.."), 0, false, "33", {{1, 2, 2, kHigh}}},
    {"backwards the byte 0x33 at 3 starts after the text at 2",
     B("..33.."),
     5,
     false,
     "33",
     {{-1, 3, 3, kHigh}}},
    // Text "41" (34 31) at 1, byte 41 at 6: backwards from the end the byte comes first; then the
    // one-byte pattern steps back from 6 and the text starts before the selection.
    {"backwards the later start wins",
     B(".41...A."),
     8,
     false,
     "41",
     {{-1, 6, 6, kHigh}, {-1, 1, 2, kText}}},
    // After the one-byte match at 2 with a selection, the byte pattern steps to 3 while the text
    // pattern ("41" = 34 31) starts at the caret, 2.
    {"each pattern has its own start",
     B("..A41A"),
     2,
     true,
     "41",
     {{1, 3, 4, kText}, {1, 5, 5, kHigh}}},
};

TEST(FindNext, SearchesAndTheMatchesTheyLeave) {
    for (const Search& search : kSearches) {
        SCOPED_TRACE(search.what);
        FindModel e(search.data);
        e.caretOffset = search.caret;
        if (search.selectCaretByte)
            e.SetSelection(search.caret, search.caret);
        const Step* previous = nullptr;
        for (const Step& step : search.steps) {
            const FindOutcome outcome =
                previous ? e.Next(step.direction) : e.Find(search.input, step.direction);
            if (step.first < 0) {
                EXPECT_EQ(outcome, FindOutcome::NotFound);
                ASSERT_NE(previous, nullptr);
                ExpectMatch(e, previous->first, previous->last, previous->pane);
                continue;
            }
            ASSERT_EQ(outcome, FindOutcome::Found);
            ExpectMatch(e, step.first, step.last, step.pane);
            EXPECT_EQ(e.modified, 0);
            previous = &step;
        }
    }
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

TEST(FindNext, AFileReadOnDemandIsSearchedAcrossAChunkBorderPast4GiBBothWays) {
    LargeModel m(0x140000000);
    const uint8_t marker[] = {'Z', 'Y', 'X', 'W'}; // descending: nowhere else in the file
    m.e.file->Overwrite(0x1400FFFFE, marker, 4);   // across the border at 5 GiB + 1 MiB
    editing::BuildFindPatterns(m.e, "ZYXW");
    ASSERT_EQ(editing::FindNextMatch(m.e, 1), FindOutcome::Found);
    EXPECT_EQ(std::make_tuple(m.e.selAnchor, m.e.selEnd, m.e.caretOffset, m.e.caretPane),
              std::make_tuple(0x1400FFFFE, 0x140100001, 0x140100001, kText));
    EXPECT_TRUE(m.e.caretInView);
    editing::BuildFindPatterns(m.e, "5A595857");
    m.e.SetSelection(-1, -1);
    m.e.caretOffset = 0x140300000;
    ASSERT_EQ(editing::FindNextMatch(m.e, -1), FindOutcome::Found);
    EXPECT_EQ(std::make_tuple(m.e.selAnchor, m.e.caretPane), std::make_tuple(0x1400FFFFE, kHigh));
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
