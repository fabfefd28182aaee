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

// One chunk after the other: the bytes read fresh, with the m - 1 bytes carried over from the
// chunk before (after them backwards, before them forwards). A source held in one piece is
// searched where it lies; any other is read into a buffer of its own.
class Window {
  public:
    Window(bytes::ByteSource& source, bool forwards, int64_t chunk, int64_t carryMax)
        : source_(source), block_(source.Block()), forwards_(forwards), carryMax_(carryMax) {
        if (!block_) {
            data_.resize(static_cast<size_t>(chunk + carryMax));
            unreadable_.resize(data_.size());
        }
    }

    // The chunk of the bytes from .. to and the carried ones; `base` is its first byte's offset.
    Chunk Take(int64_t from, int64_t to, int64_t& base) {
        const size_t fresh = static_cast<size_t>(to - from);
        const size_t carry = static_cast<size_t>(carry_);
        base = forwards_ ? from - carry_ : from;
        n_ = static_cast<int32_t>(carry + fresh);
        if (block_)
            return {block_ + base, nullptr, false, n_};
        const size_t at = forwards_ ? carry : 0;
        if (!forwards_) {
            std::memmove(data_.data() + fresh, data_.data(), carry);
            std::memmove(unreadable_.data() + fresh, unreadable_.data(), carry);
        }
        uint8_t* const freshBytes = data_.data() + at;
        uint8_t* const freshMask = unreadable_.data() + at;
        // Read without the mask first, and again with it only when some bytes could not be read
        // (the source remembers those): a sound file's mask is never written.
        bytes::ReadResult read =
            source_.Read(static_cast<uint64_t>(from), freshBytes, fresh, nullptr);
        if (read.anyUnreadable)
            read = source_.Read(static_cast<uint64_t>(from), freshBytes, fresh, freshMask);
        else if (carryUnreadable_)
            std::memset(freshMask, 0, fresh);
        anyUnreadable_ = read.anyUnreadable || carryUnreadable_;
        return {data_.data(), unreadable_.data(), anyUnreadable_, n_};
    }

    // Keeps the bytes of the last chunk that the next one needs.
    void Carry() {
        carry_ = std::min<int64_t>(carryMax_, n_);
        if (block_)
            return;
        const size_t carry = static_cast<size_t>(carry_);
        const size_t kept = forwards_ ? static_cast<size_t>(n_) - carry : 0;
        const uint8_t* mask = unreadable_.data() + kept;
        carryUnreadable_ =
            anyUnreadable_ && std::any_of(mask, mask + carry, [](uint8_t u) { return u != 0; });
        if (forwards_) {
            std::memmove(data_.data(), data_.data() + kept, carry);
            std::memmove(unreadable_.data(), unreadable_.data() + kept, carry);
        }
    }

  private:
    bytes::ByteSource& source_;
    const uint8_t* block_;
    bool forwards_;
    int64_t carryMax_;
    std::vector<uint8_t> data_;
    std::vector<uint8_t> unreadable_;
    int64_t carry_ = 0;
    int32_t n_ = 0;
    bool anyUnreadable_ = false;
    bool carryUnreadable_ = false;
};

} // namespace

ChunkedResult FindInSource(bytes::ByteSource& source, const uint8_t* pattern, int32_t patternLength,
                           uint64_t first, uint64_t last, bool forwards, const ChunkHook& hook,
                           size_t chunkBytes) {
    const int64_t m = patternLength;
    const uint64_t length = source.Length();
    if (!pattern || m <= 0 || static_cast<uint64_t>(m) > length)
        return {-1, false, false};
    const uint64_t lastCandidate = std::min<uint64_t>(last, length - m);
    if (first > lastCandidate)
        return {-1, false, false};
    const int64_t lowest = static_cast<int64_t>(first);
    const int64_t highest = static_cast<int64_t>(lastCandidate);
    // Reads start and end on multiples of the chunk size, so that with chunks of whole pages a
    // long search reads straight past the cache; the carried bytes find a match across the
    // border between two reads.
    const int64_t chunk =
        std::clamp<int64_t>(static_cast<int64_t>(chunkBytes), 1, int64_t{1} << 30);
    const uint64_t total = static_cast<uint64_t>(highest - lowest + 1);
    Window window(source, forwards, chunk, m - 1);
    int64_t next = forwards ? lowest : highest + m; // the byte to read next (backwards: below)
    bool met = false;
    for (;;) {
        const int64_t from = forwards ? next : std::max(lowest, (next - 1) / chunk * chunk);
        const int64_t to = forwards ? std::min(highest + m, (next + chunk) / chunk * chunk) : next;
        int64_t base = 0;
        const Chunk c = window.Take(from, to, base);
        met = met || c.anyUnreadable;
        const int32_t p = forwards ? FirstReadableMatch(c, pattern, patternLength)
                                   : LastReadableMatch(c, pattern, patternLength);
        if (p >= 0)
            return {base + p, false, met};
        if (forwards ? to == highest + m : from == lowest)
            return {-1, false, met};
        // Candidates done; the first reads backwards may hold only the tail of a candidate.
        const int64_t searched =
            std::max<int64_t>(0, forwards ? base + c.length - m + 1 - lowest : highest - from + 1);
        if (hook && !hook(static_cast<uint64_t>(searched), total))
            return {-1, true, met};
        window.Carry();
        next = forwards ? to : from;
    }
}

} // namespace search
