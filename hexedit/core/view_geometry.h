// The numbers that shape the view, named once: which pane holds the caret, the margin above
// the first row, and the cells of one row (address, hex pane, text pane).
#pragma once

#include <cstdint>

// caretPane values.
constexpr int32_t kTextPane = 1;
constexpr int32_t kHexHigh = 2; // hex pane, on the byte's high digit
constexpr int32_t kHexLow = 3;  // hex pane, on the byte's low digit

// Pixels above the first row.
constexpr int32_t kTopMargin = 3;

// A row: the address in 8 digits and a space, then every byte as two hex digits and a space,
// then every byte as one character.
constexpr int32_t kAddressCells = 9;
constexpr int32_t kHexCellsPerByte = 3;
// Pixels between the address cells and the hex pane, and between the address cells plus the
// hex pane and the text pane.
constexpr int32_t kHexPaneGap = 3;
constexpr int32_t kTextPaneGap = 5;
