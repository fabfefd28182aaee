// What one frame of the view draws: which rows, which strings at which pixels, in which
// colour roles. The window layer only renders the plan; it decides nothing about content.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace paintplan {

// Colour roles; the window layer maps them to system colours each time it draws.
enum class Role : uint8_t {
    kAddress,  // grey text on the window background
    kActive,   // the pane that holds the caret: window text on the window background
    kInactive, // the other pane: grey text on the window background
    kSelected, // highlight text on the highlight background
};

// How an item is drawn. Addresses and whole hex rows are wide strings drawn into a rectangle
// reaching the client's right and bottom edges; hex bytes are wide strings drawn at a point;
// text bytes are single 8-bit characters read in the font's code page.
enum class Kind : uint8_t { kAddress, kHexRow, kHexByte, kTextByte };

constexpr int kMaxItemChars = 24; // one hex row: 8 bytes of two digits and a space

struct Item {
    Kind kind;
    Role role;
    int32_t x;
    int32_t y;
    uint8_t count;
    char text[kMaxItemChars];

    std::string Text() const { return std::string(text, count); }
};

// The bytes come from `buffer`, whose first byte is the one at `bufferStart`: the whole file
// (start 0) or only the rows shown (start topOffset). A byte flagged in `unreadable` (indexed as
// buffer; null: all readable) is drawn as "??" in the hex pane and '?' in the text pane.
struct Frame {
    const uint8_t* buffer; // may be null
    int64_t length;
    int64_t topOffset;
    int32_t caretPane; // 1 text pane, 2 or 3 hex pane
    int64_t selAnchor; // -1 = no selection
    int64_t selEnd;
    int32_t bytesPerRow;
    int32_t charWidth;
    int32_t charHeight;
    int32_t hexColumnX;
    int32_t textColumnX;
    int32_t clientHeight;
    int64_t bufferStart = 0;
    const uint8_t* unreadable = nullptr;
    int32_t addressDigits = 8; // address::ViewDigits: more than 8 past 4 GiB
};

// Rows are drawn while their top edge lies above this limit: whole rows of the client height.
int32_t RowLimit(int32_t clientHeight, int32_t charHeight);

// The items of one frame in drawing order. Only rows that fit the client are planned, so the
// plan's size never depends on the file's length.
void PlanFrame(const Frame& frame, std::vector<Item>& items);

} // namespace paintplan
