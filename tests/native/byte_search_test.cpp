// The byte search: where each search starts (caret, selection, direction, pattern length), the
// walk without wrap-around, the scans by example and against a plain reference loop.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>

#include "hexedit/core/byte_search.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes B(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

// The reference for the scans: every position from `from` on in the direction `step`, tried
// byte by byte.
int32_t Plain(const Bytes& data, int32_t from, const Bytes& pattern, int step) {
    const auto n = static_cast<int32_t>(data.size()), m = static_cast<int32_t>(pattern.size());
    for (int32_t p = step > 0 ? std::max(from, 0) : std::min(from, n - m);
         m > 0 && p >= 0 && p + m <= n; p += step)
        if (std::equal(pattern.begin(), pattern.end(), data.begin() + p))
            return p;
    return -1;
}

struct StartRow {
    const char* what;
    std::string buffer;
    int32_t caret, anchor, end;
    std::string pattern;
    int direction;
    int32_t found;
};

// "xAxxAx...": the rows name the bytes by their letters.
const StartRow kStarts[] = {
    {"no selection: the byte under the caret is found", "xAxxA", 1, -1, -1, "A", 1, 1},
    {"one byte with a selection steps forwards off the caret", "xAxxA", 1, 1, 1, "A", 1, 4},
    {"one byte with a selection steps backwards off the caret", "AxxAx", 3, 3, 3, "A", -1, 0},
    {"one byte without a selection backwards finds the caret's byte", "AxxAx", 3, -1, -1, "A", -1,
     3},
    {"stepping past the last byte: not found", "xxxxA", 4, 4, 4, "A", 1, -1},
    {"stepping before the first byte: not found", "Axxxx", 0, 0, 0, "A", -1, -1},
    {"longer pattern forwards from the last byte of the previous match", "ABABAB", 1, 0, 1, "AB", 1,
     2},
    {"overlapping match forwards starts at the caret", "AAAA", 1, 0, 1, "AA", 1, 1},
    {"longer pattern backwards starts before the selection", "ABxABxAB", 4, 3, 4, "AB", -1, 0},
    {"backwards with the selection reversed", "ABxABxAB", 3, 4, 3, "AB", -1, 0},
    {"backwards before a selection at the start: not found", "ABxAB", 1, 0, 1, "AB", -1, -1},
    {"backwards without a selection from the caret", "ABxAB", 3, -1, -1, "AB", -1, 3},
    {"longer pattern forwards with a selection starts at the caret", "ABxAB", 0, 3, 4, "AB", 1, 0},
    {"backwards lowers the start so the match fits", "xxAB", 3, -1, -1, "AB", -1, 2},
    {"caret on the end position searches from the last byte forwards", "xxAB", 4, -1, -1, "B", 1,
     3},
    {"last bytes of the buffer found forwards", "xxxABC", 0, -1, -1, "ABC", 1, 3},
    {"forwards from the last match's last byte: not found", "xxxABC", 5, 3, 5, "ABC", 1, -1},
    {"no wrap-around forwards", "ABxxx", 2, -1, -1, "AB", 1, -1},
    {"no wrap-around backwards", "xxxAB", 2, -1, -1, "AB", -1, -1},
    {"empty pattern never matches", "ABC", 0, -1, -1, "", 1, -1},
    {"pattern longer than the buffer", "AB", 0, -1, -1, "ABC", 1, -1},
    {"empty buffer", "", 0, -1, -1, "A", 1, -1},
    {"empty buffer with a one-byte selection step", "", 0, 0, 0, "A", -1, -1},
    {"case matters", "HELLO", 0, -1, -1, "hello", 1, -1},
    {"bytes compare unsigned", "\x80\xFF", 0, -1, -1, "\xFF", 1, 1},
};

