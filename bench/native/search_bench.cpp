// Find in a 1 GiB buffer with the needle absent, forwards and backwards, against glibc's
// memchr + memcmp (forwards), memrchr + memcmp (backwards) and memmem over the same bytes; and
// the worst case for a first-byte scan: zero bytes against fifteen 00 and one 01. Each search
// must miss, and afterwards find the needle planted at the far end of its scan.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string.h>
#include <vector>

#include "bench/memchr_scan.h"
#include "bench/random_bytes.h"
#include "hexedit/core/byte_search.h"
#include "not_measured.h"

namespace {

constexpr int32_t kGiB = 1 << 30;

// The buffers are shared by the benchmarks; only the planted check changes them, and puts the
// bytes back.
std::vector<uint8_t>& RandomGiB() {
    static std::vector<uint8_t> bytes = RandomBytes(kGiB);
    return bytes;
}

std::vector<uint8_t>& ZeroGiB() {
    static std::vector<uint8_t> bytes(kGiB, 0);
    return bytes;
}

// Eight bytes absent from the random buffer (each search checks that it missed them).
const uint8_t kAbsent[8] = {'n', 'o', 't', 'h', 'e', 'r', 'e', '!'};

const uint8_t kZerosThenOne[16] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};

int64_t MemrchrScan(const uint8_t* data, size_t length, const uint8_t* pattern, size_t m) {
    size_t candidates = length - m + 1; // positions 0 .. candidates - 1
    while (candidates > 0) {
        const void* hit = memrchr(data, pattern[0], candidates);
        if (!hit)
            return -1;
        const uint8_t* at = static_cast<const uint8_t*>(hit);
        if (std::memcmp(at, pattern, m) == 0)
            return at - data;
        candidates = static_cast<size_t>(at - data);
    }
    return -1;
}

// Null when `find` reports `needle` planted at `at`, the far end of its scan; the bytes there
// are put back.
template <typename Find>
const char* FindsPlanted(std::vector<uint8_t>& b, const uint8_t* needle, size_t m, size_t at,
                         Find find) {
    std::vector<uint8_t> kept(b.begin() + static_cast<std::ptrdiff_t>(at),
                              b.begin() + static_cast<std::ptrdiff_t>(at + m));
    std::memcpy(b.data() + at, needle, m);
    const int64_t found = find(b.data());
    std::memcpy(b.data() + at, kept.data(), m);
    return found == static_cast<int64_t>(at) ? nullptr : "the needle at the far end was not found";
}

// Times `find` over `b`, where `needle` is absent; `backwards` says where its scan ends.
template <typename Find>
void Scan(benchmark::State& state, std::vector<uint8_t>& b, const uint8_t* needle, size_t m,
          bool backwards, Find find) {
    int64_t r = 0;
    for (auto _ : state) {
        r = find(b.data());
        benchmark::DoNotOptimize(r);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kGiB);
    CheckMeasured(state, r != -1 ? "the absent needle was found"
                                 : FindsPlanted(b, needle, m, backwards ? 0 : kGiB - m, find));
}

void BM_RandomForward_FindForward(benchmark::State& state) {
    Scan(state, RandomGiB(), kAbsent, 8, false,
         [](const uint8_t* d) { return search::FindForward(d, kGiB, 0, kAbsent, 8); });
}

void BM_RandomForward_MemchrMemcmp(benchmark::State& state) {
    Scan(state, RandomGiB(), kAbsent, 8, false,
         [](const uint8_t* d) { return MemchrScan(d, kGiB, kAbsent, 8); });
}

void BM_RandomBackward_FindBackward(benchmark::State& state) {
    Scan(state, RandomGiB(), kAbsent, 8, true,
         [](const uint8_t* d) { return search::FindBackward(d, kGiB, kGiB, kAbsent, 8); });
}

void BM_RandomBackward_MemrchrMemcmp(benchmark::State& state) {
    Scan(state, RandomGiB(), kAbsent, 8, true,
         [](const uint8_t* d) { return MemrchrScan(d, kGiB, kAbsent, 8); });
}

void BM_ZerosForward_FindForward(benchmark::State& state) {
    Scan(state, ZeroGiB(), kZerosThenOne, 16, false,
         [](const uint8_t* d) { return search::FindForward(d, kGiB, 0, kZerosThenOne, 16); });
}

void BM_ZerosBackward_FindBackward(benchmark::State& state) {
    Scan(state, ZeroGiB(), kZerosThenOne, 16, true,
         [](const uint8_t* d) { return search::FindBackward(d, kGiB, kGiB, kZerosThenOne, 16); });
}

void BM_ZerosForward_Memmem(benchmark::State& state) {
    Scan(state, ZeroGiB(), kZerosThenOne, 16, false, [](const uint8_t* d) -> int64_t {
        const void* hit = memmem(d, kGiB, kZerosThenOne, 16);
        return hit ? static_cast<const uint8_t*>(hit) - d : -1;
    });
}

} // namespace

BENCHMARK(BM_RandomForward_FindForward)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_RandomForward_MemchrMemcmp)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_RandomBackward_FindBackward)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_RandomBackward_MemrchrMemcmp)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ZerosForward_FindForward)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ZerosBackward_FindBackward)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ZerosForward_Memmem)->Unit(benchmark::kMillisecond)->MinTime(2.0);
