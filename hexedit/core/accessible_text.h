// What assistive technology is told about the view and its caret cell, worked out from the
// editor's fields as the paint plan is: the window layer only hands these texts out and says
// when they changed.
#pragma once

#include <cstdint>
#include <string>

#include "hexedit/core/caret_motion.h"
#include "hexedit/core/editor_source.h"
#include "hexedit/core/scroll_math.h"

namespace a11y {

// Everything the caret cell's texts are made of. Equal facts read the same, so comparing two
// of them tells whether there is anything new to say without building a text.
struct CaretFacts {
    int64_t offset = 0;
    int32_t pane = 0;     // 1 text, 2 hex first digit, 3 hex second digit
    int32_t byte = -1;    // the byte under the caret; kEndOfFile or kUnreadable when none
    int64_t length = 0;   // of the file
    int64_t selected = 0; // bytes selected; 0 = no selection
    bool insert = false;

    bool operator==(const CaretFacts& o) const {
        return offset == o.offset && pane == o.pane && byte == o.byte && length == o.length &&
               selected == o.selected && insert == o.insert;
    }
    bool operator!=(const CaretFacts& o) const { return !(*this == o); }
};

constexpr int32_t kEndOfFile = -1;
constexpr int32_t kUnreadable = -2;

template <class Editor> CaretFacts CaretFactsOf(const Editor& e) {
    CaretFacts f;
    f.offset = e.caretOffset;
    f.pane = e.caretPane;
    f.byte = kEndOfFile;
    if (e.caretOffset < e.length) {
        // Asked after every input, a mouse move too: never a reason to wait for the medium.
        const int32_t byte = editing::ReadByteAt(e, e.caretOffset, false);
        f.byte = byte < 0 ? kUnreadable : byte;
    }
    f.length = e.length;
    f.selected = editing::SelectionLength(e);
    f.insert = e.overwriteMode == 0;
    return f;
}

// The caret cell: what is under the caret ("48, first digit"), where it is ("offset 1F, 31")
// and what else holds ("insert, 12 bytes selected"; empty when nothing does).
std::string CellName(const CaretFacts& f);
std::string CellValue(const CaretFacts& f);
std::string CellDescription(const CaretFacts& f);

// The view: its name, its value (the caret cell's texts in one) and its description (the
// file's length).
constexpr const char* kViewName = "Hex view";
std::string ViewValue(const CaretFacts& f);
std::string ViewDescription(int64_t length);

// The caret's cell in client pixels; not visible while it is scrolled out of view or before
// the font has been measured.
struct CellBox {
    bool visible = false;
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
};

template <class Editor> CellBox CaretCellBox(const Editor& e) {
    if (e.charWidth <= 0 || e.charHeight <= 0)
        return {};
    const scroll::CaretCell cell = scroll::CaretCellFor(
        e.caretOffset, e.caretPane, e.topOffset,
        scroll::WideRows{static_cast<uint64_t>(e.length), e.visibleRows, e.bytesPerRow},
        {e.charWidth, e.charHeight, e.hexColumnX, e.textColumnX});
    if (!cell.visible)
        return {};
    return {true, cell.x, cell.y, e.charWidth, e.charHeight};
}

} // namespace a11y
