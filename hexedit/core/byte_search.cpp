#include "hexedit/core/byte_search.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#define BYTE_SEARCH_SSE2 1
#include <emmintrin.h>
#if defined(_MSC_VER)
#include <intrin.h>
#endif
#endif

namespace search {

namespace {

bool MatchesAt(const uint8_t* data, int32_t p, const uint8_t* pattern, int32_t patternLength) {
    return std::memcmp(data + p, pattern, static_cast<size_t>(patternLength)) == 0;
}

#if defined(BYTE_SEARCH_SSE2)

int LowestBit(unsigned mask) {
#if defined(_MSC_VER)
    unsigned long index = 0;
    _BitScanForward(&index, mask);
    return static_cast<int>(index);
#else
    return __builtin_ctz(mask);
#endif
}

int HighestBit(unsigned mask) {
#if defined(_MSC_VER)
    unsigned long index = 0;
    _BitScanReverse(&index, mask);
    return static_cast<int>(index);
#else
    return 31 - __builtin_clz(mask);
#endif
}

// Candidates among the 16 positions from `at`: bit i is set when the pattern's first byte
// stands at at + i and its last byte at at + i + patternLength - 1. Testing both ends at once
// keeps runs of one repeated byte from turning every position into a candidate.
struct EndBytes {
    __m128i first;
    __m128i last;
    int32_t lastOffset;

    unsigned Candidates(const uint8_t* at) const {
        const __m128i head = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
        const __m128i tail = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + lastOffset));
        return static_cast<unsigned>(_mm_movemask_epi8(
            _mm_and_si128(_mm_cmpeq_epi8(head, first), _mm_cmpeq_epi8(tail, last))));
    }
    // Four blocks of 16, for a quick pass over stretches without candidates.
    bool AnyIn64(const uint8_t* at) const {
        const uint8_t* t = at + lastOffset;
        const auto block = [&](int k) {
            const __m128i head = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + 16 * k));
            const __m128i tail = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + 16 * k));
            return _mm_and_si128(_mm_cmpeq_epi8(head, first), _mm_cmpeq_epi8(tail, last));
        };
        const __m128i any =
            _mm_or_si128(_mm_or_si128(block(0), block(1)), _mm_or_si128(block(2), block(3)));
        return _mm_movemask_epi8(any) != 0;
    }
};

EndBytes EndBytesOf(const uint8_t* pattern, int32_t patternLength) {
    return {_mm_set1_epi8(static_cast<char>(pattern[0])),
            _mm_set1_epi8(static_cast<char>(pattern[patternLength - 1])), patternLength - 1};
}

// The candidates' ends already match; the bytes between decide.
bool InnerMatches(const uint8_t* data, int32_t p, const uint8_t* pattern, int32_t patternLength) {
    return patternLength <= 2 ||
           std::memcmp(data + p + 1, pattern + 1, static_cast<size_t>(patternLength - 2)) == 0;
}

#endif

} // namespace

int32_t ScanForward(const uint8_t* data, int32_t length, int32_t from, const uint8_t* pattern,
                    int32_t patternLength) {
    if (!data || !pattern || patternLength <= 0 || patternLength > length)
        return -1;
    const int32_t last = length - patternLength;
    for (int32_t p = std::max(from, 0); p <= last; ++p)
        if (data[p] == pattern[0] && MatchesAt(data, p, pattern, patternLength))
            return p;
    return -1;
}

int32_t ScanBackward(const uint8_t* data, int32_t length, int32_t from, const uint8_t* pattern,
                     int32_t patternLength) {
    if (!data || !pattern || patternLength <= 0 || patternLength > length)
        return -1;
    for (int32_t p = std::min(from, length - patternLength); p >= 0; --p)
        if (data[p] == pattern[0] && MatchesAt(data, p, pattern, patternLength))
            return p;
    return -1;
}

#if defined(BYTE_SEARCH_SSE2)

