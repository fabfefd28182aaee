// The texts of a long copy written a step at a time, so that a worker can count what is done
// and stop between steps. Each step writes its bytes' part where the whole layout puts it, and
// the steps together leave exactly the block the layout's single call would.
#pragma once

#include <cstdint>

#include "hexedit/core/code_page_1252.h"

namespace layouts {

enum class Chunked { Hex, Chars, View, Raw };

// Selection bytes per step: a whole number of View lines.
constexpr uint64_t kCopyStepBytes = uint64_t{1} << 20;

// One long copy: its layout, its `n` bytes, and the address of the first (the View layout
// shows addresses).
struct ChunkedCopy {
    Chunked layout;
    uint64_t n;
    uint64_t firstOffset;
};

// The exact block the copy fills: the text and its NUL (the hex block's spare byte included),
// the raw bytes without one.
uint64_t ChunkedBlockSize(const ChunkedCopy& copy);

// Writes the part of selection bytes [from, from + count) into the copy's block `out`; `bytes`
// are the copy's n bytes. `from` is a multiple of 8; the step that reaches n ends the text.
void WriteStep(const ChunkedCopy& copy, const uint8_t* bytes, uint64_t from, uint64_t count,
               char* out);

// Where the step of selection byte `from` (a multiple of 8) begins in the block.
uint64_t StepStart(const ChunkedCopy& copy, uint64_t from);

// The texts that hold the bytes as characters. Those read differently in each system code
// page, so they also go out as Unicode text, as the view shows them; the others are ASCII.
inline bool ShowsCharacters(Chunked layout) {
    return layout == Chunked::Chars || layout == Chunked::View;
}

// What the step of [from, from + count) wrote into the text block `text`, as the view's
// characters into `wide`, the Unicode block of as many units as the text block has bytes.
template <class Unit>
void WidenStep(const ChunkedCopy& copy, uint64_t from, uint64_t count, const char* text,
               Unit* wide) {
    const uint64_t begin = StepStart(copy, from);
    const uint64_t end =
        from + count >= copy.n ? ChunkedBlockSize(copy) : StepStart(copy, from + count);
    cp1252::CharsOf(text + begin, end - begin, wide + begin);
}

} // namespace layouts
