// Find through a byte source a chunk at a time: matches across chunk borders, both directions,
// the candidate window, unreadable bytes, and the hook's progress and cancel.
#include <gtest/gtest.h>

#include <vector>

#include "hexedit/core/chunked_search.h"

namespace {

// 0x00 .. 0x3F; bytes 40..43 unreadable.
struct Source final : bytes::ByteSource {
    uint64_t Length() const override { return 64; }
    bytes::ReadResult Read(uint64_t offset, uint8_t* out, size_t count,
                           uint8_t* unreadable) override {
        const size_t n = bytes::ClipToLength(offset, count, 64);
        bool any = false;
        for (size_t i = 0; i < n; ++i) {
            const bool bad = offset + i >= 40 && offset + i < 44;
            out[i] = bad ? 0 : static_cast<uint8_t>(offset + i);
            unreadable[i] = bad;
            any = any || bad;
        }
        return {n, any};
    }
};

} // namespace

TEST(ChunkedSearch, FindsAcrossChunkBordersInBothDirectionsWithinTheWindow) {
    // The pattern run + k matches at k; 6 .. 9 and 5 .. 8 cross the border of chunks of 8 (and 3).
    const uint8_t run[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 38, 39}, zeros[] = {0, 0};
    const struct {
        const uint8_t* pattern;
        int32_t length;
        uint64_t first, last;
        bool forwards;
        int64_t found;
    } rows[] = {
        {run + 6, 4, 0, UINT64_MAX, true, 6},    {run + 5, 4, 0, UINT64_MAX, false, 5},
        {run + 6, 4, 7, UINT64_MAX, true, -1},   {run + 6, 4, 0, 5, false, -1},
        {run + 9, 1, 0, 63, false, 9},           {zeros, 2, 0, UINT64_MAX, true, -1},
        {run + 10, 2, 0, UINT64_MAX, false, 38}, {run, 0, 0, 63, true, -1},
    };
    Source source;
    for (const auto& row : rows)
        for (size_t chunk : {8, 3, 64}) {
            const search::ChunkedResult r = search::FindInSource(
                source, row.pattern, row.length, row.first, row.last, row.forwards, nullptr, chunk);
            EXPECT_EQ(r.found, row.found) << row.pattern[0] << " chunk " << chunk;
            EXPECT_FALSE(r.cancelled);
        }
}

TEST(ChunkedSearch, TheHookSeesEveryChunkAndMayCancel) {
    Source source;
    const uint8_t absent[] = {9, 9};
    std::vector<uint64_t> progress;
    const auto hook = [&](uint64_t searched, uint64_t total) {
        progress.push_back(searched);
        EXPECT_EQ(total, 63u);
        return searched < 21;
    };
    const search::ChunkedResult r =
        search::FindInSource(source, absent, 2, 0, UINT64_MAX, false, hook, 8);
    EXPECT_TRUE(r.cancelled);
    EXPECT_EQ(r.found, -1);
    EXPECT_EQ(progress, (std::vector<uint64_t>{7, 15, 23}));
    // A stop asked for after the last chunk comes too late to cancel anything.
    const auto stop = [](uint64_t, uint64_t) { return false; };
    EXPECT_FALSE(search::FindInSource(source, absent, 2, 60, 63, true, stop, 8).cancelled);
}
