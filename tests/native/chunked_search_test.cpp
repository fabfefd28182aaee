// Find through a byte source a chunk at a time: matches across chunk borders, both directions,
// the candidate window, unreadable bytes, and the hook's progress and cancel.
#include <gtest/gtest.h>

#include "hexedit/core/chunked_search.h"
#include "tests/support/paged_reader.h"

TEST(ChunkedSearch, FindsAcrossChunkBordersInBothDirectionsWithinTheWindow) {
    // 64 bytes, 40 .. 43 unreadable. The pattern run + k matches at k; 6 .. 9 and 5 .. 8 cross
    // the border of chunks of 8 (and 3).
    PagedReader reader;
    reader.failing = {10};
    bytes::OnDemandSource source(reader, 64, 4, 4);
    uint8_t run[64], zeros[] = {0, 0};
    for (int i = 0; i < 64; ++i)
        run[i] = static_cast<uint8_t>(0x10 + i);
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
        {run + 38, 2, 0, UINT64_MAX, false, 38}, {run, 0, 0, 63, true, -1},
    };
    bytes::BlockSource block(run, 64); // searched where it lies
    bytes::ByteSource* const sources[] = {&source, &block};
    for (const auto& row : rows)
        for (bytes::ByteSource* in : sources)
            for (size_t chunk : {8, 3, 64}) {
                const search::ChunkedResult r =
                    search::FindInSource(*in, row.pattern, row.length, row.first, row.last,
                                         row.forwards, nullptr, chunk);
                EXPECT_EQ(r.found, row.found) << row.pattern[0] << " chunk " << chunk;
                EXPECT_FALSE(r.cancelled);
            }
}

TEST(ChunkedSearch, TheHookSeesEveryChunkAndMayCancel) {
    PagedReader reader;
    bytes::OnDemandSource source(reader, 64, 4, 4);
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
