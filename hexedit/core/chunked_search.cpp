#include "hexedit/core/chunked_search.h"

#include <algorithm>
#include <cstring>
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
    // Reads start and end on multiples of the chunk size, so that with chunks of whole pages a
    // long search reads straight past the cache. The last m - 1 bytes of one read are carried
    // to the next, so a match across the border between two reads is found.
    const int64_t chunk =
        std::clamp<int64_t>(static_cast<int64_t>(chunkBytes), 1, int64_t{1} << 30);
    const int64_t carryMax = m - 1;
    const uint64_t total = static_cast<uint64_t>(highest - lowest + 1);
    std::vector<uint8_t> data(static_cast<size_t>(chunk + carryMax));
    std::vector<uint8_t> unreadable(data.size());
    int64_t carry = 0;
    bool carryUnreadable = false;
    int64_t next = forwards ? lowest : highest + m; // the byte to read next (backwards: below)
    for (;;) {
        const int64_t from = forwards ? next : std::max(lowest, (next - 1) / chunk * chunk);
        const int64_t to = forwards ? std::min(highest + m, (next + chunk) / chunk * chunk) : next;
        const size_t fresh = static_cast<size_t>(to - from);
        // The carried bytes stand before the fresh ones forwards, after them backwards.
        const size_t at = forwards ? static_cast<size_t>(carry) : 0;
        if (!forwards) {
            std::memmove(data.data() + fresh, data.data(), static_cast<size_t>(carry));
            std::memmove(unreadable.data() + fresh, unreadable.data(), static_cast<size_t>(carry));
        }
        const bytes::ReadResult read = source.Read(static_cast<uint64_t>(from), data.data() + at,
                                                   fresh, unreadable.data() + at);
        const int32_t n = static_cast<int32_t>(carry + static_cast<int64_t>(fresh));
        const int64_t base = forwards ? from - carry : from;
        const bool anyUnreadable = read.anyUnreadable || carryUnreadable;
        const Chunk c{data.data(), unreadable.data(), anyUnreadable, n};
        const int32_t p = forwards ? FirstReadableMatch(c, pattern, patternLength)
                                   : LastReadableMatch(c, pattern, patternLength);
        if (p >= 0)
            return {base + p, false};
        // Candidates done; the first reads may hold only the tail of a candidate.
        const int64_t searched =
            std::max<int64_t>(0, forwards ? base + n - m + 1 - lowest : highest - from + 1);
        const bool done = forwards ? to == highest + m : from == lowest;
        if (done)
            return {-1, false};
        if (hook && !hook(static_cast<uint64_t>(searched), total))
            return {-1, true};
        carry = std::min<int64_t>(carryMax, n);
        const uint8_t* carried = unreadable.data() + (forwards ? n - carry : 0);
        carryUnreadable = anyUnreadable &&
                          std::any_of(carried, carried + carry, [](uint8_t u) { return u != 0; });
        if (forwards) {
            std::memmove(data.data(), data.data() + n - carry, static_cast<size_t>(carry));
            std::memmove(unreadable.data(), unreadable.data() + n - carry,
                         static_cast<size_t>(carry));
        }
        next = forwards ? to : from;
    }
}

} // namespace search
