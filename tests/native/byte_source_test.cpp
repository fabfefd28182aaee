// The on-demand source: a bounded cache of pages, failed pages remembered as unreadable, and
// overwritten bytes held apart and laid over what is read.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <future>
#include <memory>
#include <thread>

#include "hexedit/core/hand_over.h"
#include "tests/support/paged_reader.h"

namespace {

using Bytes = std::vector<uint8_t>;

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

TEST(PageCache, KeepsTheRecentPagesUpToItsBoundAndReadsWholePagesStraightThrough) {
    PagedReader reader;
    bytes::OnDemandSource source(reader, 20, 4, 2);
    for (uint64_t offset : {1, 5, 2, 9, 6, 18})
        ReadOf(source, offset, 1);
    EXPECT_EQ(ReadOf(source, 17, 9).bytes, (Bytes{0x21, 0x22, 0x23}));
    EXPECT_EQ(reader.calls, (std::vector<uint64_t>{0, 4, 8, 4, 16}));
    EXPECT_EQ(source.Cache().Counts().hits, 2u);
    EXPECT_EQ(ReadOf(source, 2, 12).bytes.back(), 0x1D);
    EXPECT_EQ(reader.calls, (std::vector<uint64_t>{0, 4, 8, 4, 16, 0, 4, 12}));
    EXPECT_EQ(source.Cache().CachedPages(), 2u);
    // A page read on the open's way is kept as read; one of the wrong size is not.
    source.Cache().Prime(4, Bytes{9, 9});
    source.Cache().Prime(2, Bytes{7, 7, 7, 7});
    reader.calls.clear();
    EXPECT_EQ(ReadOf(source, 9, 8).bytes, (Bytes{7, 7, 7, 0x1C, 0x1D, 0x1E, 0x1F, 0x20}));
    EXPECT_EQ(reader.calls, (std::vector<uint64_t>{16}));
}

TEST(PageCache, AFailedPageStaysUnreadableACancelledOneUntilTheUserMovesToItAgain) {
    PagedReader reader;
    reader.failing = {1};
    bytes::OnDemandSource source(reader, 24, 4, 4);
    const Seen seen = ReadOf(source, 2, 8);
    EXPECT_EQ(seen.bytes, (Bytes{0x12, 0x13, 0, 0, 0, 0, 0x18, 0x19}));
    EXPECT_EQ(seen.unreadable, (Bytes{0, 0, 1, 1, 1, 1, 0, 0}));
    reader.calls.clear();
    reader.failing.clear();
    reader.cancel = true;
    EXPECT_EQ(ReadOf(source, 12, 12).unreadable, Bytes(12, 1));
    reader.cancel = false;
    EXPECT_EQ(ReadOf(source, 14, 8).unreadable, Bytes(8, 1)) << "not read again unasked";
    source.Cache().ForgetCancelled();
    reader.failing = {4};
    EXPECT_EQ(ReadOf(source, 4, 20).unreadable,
              (Bytes{1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 0, 0, 0, 0}));
    // The cancelled run, the failed run, then its pages one by one.
    EXPECT_EQ(reader.calls, (std::vector<uint64_t>{12, 12, 12, 16, 20}));
}

// A read of the last page of an 18-byte file while the reader lets another page be read, the
// same one, or the file be found grown: the read keeps its own block, and the cache keeps it only
// for the file as it still is.
TEST(PageCache, WhatRunsWhileAReadWaitsLeavesItsBlockAndTheCacheSound) {
    const struct {
        std::function<void(bytes::OnDemandSource&)> during;
        uint8_t unreadable;
        size_t cached;
    } cases[] = {
        {[](bytes::OnDemandSource& s) { ReadOf(s, 1, 2); }, 0, 2},
        {[](bytes::OnDemandSource& s) { ReadOf(s, 16, 1); }, 0, 1},
        {[](bytes::OnDemandSource& s) { s.Cache().Reset(20); }, 1, 0},
    };
    for (const auto& c : cases) {
        PagedReader reader;
        bytes::OnDemandSource source(reader, 18, 4, 4);
        reader.during = [&] { c.during(source); };
        EXPECT_EQ(ReadOf(source, 16, 2).unreadable, Bytes(2, c.unreadable)) << c.cached;
        EXPECT_EQ(source.Cache().CachedPages(), c.cached);
        EXPECT_EQ(ReadOf(source, 16, 4).bytes.size(), source.Length() - 16);
    }
}

// A read left behind on a stalled medium finds the waiting thread's block withdrawn and freed
// when the medium answers: it writes nothing there (the sanitizers would see it) and stops.
TEST(HandOver, AReadLeftBehindWritesNothingIntoTheBlockItWasGiven) {
    auto block = std::make_unique<uint8_t[]>(8);
    bytes::HandOver into(block.get(), 8);
    std::promise<void> answer;
    std::future<void> answered = answer.get_future();
    bytes::PiecesOutcome outcome{};
    std::thread job([&] {
        const auto read = [&](uint64_t, uint8_t* out, size_t n) {
            answered.wait();
            return std::memset(out, 7, n) != nullptr;
        };
        outcome = bytes::ReadInPieces(
            0, into, 4, read, [] { return false; }, [](size_t) {});
    });
    into.Withdraw();
    block.reset();
    answer.set_value();
    job.join();
    EXPECT_EQ(outcome, bytes::PiecesOutcome::kStopped);
}

TEST(ChangeSet, RunsMergeAndAreSavedInOffsetOrder) {
    bytes::ChangeSet changes;
    const uint8_t ab[] = {0xA, 0xB}, c[] = {0xC}, def[] = {0xD, 0xE, 0xF};
    changes.Overwrite(10, ab, 2); // 10..11
    changes.Overwrite(2, c, 1);   // 2
    changes.Overwrite(9, def, 3); // overlaps: later wins
    changes.Overwrite(12, c, 1);  // touches on the right
    changes.Overwrite(1, c, 1);   // touches on the left
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
    PagedReader reader;
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
