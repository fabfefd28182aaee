#include "hexedit/core/chunked_search.h"

#include <algorithm>
#include <vector>

#include "hexedit/core/byte_search.h"

namespace search {

namespace {

// The chunk as the within-chunk search sees it.
struct Chunk {
    const uint8_t* data;
    const uint8_t* unreadable;
    bool anyUnreadable;
    int32_t length;
};

// The lowest and highest unreadable byte under a match at p, or -1 when all are readable.
int32_t LowestUnreadable(const Chunk& c, int32_t p, int32_t m) {
    if (c.anyUnreadable)
        for (int32_t i = p; i < p + m; ++i)
            if (c.unreadable[i])
                return i;
    return -1;
}

int32_t HighestUnreadable(const Chunk& c, int32_t p, int32_t m) {
    if (c.anyUnreadable)
        for (int32_t i = p + m - 1; i >= p; --i)
            if (c.unreadable[i])
                return i;
    return -1;
}

int32_t FirstReadableMatch(const Chunk& c, const uint8_t* pattern, int32_t m) {
    for (int32_t p = FindForward(c.data, c.length, 0, pattern, m); p >= 0;) {
        const int32_t bad = HighestUnreadable(c, p, m);
        if (bad < 0)
            return p;
        p = FindForward(c.data, c.length, bad + 1, pattern, m);
    }
    return -1;
}

int32_t LastReadableMatch(const Chunk& c, const uint8_t* pattern, int32_t m) {
    for (int32_t p = FindBackward(c.data, c.length, c.length - m, pattern, m); p >= 0;) {
        const int32_t bad = LowestUnreadable(c, p, m);
        if (bad < 0)
            return p;
        if (bad - m < 0)
            return -1;
        p = FindBackward(c.data, c.length, bad - m, pattern, m);
    }
    return -1;
}

} // namespace

ChunkedResult FindInSource(bytes::ByteSource& source, const uint8_t* pattern, int32_t patternLength,
                           uint64_t first, uint64_t last, bool forwards, const ChunkHook& hook,
                           size_t chunkBytes) {
    const int64_t m = patternLength;
    const uint64_t length = source.Length();
    if (!pattern || m <= 0 || static_cast<uint64_t>(m) > length)
        return {-1, false};
    const int64_t lowest = static_cast<int64_t>(first);
    const int64_t highest = static_cast<int64_t>(std::min<uint64_t>(last, length - m));
    if (lowest > highest)
        return {-1, false};
    // Every chunk holds more candidates than overlap, and stays within the search's int32_t.
    const int64_t chunk = std::min<int64_t>(
        std::max<int64_t>(static_cast<int64_t>(chunkBytes), 2 * m), int64_t{1} << 30);
    const int64_t perChunk = chunk - (m - 1);
    const uint64_t total = static_cast<uint64_t>(highest - lowest + 1);
    std::vector<uint8_t> data(static_cast<size_t>(chunk));
    std::vector<uint8_t> unreadable(static_cast<size_t>(chunk));
    uint64_t searched = 0;
    while (searched < total) {
        const int64_t candidates =
            std::min<int64_t>(perChunk, static_cast<int64_t>(total - searched));
        // Forwards the chunk's first candidate follows the searched ones; backwards its last
        // precedes them.
        const int64_t start = forwards ? lowest + static_cast<int64_t>(searched)
                                       : highest - static_cast<int64_t>(searched) - candidates + 1;
        const size_t bytes = static_cast<size_t>(candidates + m - 1);
        const bytes::ReadResult read =
            source.Read(static_cast<uint64_t>(start), data.data(), bytes, unreadable.data());
        const Chunk c{data.data(), unreadable.data(), read.anyUnreadable,
                      static_cast<int32_t>(read.count)};
        const int32_t p = forwards ? FirstReadableMatch(c, pattern, patternLength)
                                   : LastReadableMatch(c, pattern, patternLength);
        if (p >= 0)
            return {start + p, false};
        searched += static_cast<uint64_t>(candidates);
        if (hook && !hook(searched, total) && searched < total)
            return {-1, true};
    }
    return {-1, false};
}

} // namespace search
