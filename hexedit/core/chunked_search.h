// Find through a byte source of any size, a chunk at a time: chunks overlap by the pattern's
// length - 1, so a match across a chunk's border is found, and a hook after every chunk but the
// last reports progress and may stop the search.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "hexedit/core/byte_source.h"

namespace search {

// `searched` of `total` candidate positions done; returns false to cancel.
using ChunkHook = std::function<bool(uint64_t searched, uint64_t total)>;

constexpr size_t kDefaultChunkBytes = size_t{1} << 20;

struct ChunkedResult {
    int64_t found;      // offset of the match, -1 when there is none
    bool cancelled;     // the hook stopped the search before it was through
    bool metUnreadable; // some of the bytes searched could not be read
};

// The candidate positions first .. last, clipped to 0 .. Length() - patternLength: forwards the
// lowest where the pattern matches, backwards the highest. A match never covers an unreadable
// byte. A pattern of length 0 never matches.
ChunkedResult FindInSource(bytes::ByteSource& source, const uint8_t* pattern, int32_t patternLength,
                           uint64_t first, uint64_t last, bool forwards, const ChunkHook& hook,
                           size_t chunkBytes = kDefaultChunkBytes);

} // namespace search
