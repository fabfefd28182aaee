#include <gtest/gtest.h>

#include <tuple>

#include "hexedit/core/accessible_text.h"
#include "tests/support/model_editor.h"

namespace {

struct Said {
    int32_t offset;
    int32_t pane;
    bool insert;
    int32_t selAnchor;
    int32_t selEnd;
    const char* name;
    const char* value;
    const char* description;
};

// 31 bytes: "He" then a space, NUL, DEL, 0xE9, then 'a' up to offset 30.
const std::vector<uint8_t> kBytes = [] {
    std::vector<uint8_t> bytes{'H', 'e', ' ', 0x00, 0x7F, 0xE9};
    bytes.resize(31, 'a');
    return bytes;
}();

} // namespace

TEST(AccessibleText, WhatTheCaretCellAndTheViewSay) {
    const Said rows[] = {
        {0, 2, false, -1, -1, "48, first digit", "offset 0, 0", ""},
        {0, 3, false, -1, -1, "48, second digit", "offset 0, 0", ""},
        {1, 1, false, -1, -1, "e, 65", "offset 1, 1", ""},
        {2, 1, false, -1, -1, "space, 20", "offset 2, 2", ""},
        {3, 1, false, -1, -1, "00", "offset 3, 3", ""},
        {4, 1, false, -1, -1, "7F", "offset 4, 4", ""},
        {5, 1, false, -1, -1, "E9", "offset 5, 5", ""},
        {16, 2, true, -1, -1, "61, first digit", "offset 10, 16", "insert"},
        {30, 1, false, 19, 30, "a, 61", "offset 1E, 30", "12 bytes selected"},
        {31, 2, true, 31, 30, "end of file", "offset 1F, 31", "insert, 1 byte selected"},
    };
    ModelEditor e(kBytes);
    for (const Said& row : rows) {
        e.caretOffset = row.offset;
        e.caretPane = row.pane;
        e.overwriteMode = row.insert ? 0 : 1;
        e.selAnchor = row.selAnchor;
        e.selEnd = row.selEnd;
        const a11y::CaretFacts facts = a11y::CaretFactsOf(e);
        EXPECT_EQ(a11y::CellName(facts), row.name) << row.offset;
        EXPECT_EQ(a11y::CellValue(facts), row.value) << row.offset;
        EXPECT_EQ(a11y::CellDescription(facts), row.description) << row.offset;
    }
    // The view says what its caret cell says, in one.
    EXPECT_EQ(a11y::ViewValue(a11y::CaretFactsOf(e)),
              "end of file, offset 1F, 31, insert, 1 byte selected");
    EXPECT_EQ(a11y::ViewDescription(31), "31 bytes");
    EXPECT_EQ(a11y::ViewDescription(1), "1 byte");
}

// The cell's box follows the caret's cell and is gone while scrolled out or not yet measured.
TEST(AccessibleText, CaretCellBoxIsTheCaretsCellWhileInView) {
    ModelEditor e(kBytes);
    e.caretOffset = 9;
    e.caretPane = 3;
    EXPECT_FALSE(a11y::CaretCellBox(e).visible);
    e.charWidth = 7;
    e.charHeight = 15;
    e.hexColumnX = 66;
    e.textColumnX = 236;
    const a11y::CellBox box = a11y::CaretCellBox(e); // row 1, second digit of the second byte
    EXPECT_EQ(std::tie(box.visible, box.x, box.y, box.width, box.height),
              std::make_tuple(true, 94, 18, 7, 15));
    e.topOffset = 16;
    EXPECT_FALSE(a11y::CaretCellBox(e).visible);
}
