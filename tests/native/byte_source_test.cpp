// The on-demand source: a bounded cache of pages, failed pages remembered as unreadable, and
// overwritten bytes held apart and laid over what is read.
#include <gtest/gtest.h>

#include <vector>

#include "hexedit/core/on_demand_source.h"

namespace {

using Bytes = std::vector<uint8_t>;

// 20 bytes 0x10 .. 0x23 in pages of 4; the pages in `failing` refuse, `cancel` gives up.
struct TestReader final : bytes::FileReader {
    std::vector<uint64_t> calls; // offsets asked for
    std::vector<uint64_t> failing;
    bool cancel = false;
    bytes::ReadOutcome ReadAt(uint64_t offset, uint8_t* out, size_t count) override {
        calls.push_back(offset);
        for (uint64_t page : failing)
            if (page * 4 >= offset && page * 4 < offset + count)
                return bytes::ReadOutcome::kFailed;
        for (size_t i = 0; i < count; ++i)
            out[i] = static_cast<uint8_t>(0x10 + offset + i);
        return cancel ? bytes::ReadOutcome::kCancelled : bytes::ReadOutcome::kRead;
    }
};

struct Seen {
    Bytes bytes, unreadable;
};

Seen ReadOf(bytes::ByteSource& source, uint64_t offset, size_t count) {
    Seen s{Bytes(count), Bytes(count)};
    s.bytes.resize(source.Read(offset, s.bytes.data(), count, s.unreadable.data()).count);
    s.unreadable.resize(s.bytes.size());
    return s;
}

} // namespace

TEST(PageCache, KeepsTheRecentPagesUpToItsBound) {
    TestReader reader;
    bytes::OnDemandSource source(reader, 20, 4, 2);
    for (uint64_t offset : {1, 5, 2, 9, 6, 18})
        ReadOf(source, offset, 1);
    EXPECT_EQ(reader.calls, (std::vector<uint64_t>{0, 4, 8, 4, 16}));
    EXPECT_EQ(source.Cache().CachedPages(), 2u);
    EXPECT_EQ(source.Cache().Counts().hits, 1u);
    EXPECT_EQ(ReadOf(source, 17, 9).bytes, (Bytes{0x21, 0x22, 0x23}));
}

TEST(PageCache, WholePagesAreReadStraightThroughWithoutBeingKept) {
    TestReader reader;
    bytes::OnDemandSource source(reader, 20, 4, 2);
    EXPECT_EQ(ReadOf(source, 2, 12).bytes.back(), 0x1D);
    EXPECT_EQ(reader.calls, (std::vector<uint64_t>{0, 4, 12}));
    EXPECT_EQ(source.Cache().CachedPages(), 2u);
}

TEST(PageCache, AFailedPageStaysUnreadableAndIsNotAskedForAgain) {
    TestReader reader;
    reader.failing = {1};
    bytes::OnDemandSource source(reader, 20, 4, 4);
    const Seen seen = ReadOf(source, 2, 8);
    EXPECT_EQ(seen.bytes, (Bytes{0x12, 0x13, 0, 0, 0, 0, 0x18, 0x19}));
    EXPECT_EQ(seen.unreadable, (Bytes{0, 0, 1, 1, 1, 1, 0, 0}));
    reader.calls.clear();
    reader.failing.clear();
    EXPECT_EQ(ReadOf(source, 0, 12).unreadable[5], 1);
    EXPECT_EQ(reader.calls, (std::vector<uint64_t>{}));
    EXPECT_EQ(source.Cache().FailedPages(), 1u);
    // Among whole pages read at once, only the failed one is unreadable.
    reader.failing = {3};
    EXPECT_EQ(ReadOf(source, 12, 8).unreadable, (Bytes{1, 1, 1, 1, 0, 0, 0, 0}));
}

TEST(PageCache, ACancelledReadIsUnreadOnlyThisTime) {
    TestReader reader;
    reader.cancel = true;
    bytes::OnDemandSource source(reader, 20, 4, 4);
    EXPECT_EQ(ReadOf(source, 4, 6).unreadable, (Bytes{1, 1, 1, 1, 1, 1}));
    reader.cancel = false;
    EXPECT_EQ(ReadOf(source, 5, 2).bytes, (Bytes{0x15, 0x16}));
}

TEST(ChangeSet, RunsMergeAndAreSavedInOffsetOrder) {
    bytes::ChangeSet changes;
    const uint8_t ab[] = {0xA, 0xB}, c[] = {0xC}, def[] = {0xD, 0xE, 0xF};
    changes.Overwrite(10, ab, 2);  // 10..11
    changes.Overwrite(2, c, 1);    // 2
    changes.Overwrite(9, def, 3);  // overlaps: later wins
    changes.Overwrite(12, c, 1);   // touches on the right
    changes.Overwrite(1, c, 1);    // touches on the left
    changes.Overwrite(100, ab, 0); // nothing
    std::vector<std::pair<uint64_t, Bytes>> runs;
    changes.ForEachRun([&](uint64_t offset, const uint8_t* data, size_t count) {
        runs.emplace_back(offset, Bytes(data, data + count));
        return true;
    });
    const std::vector<std::pair<uint64_t, Bytes>> expected{{1, {0xC, 0xC}},
                                                           {9, {0xD, 0xE, 0xF, 0xC}}};
    EXPECT_EQ(runs, expected);
    EXPECT_EQ(changes.ChangedBytes(), 6u);
    EXPECT_FALSE(changes.ForEachRun([](uint64_t, const uint8_t*, size_t) { return false; }));
}

TEST(OnDemandSource, ChangesShowAtOnceEvenOverUnreadableBytesAndStayInsideTheFile) {
    TestReader reader;
    reader.failing = {1};
    bytes::OnDemandSource source(reader, 20, 4, 4);
    const uint8_t typed[] = {0xAA, 0xBB, 0xCC};
    source.Overwrite(3, typed, 2);
    source.Overwrite(19, typed, 3);
    const Seen seen = ReadOf(source, 2, 4);
    EXPECT_EQ(seen.bytes, (Bytes{0x12, 0xAA, 0xBB, 0}));
    EXPECT_EQ(seen.unreadable, (Bytes{0, 0, 0, 1}));
    EXPECT_EQ(source.Changes().ChangedBytes(), 3u);
    source.Revert();
    EXPECT_EQ(ReadOf(source, 3, 1).bytes, (Bytes{0x13}));
    bytes::BlockSource block(seen.bytes.data(), 4);
    EXPECT_EQ(ReadOf(block, 2, 5).bytes, (Bytes{0xBB, 0}));
}
