// Files of any size read on demand: Find through an 8 GiB source a chunk at a time, forwards and
// backwards, against the bare loop of 1 MiB reads it rests on; the chunking's own cost over one
// block against one FindForward; and reads of a screen from the page cache (hits, misses, and
// with many changed bytes laid over).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "bench/random_bytes.h"
#include "hexedit/core/byte_search.h"
#include "hexedit/core/chunked_search.h"
#include "hexedit/core/on_demand_source.h"
#include "not_measured.h"

namespace {

constexpr uint64_t kBlock = uint64_t{64} << 20;
constexpr uint64_t kLarge = uint64_t{8} << 30;
constexpr size_t kScreen = 16 * 16;

// Eight bytes that a check at start-up finds absent from the block and its seam.
const uint8_t kAbsent[8] = {'n', 'o', 't', 'h', 'e', 'r', 'e', '!'};

const std::vector<uint8_t>& RandomBlock() {
    static const std::vector<uint8_t> bytes = RandomBytes(kBlock);
    return bytes;
}

// A file of any length made of the random block over and over, read as memcpy: what a read
// from the system's file cache costs, without the system call.
struct RepeatingFile final : bytes::FileReader {
    bytes::ReadOutcome ReadAt(uint64_t offset, uint8_t* out, size_t count) override {
        const std::vector<uint8_t>& block = RandomBlock();
        while (count > 0) {
            const size_t at = static_cast<size_t>(offset % kBlock);
            const size_t n = std::min<size_t>(count, kBlock - at);
            std::memcpy(out, block.data() + at, n);
            out += n;
            offset += n;
            count -= n;
        }
        return bytes::ReadOutcome::kRead;
    }
};

bool AbsentEverywhere() {
    const std::vector<uint8_t>& b = RandomBlock();
    std::vector<uint8_t> seam(b.end() - 8, b.end());
    seam.insert(seam.end(), b.begin(), b.begin() + 8);
    return search::FindForward(b.data(), static_cast<int32_t>(kBlock), 0, kAbsent, 8) < 0 &&
           search::FindForward(seam.data(), 16, 0, kAbsent, 8) < 0;
}

void Report(benchmark::State& state, const char* missing, uint64_t bytesPerIteration) {
    CheckMeasured(state, missing);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytesPerIteration));
}

// A find that missed everywhere counts only if the same find sees the needle once it is planted
// in the last bytes of the range searched.
const char* MissedThenFindsPlanted(bytes::OnDemandSource& source, int64_t found, bool forwards) {
    if (found != -1)
        return "the needle was found where it is absent";
    source.Overwrite(kLarge - 8, kAbsent, 8);
    const int64_t planted =
        search::FindInSource(source, kAbsent, 8, 0, UINT64_MAX, forwards, nullptr).found;
    source.Revert();
    return planted == static_cast<int64_t>(kLarge - 8) ? nullptr
                                                       : "the needle planted at the end was missed";
}

// The screen as read, against the repeating block it comes from.
const char* ScreenMatches(const uint8_t* out, uint64_t offset) {
    for (size_t i = 0; i < kScreen; ++i)
        if (out[i] != RandomBlock()[(offset + i) % kBlock])
            return "the screen read differs from the file";
    return nullptr;
}

void ChunkedFind(benchmark::State& state, bool forwards) {
    if (!AbsentEverywhere())
        CheckMeasured(state, "the needle is in the block");
    RepeatingFile file;
    bytes::OnDemandSource source(file, kLarge);
    int64_t found = 0;
    uint64_t chunks = 0;
    const search::ChunkHook hook = [&](uint64_t, uint64_t) { return ++chunks > 0; };
    for (auto _ : state) {
        found = search::FindInSource(source, kAbsent, 8, 0, UINT64_MAX, forwards, hook).found;
        benchmark::DoNotOptimize(found);
    }
    state.counters["cached_pages"] = static_cast<double>(source.Cache().CachedPages());
    Report(state, MissedThenFindsPlanted(source, found, forwards), kLarge);
}

void BM_Find8GiBForward_Chunked(benchmark::State& state) {
    ChunkedFind(state, true);
}

void BM_Find8GiBBackward_Chunked(benchmark::State& state) {
    ChunkedFind(state, false);
}

// The floor: the same 8 GiB in plain 1 MiB reads, nothing searched.
void BM_Read8GiB_PlainLoop(benchmark::State& state) {
    RepeatingFile file;
    std::vector<uint8_t> buffer(search::kDefaultChunkBytes);
    uint64_t read = 0;
    for (auto _ : state) {
        read = 0;
        for (uint64_t at = 0; at < kLarge; at += buffer.size())
            read += file.ReadAt(at, buffer.data(), buffer.size()) == bytes::ReadOutcome::kRead
                        ? buffer.size()
                        : 0;
        benchmark::DoNotOptimize(buffer.data());
    }
    Report(state, read == kLarge ? nullptr : "the loop read less than 8 GiB", kLarge);
}