TEST(SearchPattern, StartAdjustmentsAndWalk) {
    for (const StartRow& row : kStarts) {
        SCOPED_TRACE(row.what);
        const Bytes data = B(row.buffer);
        const Bytes pattern = B(row.pattern);
        const search::SearchFrom from{row.caret, row.anchor, row.end};
        EXPECT_EQ(search::SearchPattern(data.empty() ? nullptr : data.data(),
                                        static_cast<int32_t>(data.size()), from, pattern.data(),
                                        static_cast<int32_t>(pattern.size()), row.direction),
                  row.found);
    }
}

// With a rival match, only a nearer one counts: "xABxABxAB" has AB at 1, 4 and 7.
TEST(SearchPattern, OnlyAMatchNearerThanTheRivalCounts) {
    const Bytes data = B("xABxABxAB");
    const Bytes ab = B("AB");
    struct Row {
        int32_t caret, anchor, end;
        int direction;
        int32_t rival, found;
    };
    const Row rows[] = {
        {0, -1, -1, 1, 9, 1},   {0, -1, -1, 1, 2, 1},  {0, -1, -1, 1, 1, -1},
        {2, -1, -1, 1, 5, 4},   {2, -1, -1, 1, 4, -1}, {2, -1, -1, 1, 0, -1},
        {8, -1, -1, -1, -1, 7}, {8, -1, -1, -1, 6, 7}, {8, -1, -1, -1, 7, -1},
        {7, 7, 8, -1, 3, 4},    {7, 7, 8, -1, 4, -1},  {7, 7, 8, -1, 9, -1},
    };
    for (const Row& r : rows) {
        const search::SearchFrom from{r.caret, r.anchor, r.end};
        EXPECT_EQ(
            search::SearchPatternBefore(data.data(), 9, from, ab.data(), 2, r.direction, r.rival),
            r.found)
            << r.caret << " " << r.direction << " " << r.rival;
    }
}

// One pattern placed at `at` in a buffer of 'x' (at -1: nowhere), found from `from` by each
// scan. Windows of 16 and 64 candidates are tested at once: rows sit at their edges.
struct ScanRow {
    int32_t length, at;
    const char* pattern;
    int32_t from, forwards, backwards;
};

const ScanRow kScans[] = {
    {200, 100, "ab", 100, 100, 100}, // the top of a backward window of 64
    {65, 63, "ab", 63, 63, 63},      // that window starting at the first byte
    {200, 37, "ab", 100, -1, 37},    // its bottom, 63 below the start
    {200, 36, "ab", 100, -1, 36},    // just under it
    {200, 163, "ab", 100, 163, -1},  // the top of a forward window of 64
    {200, 164, "ab", 100, 164, -1},  // just over it
    {200, 115, "ab", 100, 115, -1},  // the top of a forward block of 16
    {20, 5, "ab", 6, -1, 5},         {20, 0, "ab", -1, 0, -1},
    {20, 18, "ab", 20, -1, 18}, // the start lowered so the match fits
    {3, 0, "abc", 0, 0, 0},          {2, -1, "abc", 0, -1, -1},
};

TEST(ByteSearch, ScansFindTheNearestMatchInTheirDirection) {
    for (const ScanRow& r : kScans) {
        Bytes data(static_cast<size_t>(r.length), 'x');
        const Bytes pattern = B(r.pattern);
        const int32_t m = static_cast<int32_t>(pattern.size());
        if (r.at >= 0)
            std::memcpy(data.data() + r.at, pattern.data(), pattern.size());
        SCOPED_TRACE(testing::Message() << r.length << " " << r.at << " " << r.from);
        EXPECT_EQ(search::FindForward(data.data(), r.length, r.from, pattern.data(), m),
                  r.forwards);
        EXPECT_EQ(search::ScanForward(data.data(), r.length, r.from, pattern.data(), m),
                  r.forwards);
        EXPECT_EQ(search::FindBackward(data.data(), r.length, r.from, pattern.data(), m),
                  r.backwards);
        EXPECT_EQ(search::ScanBackward(data.data(), r.length, r.from, pattern.data(), m),
                  r.backwards);
    }
}

