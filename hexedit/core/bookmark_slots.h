// The ten bookmark slots: their order for Next and Previous, the offset an unset slot stands
// for, and where the caret goes for a stored offset.
#pragma once

#include <algorithm>
#include <cstdint>

namespace bookmarks {

constexpr int kSlotCount = 10;

// Unset slots spread over the file in steps of 64 KiB.
inline uint32_t DefaultOffset(int slot) {
    return static_cast<uint32_t>(slot) << 16;
}

// From "none yet" (-1) Next goes to slot 0 and Previous to slot 9.
inline int NextSlot(int slot) {
    return slot + 1 > kSlotCount - 1 ? 0 : slot + 1;
}
inline int PreviousSlot(int slot) {
    return slot - 1 < 0 ? kSlotCount - 1 : slot - 1;
}

// A stored offset past the end goes to the append position after the last byte.
inline int32_t CaretFor(uint32_t stored, int32_t length) {
    return static_cast<int32_t>(std::min<uint64_t>(stored, static_cast<uint64_t>(length)));
}

} // namespace bookmarks