// The chunking against one scan, both over the same block held whole.
void BM_FindBlock_Chunked(benchmark::State& state) {
    const std::vector<uint8_t>& b = RandomBlock();
    bytes::BlockSource source(b.data(), kBlock);
    int64_t found = 0;
    for (auto _ : state) {
        found = search::FindInSource(source, kAbsent, 8, 0, UINT64_MAX, true, nullptr).found;
        benchmark::DoNotOptimize(found);
    }
    Report(state, found == -1 ? nullptr : "the needle was found where it is absent", kBlock);
}

void BM_FindBlock_FindForward(benchmark::State& state) {
    const std::vector<uint8_t>& b = RandomBlock();
    int64_t found = 0;
    for (auto _ : state) {
        found = search::FindForward(b.data(), static_cast<int32_t>(kBlock), 0, kAbsent, 8);
        benchmark::DoNotOptimize(found);
    }
    Report(state, found == -1 ? nullptr : "the needle was found where it is absent", kBlock);
}

// A screen of 16 rows from cached pages; state.range(0) is where in its page it starts (a screen
// from 65,500 crosses into the next page).
void BM_ScreenRead_CacheHit(benchmark::State& state) {
    RepeatingFile file;
    bytes::OnDemandSource source(file, kLarge);
    const uint64_t offset = (uint64_t{5} << 30) + static_cast<uint64_t>(state.range(0));
    uint8_t out[kScreen], unreadable[kScreen];
    source.Read(offset, out, kScreen, unreadable);
    for (auto _ : state) {
        source.Read(offset, out, kScreen, unreadable);
        benchmark::DoNotOptimize(out);
    }
    CheckMeasured(state, ScreenMatches(out, offset));
    state.counters["misses"] = static_cast<double>(source.Cache().Counts().misses);
}

// Every screen on a page not cached yet: one 64 KiB read each, the oldest page going.
void BM_ScreenRead_CacheMiss(benchmark::State& state) {
    RepeatingFile file;
    bytes::OnDemandSource source(file, kLarge);
    uint8_t out[kScreen], unreadable[kScreen];
    uint64_t offset = 0;
    uint64_t last = 0;
    for (auto _ : state) {
        source.Read(offset, out, kScreen, unreadable);
        benchmark::DoNotOptimize(out);
        last = offset;
        offset = (offset + bytes::PageCache::kDefaultPageSize) % kLarge;
    }
    CheckMeasured(state, ScreenMatches(out, last));
    state.counters["cached_pages"] = static_cast<double>(source.Cache().CachedPages());
}

// A cached screen with state.range(0) single changed bytes spread over the file.
void BM_ScreenRead_WithChanges(benchmark::State& state) {
    RepeatingFile file;
    bytes::OnDemandSource source(file, kLarge);
    const uint64_t count = static_cast<uint64_t>(state.range(0));
    const uint8_t changed = 0xAA;
    for (uint64_t i = 0; i < count; ++i)
        source.Overwrite(i * (kLarge / count) + 7, &changed, 1);
    const uint64_t offset = kLarge / 2;
    uint8_t out[kScreen], unreadable[kScreen];
    for (auto _ : state) {
        source.Read(offset, out, kScreen, unreadable);
        benchmark::DoNotOptimize(out);
    }
    CheckMeasured(state, source.Changes().ChangedBytes() == count
                             ? nullptr
                             : "the changes were not all held");
}

} // namespace

BENCHMARK(BM_Find8GiBForward_Chunked)
    ->Name("large_file/find_8GiB_forward")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_Find8GiBBackward_Chunked)
    ->Name("large_file/find_8GiB_backward")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_Read8GiB_PlainLoop)
    ->Name("large_file/read_8GiB_1MiB_loop")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_FindBlock_Chunked)
    ->Name("large_file/find_64MiB_block_chunked")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindBlock_FindForward)
    ->Name("large_file/find_64MiB_block_FindForward")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScreenRead_CacheHit)->Name("large_file/screen_cache_hit")->Arg(0)->Arg(65500);
BENCHMARK(BM_ScreenRead_CacheMiss)->Name("large_file/screen_cache_miss");
BENCHMARK(BM_ScreenRead_WithChanges)
    ->Name("large_file/screen_with_changes")
    ->Arg(1000)
    ->Arg(1000000);