// Both scans against the reference: matches at every distance from the block edges, at
// both ends of the buffer, amid bytes that are or are not the pattern's first and last.
TEST(ByteSearch, ScansAgreeWithTheReferenceAroundBlockEdges) {
    const Bytes pattern = B("abca");
    for (uint8_t fill : {'a', 'x'}) {
        for (int32_t length = 0; length <= 200; ++length) {
            for (int32_t at = 0; at + 4 <= length; at += 3) {
                Bytes data(static_cast<size_t>(length), fill);
                std::memcpy(data.data() + at, pattern.data(), 4);
                for (int32_t from : {-1, 0, at, at + 1, length - 1, length}) {
                    const uint8_t* d = data.data();
                    const int32_t forwards = Plain(data, from, pattern, 1);
                    const int32_t backwards = Plain(data, from, pattern, -1);
                    SCOPED_TRACE(testing::Message()
                                 << fill << " " << length << " " << at << " " << from);
                    ASSERT_EQ(search::FindForward(d, length, from, pattern.data(), 4), forwards);
                    ASSERT_EQ(search::ScanForward(d, length, from, pattern.data(), 4), forwards);
                    ASSERT_EQ(search::FindBackward(d, length, from, pattern.data(), 4), backwards);
                    ASSERT_EQ(search::ScanBackward(d, length, from, pattern.data(), 4), backwards);
                }
            }
        }
    }
}

TEST(ByteSearch, ScansAgreeWithTheReferenceOnRandomBuffers) {
    std::mt19937 random(1234);
    for (int round = 0; round < 3000; ++round) {
        // Small alphabets make partial matches frequent.
        const int alphabet = 1 + static_cast<int>(random() % 4);
        const int32_t length = static_cast<int32_t>(random() % 300);
        Bytes data(static_cast<size_t>(length));
        for (auto& b : data)
            b = static_cast<uint8_t>(random() % alphabet);
        Bytes pattern(1 + random() % 20);
        for (auto& b : pattern)
            b = static_cast<uint8_t>(random() % alphabet);
        const int32_t m = static_cast<int32_t>(pattern.size());
        const int32_t from = static_cast<int32_t>(random() % (length + 3)) - 1;
        const int32_t forwards = Plain(data, from, pattern, 1);
        const int32_t backwards = Plain(data, from, pattern, -1);
        SCOPED_TRACE(testing::Message() << "round " << round);
        ASSERT_EQ(search::FindForward(data.data(), length, from, pattern.data(), m), forwards);
        ASSERT_EQ(search::ScanForward(data.data(), length, from, pattern.data(), m), forwards);
        ASSERT_EQ(search::FindBackward(data.data(), length, from, pattern.data(), m), backwards);
        ASSERT_EQ(search::ScanBackward(data.data(), length, from, pattern.data(), m), backwards);
    }
}

// Zero bytes and fifteen 00 then 01: every position starts like the pattern, none ends like it.
TEST(ByteSearch, ZerosAgainstAPatternEndingInOne) {
    Bytes data(100000, 0);
    Bytes pattern(16, 0);
    pattern[15] = 1;
    const int32_t n = static_cast<int32_t>(data.size());
    EXPECT_EQ(search::FindForward(data.data(), n, 0, pattern.data(), 16), -1);
    EXPECT_EQ(search::FindBackward(data.data(), n, n, pattern.data(), 16), -1);
    data[77777] = 1;
    EXPECT_EQ(search::FindForward(data.data(), n, 0, pattern.data(), 16), 77777 - 15);
    EXPECT_EQ(search::FindBackward(data.data(), n, n, pattern.data(), 16), 77777 - 15);
    EXPECT_EQ(search::FindForward(data.data(), n, 77777 - 14, pattern.data(), 16), -1);
    EXPECT_EQ(search::FindBackward(data.data(), n, 77777 - 16, pattern.data(), 16), -1);
}

} // namespace
