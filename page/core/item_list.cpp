#include "page/core/item_list.h"

namespace selection {

namespace {

uint32_t Read32(const uint8_t* at) {
    return at[0] | (at[1] << 8) | (at[2] << 16) | (static_cast<uint32_t>(at[3]) << 24);
}

bool ListEndsInside(const uint8_t* block, size_t size, size_t at) {
    while (at <= size && size - at >= 2) {
        const size_t length = block[at] | (block[at + 1] << 8);
        if (length == 0)
            return true;
        if (length < 2)
            return false;
        at += length;
    }
    return false;
}

} // namespace

std::vector<uint32_t> ItemListOffsets(const uint8_t* block, size_t size) {
    if (!block || size < 8 || Read32(block) > size / 4 - 2)
        return {};
    std::vector<uint32_t> offsets(Read32(block) + 1);
    for (size_t i = 0; i < offsets.size(); ++i) {
        offsets[i] = Read32(block + 4 + 4 * i);
        if (!ListEndsInside(block, size, offsets[i]))
            return {};
    }
    return offsets;
}

} // namespace selection