int32_t FindForward(const uint8_t* data, int32_t length, int32_t from, const uint8_t* pattern,
                    int32_t patternLength) {
    if (!data || !pattern || patternLength <= 0 || patternLength > length)
        return -1;
    const int32_t last = length - patternLength; // last candidate
    int32_t p = std::max(from, 0);
    if (p > last)
        return -1;
    const EndBytes ends = EndBytesOf(pattern, patternLength);
    // A block of 16 candidates reads up to p + 15 + patternLength - 1, inside the data while
    // p + 15 <= last.
    while (last - p >= 15) {
        if (last - p >= 63 && !ends.AnyIn64(data + p)) {
            p += 64;
            continue;
        }
        unsigned mask = ends.Candidates(data + p);
        while (mask) {
            const int32_t at = p + LowestBit(mask);
            if (InnerMatches(data, at, pattern, patternLength))
                return at;
            mask &= mask - 1;
        }
        p += 16;
    }
    return ScanForward(data, length, p, pattern, patternLength);
}

int32_t FindBackward(const uint8_t* data, int32_t length, int32_t from, const uint8_t* pattern,
                     int32_t patternLength) {
    if (!data || !pattern || patternLength <= 0 || patternLength > length)
        return -1;
    int32_t p = std::min(from, length - patternLength); // highest candidate still to try
    if (p < 0)
        return -1;
    const EndBytes ends = EndBytesOf(pattern, patternLength);
    // The block of the 16 candidates p - 15 .. p reads up to p + patternLength - 1.
    while (p >= 15) {
        if (p >= 63 && !ends.AnyIn64(data + p - 63)) {
            p -= 64;
            continue;
        }
        const int32_t base = p - 15;
        unsigned mask = ends.Candidates(data + base);
        while (mask) {
            const int bit = HighestBit(mask);
            if (InnerMatches(data, base + bit, pattern, patternLength))
                return base + bit;
            mask &= ~(1u << bit);
        }
        p -= 16;
    }
    return ScanBackward(data, length, p, pattern, patternLength);
}

#else

int32_t FindForward(const uint8_t* data, int32_t length, int32_t from, const uint8_t* pattern,
                    int32_t patternLength) {
    return ScanForward(data, length, from, pattern, patternLength);
}

int32_t FindBackward(const uint8_t* data, int32_t length, int32_t from, const uint8_t* pattern,
                     int32_t patternLength) {
    return ScanBackward(data, length, from, pattern, patternLength);
}

#endif

int32_t SearchPattern(const uint8_t* buffer, int32_t length, const SearchFrom& from,
                      const uint8_t* pattern, int32_t patternLength, int direction) {
    const bool forwards = direction == 1;
    return SearchPatternBefore(buffer, length, from, pattern, patternLength, direction,
                               forwards ? length : -1);
}

bool SearchStart(const SearchFrom& from, int64_t length, int32_t patternLength, bool forwards,
                 int64_t& start) {
    const bool selection = from.selAnchor != -1;
    start = from.caretOffset;
    if (patternLength == 1 && selection) {
        // The caret sits on the previous one-byte match: step off it.
        start += forwards ? 1 : -1;
        if (start < 0 || start > length - 1)
            return false;
    } else if (patternLength > 1 && selection && !forwards) {
        start = std::min(from.selAnchor, from.selEnd) - 1;
        if (start < 0)
            return false;
    }
    if (length < 1 || patternLength <= 0)
        return false;
    if (start >= length)
        start = length - 1;
    if (start < 0) {
        if (!forwards)
            return false;
        start = 0;
    }
    return true;
}

int32_t SearchPatternBefore(const uint8_t* buffer, int32_t length, const SearchFrom& from,
                            const uint8_t* pattern, int32_t patternLength, int direction,
                            int32_t rival) {
    const bool forwards = direction == 1;
    int64_t start = 0;
    if (!SearchStart(from, length, patternLength, forwards, start))
        return -1;
    const int32_t begin = static_cast<int32_t>(start);
    if (forwards) {
        // Candidates below the rival only: cut the data where a match at rival - 1 ends.
        const int64_t cut =
            std::min<int64_t>(length, static_cast<int64_t>(rival) + patternLength - 1);
        if (rival <= begin || cut < patternLength)
            return -1;
        return FindForward(buffer, static_cast<int32_t>(cut), begin, pattern, patternLength);
    }
    // Candidates above the rival only: the data from rival + 1 on.
    const int32_t first = std::max(rival, -1) + 1;
    if (first > begin || first >= length)
        return -1;
    const int32_t found =
        FindBackward(buffer + first, length - first, begin - first, pattern, patternLength);
    return found < 0 ? -1 : found + first;
}

} // namespace search
