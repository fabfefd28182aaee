// Finding a byte pattern in the buffer, forwards or backwards, without wrapping around. The
// fast scans give exactly the match a plain position-by-position scan gives.
#pragma once

#include <cstdint>

namespace search {

// First position p with from <= p <= length - patternLength where the pattern matches; -1 when
// there is none. A pattern of length 0 never matches.
int32_t FindForward(const uint8_t* data, int32_t length, int32_t from, const uint8_t* pattern,
                    int32_t patternLength);

// Last position p with 0 <= p <= from where the pattern matches; from is first lowered to
// length - patternLength, so a match lies wholly inside the data. -1 when there is none.
int32_t FindBackward(const uint8_t* data, int32_t length, int32_t from, const uint8_t* pattern,
                     int32_t patternLength);

// Position by position, one candidate after the other: the meaning of the two above.
int32_t ScanForward(const uint8_t* data, int32_t length, int32_t from, const uint8_t* pattern,
                    int32_t patternLength);
int32_t ScanBackward(const uint8_t* data, int32_t length, int32_t from, const uint8_t* pattern,
                     int32_t patternLength);

// Where the caret and selection are when a search starts.
struct SearchFrom {
    int64_t caretOffset;
    int64_t selAnchor; // -1: no selection
    int64_t selEnd;
};

// Where one search of the editor starts in data of `length` bytes (see SearchPattern); false
// when there is nothing to search.
bool SearchStart(const SearchFrom& from, int64_t length, int32_t patternLength, bool forwards,
                 int64_t& start);

// One search of the editor: the start is the caret, except that with a selection a one-byte
// pattern steps one byte first (the caret sits on its previous match) and a longer pattern
// searched backwards starts just before the selection. direction 1 forwards, else backwards.
// Returns the offset of the match or -1.
int32_t SearchPattern(const uint8_t* buffer, int32_t length, const SearchFrom& from,
                      const uint8_t* pattern, int32_t patternLength, int direction);

// The same search, counting only a match nearer than `rival`: one starting before it forwards,
// after it backwards. A rival of length (forwards) or -1 (backwards) leaves every match in.
int32_t SearchPatternBefore(const uint8_t* buffer, int32_t length, const SearchFrom& from,
                            const uint8_t* pattern, int32_t patternLength, int direction,
                            int32_t rival);

} // namespace search
