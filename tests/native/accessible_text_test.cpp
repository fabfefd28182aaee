#include <gtest/gtest.h>

#include <tuple>

#include "hexedit/core/accessible_text.h"
#include "tests/support/model_editor.h"

namespace {

struct Said {
    a11y::CaretFacts facts; // offset, pane (1 text, 2/3 hex digit), byte, length, selected, insert
    const char *name, *value, *description;
};

} // namespace

TEST(AccessibleText, WhatTheCaretCellAndTheViewSay) {
    const Said rows[] = {
        {{0, 3, 'H', 31, 0, false}, "48, second digit", "offset 0, 0", ""},
        {{2, 1, ' ', 31, 0, false}, "space, 20", "offset 2, 2", ""},
        {{3, 1, 0x00, 31, 0, false}, "00", "offset 3, 3", ""},
        {{4, 1, 0x7F, 31, 0, false}, "7F", "offset 4, 4", ""},
        {{5, 1, 0xE9, 31, 0, false}, "E9", "offset 5, 5", ""},
        {{16, 2, 'a', 31, 0, true}, "61, first digit", "offset 10, 16", "insert"},
        {{30, 1, 'a', 31, 12, false}, "a, 61", "offset 1E, 30", "12 bytes selected"},
        {{31, 2, -1, 31, 1, true}, "end of file", "offset 1F, 31", "insert, 1 byte selected"},
        {{0x123456789, 3, 0x89, 0x1900000000, 0, false},
         "89, second digit",
         "offset 123456789, 4886718345",
         ""},
        {{0x140000000, 1, -2, 0x1900000000, 0, false},
         "unreadable",
         "offset 140000000, 5368709120",
         ""},
    };
    for (const Said& row : rows)
        EXPECT_EQ(std::make_tuple(a11y::CellName(row.facts), a11y::CellValue(row.facts),
                                  a11y::CellDescription(row.facts)),
                  std::make_tuple(std::string(row.name), row.value, row.description))
            << row.facts.offset;
    EXPECT_EQ(a11y::ViewValue(rows[7].facts),
              "end of file, offset 1F, 31, insert, 1 byte selected");
    EXPECT_EQ(a11y::ViewDescription(31) + "; " + a11y::ViewDescription(1) + "; " +
                  a11y::ViewDescription(0),
              "31 bytes; 1 byte; 0 bytes");
    EXPECT_EQ(a11y::ViewDescription(0x1900000000), "107374182400 bytes");
}

// Asked after every input, the facts never wait for the medium: a byte not yet read (or whose
// read failed) is unreadable until a paint has read it.
TEST(AccessibleText, FactsOfAFileReadOnDemandComeFromItsCache) {
    LargeModel m(0x140010000);
    EXPECT_EQ(a11y::CaretFactsOf(m.e).byte, -2);
    EXPECT_TRUE(m.reader.calls.empty());
    uint8_t row[8];
    m.e.source->Read(0x140010000, row, 8, nullptr); // as a paint reads the row
    const a11y::CaretFacts f = a11y::CaretFactsOf(m.e);
    EXPECT_EQ(std::make_tuple(f.offset, f.byte, f.length),
              std::make_tuple(0x140010000, 0x10, 0x1900000000));
}

// The cell's box follows the caret's cell and is gone while scrolled out or not yet measured.
TEST(AccessibleText, CaretCellBoxIsTheCaretsCellWhileInView) {
    ModelEditor e(std::vector<uint8_t>(31, 'a'));
    e.caretOffset = 9;
    e.caretPane = 3;
    EXPECT_FALSE(a11y::CaretCellBox(e).visible);
    e.charWidth = 7;
    e.charHeight = 15;
    e.hexColumnX = 66;
    const a11y::CellBox box = a11y::CaretCellBox(e); // row 1, second digit of the second byte
    EXPECT_EQ(std::tie(box.visible, box.x, box.y, box.width, box.height),
              std::make_tuple(true, 94, 18, 7, 15));
    e.topOffset = 16;
    EXPECT_FALSE(a11y::CaretCellBox(e).visible);
}
