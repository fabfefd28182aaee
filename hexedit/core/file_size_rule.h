// Which file sizes the editor reads whole; a larger file is read on demand. The buffer length is
// a signed 32-bit count and every block stays below the allocation limit, so in a 64-bit process
// files below 2 GiB are read whole. A 32-bit process has 2 to 4 GiB of address space, shared
// with its host, and rarely a free block of more than a few hundred MiB: there files are read on
// demand from 256 MiB up, so a whole read never asks for a block it cannot have.
#pragma once

#include <cstdint>

#include "hexedit/core/limits.h"

namespace filesize {

constexpr uint64_t kWholeFileLimit = sizeof(void*) >= 8 ? kAllocationLimit : uint64_t{1} << 28;

inline bool FitsInBuffer(int64_t size) {
    return size >= 0 && static_cast<uint64_t>(size) < kWholeFileLimit;
}

} // namespace filesize
