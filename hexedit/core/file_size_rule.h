// Which file sizes the editor can hold: the buffer length is a signed 32-bit count and every
// block stays below the allocation limit.
#pragma once

#include <cstdint>

#include "hexedit/core/limits.h"

namespace filesize {

inline bool FitsInBuffer(int64_t size) {
    return size >= 0 && static_cast<uint64_t>(size) < kAllocationLimit;
}

} // namespace filesize
