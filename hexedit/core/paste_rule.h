// What a paste takes from a clipboard block and how it goes into the buffer: all checks
// first, then one change that either happens whole or not at all.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "hexedit/core/buffer_edits.h"
#include "hexedit/core/caret_motion.h"
#include "hexedit/core/editor_source.h"
#include "hexedit/core/limits.h"
#include "hexedit/core/scroll_math.h"

namespace pasting {

// Characters pasted from a text block of `size` units (bytes, or UTF-16 units): those before
// its first NUL, and never its last unit (the terminator). The system may hand over a block
// larger than its text, with zeros after it.
template <class Unit> uint64_t TextPasteLength(const Unit* block, uint64_t size) {
    if (size == 0)
        return 0;
    const uint64_t room = size - 1;
    if constexpr (sizeof(Unit) == 1) {
        const void* nul = room ? std::memchr(block, 0, static_cast<size_t>(room)) : nullptr;
        return nul ? static_cast<uint64_t>(static_cast<const Unit*>(nul) - block) : room;
    } else {
        return static_cast<uint64_t>(std::find(block, block + room, Unit{0}) - block);
    }
}

// The private raw format's block: the byte count, 8 bytes little-endian, then the bytes. The
// system may hand over a block larger than was asked for, so the count says where they end.
constexpr uint64_t kRawHeaderBytes = 8;

inline void WriteRawHeader(uint64_t count, uint8_t* block) {
    for (uint64_t i = 0; i < kRawHeaderBytes; ++i)
        block[i] = static_cast<uint8_t>(count >> (8 * i));
}

// The bytes a raw block of `size` bytes holds; none (null) when its count does not fit in it.
struct RawBytes {
    const uint8_t* bytes;
    uint64_t count;
};
inline RawBytes RawBlockBytes(const uint8_t* block, uint64_t size) {
    if (!block || size < kRawHeaderBytes)
        return {nullptr, 0};
    uint64_t count = 0;
    for (uint64_t i = 0; i < kRawHeaderBytes; ++i)
        count |= uint64_t{block[i]} << (8 * i);
    if (count > size - kRawHeaderBytes)
        return {nullptr, 0};
    return {block + kRawHeaderBytes, count};
}

// Whether `incoming` bytes in place of `selected` bytes leave a buffer the guard allows.
inline bool PasteFits(int64_t length, int64_t selected, uint64_t incoming) {
    if (incoming >= kAllocationLimit)
        return false;
    const uint64_t result = static_cast<uint64_t>(length - selected) + incoming;
    return result < kAllocationLimit;
}

// The selected bytes (none without a selection) replaced by `count` bytes, the caret after
// them keeping its pane and nibble. Returns false, changing nothing, when the buffer can't
// take them. The buffer grows or shrinks only by the difference, so a failure can only come
// before any byte has moved.
template <class Editor> bool ReplaceSelection(Editor& e, const uint8_t* bytes, int64_t count) {
    if (count <= 0 || editing::IsOnDemand(e))
        return false;
    const int64_t selected = editing::SelectionLength(e);
    int64_t at = e.caretOffset;
    if (editing::HasSelection(e))
        at = std::min(std::min(e.selAnchor, e.selEnd), e.length);
    if (!PasteFits(e.length, selected, static_cast<uint64_t>(count)))
        return false;
    if (count > selected) {
        if (!editing::OpenGap(e, at + selected, count - selected))
            return false;
    }
    std::memcpy(e.buffer + at, bytes, static_cast<size_t>(count));
    if (count < selected)
        editing::CloseGap(e, at + count, selected - count);
    e.modified = 1;
    e.SetSelection(-1, -1);
    e.caretOffset = at + count;
    editing::ShowCaretWithRowAbove(e);
    e.Invalidate();
    return true;
}

} // namespace pasting
