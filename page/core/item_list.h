// The shell's item-list block (the clipboard format "Shell IDList Array"), read without trusting
// it: a 32-bit count n, then n + 1 32-bit offsets into the block, at each an item id list (items
// that start with a 16-bit size counting itself, ended by a size of 0). The first list names the
// folder, the others its selected items relative to it. Numbers are little-endian.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace selection {

// Offsets of the folder's list and of each item's, in order; none when the block is cut short
// or a list runs past its end.
std::vector<uint32_t> ItemListOffsets(const uint8_t* block, size_t size);

} // namespace selection
