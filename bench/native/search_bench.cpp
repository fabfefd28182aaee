// Find in a 1 GiB buffer with the needle absent, forwards and backwards, against glibc's
// memchr + memcmp (forwards), memrchr + memcmp (backwards) and memmem over the same bytes; and
// the worst case for a first-byte scan: zero bytes against fifteen 00 and one 01.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string.h>
#include <vector>

#include "bench/memchr_scan.h"
#include "bench/random_bytes.h"
#include "hexedit/core/byte_search.h"

namespace {

constexpr int32_t kGiB = 1 << 30;

const std::vector<uint8_t>& RandomGiB() {
    static const std::vector<uint8_t> bytes = RandomBytes(kGiB);
    return bytes;
}

const std::vector<uint8_t>& ZeroGiB() {
    static const std::vector<uint8_t> bytes(kGiB, 0);
    return bytes;
}

// Eight bytes that a check at start-up finds absent from the random buffer.
const uint8_t kAbsent[8] = {'n', 'o', 't', 'h', 'e', 'r', 'e', '!'};

std::vector<uint8_t> ZerosThenOne() {
    std::vector<uint8_t> pattern(16, 0);
    pattern[15] = 1;
    return pattern;
}

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

void Report(benchmark::State& state, int64_t result) {
    if (result != -1)
        state.SkipWithError("the needle was found");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kGiB);
}

void BM_RandomForward_FindForward(benchmark::State& state) {
    const auto& b = RandomGiB();
    int64_t r = 0;
    for (auto _ : state) {
        r = search::FindForward(b.data(), kGiB, 0, kAbsent, 8);
        benchmark::DoNotOptimize(r);
    }
    Report(state, r);
}

void BM_RandomForward_MemchrMemcmp(benchmark::State& state) {
    const auto& b = RandomGiB();
    int64_t r = 0;
    for (auto _ : state) {
        r = MemchrScan(b.data(), kGiB, kAbsent, 8);
        benchmark::DoNotOptimize(r);
    }
    Report(state, r);
}

void BM_RandomBackward_FindBackward(benchmark::State& state) {
    const auto& b = RandomGiB();
    int64_t r = 0;
    for (auto _ : state) {
        r = search::FindBackward(b.data(), kGiB, kGiB, kAbsent, 8);
        benchmark::DoNotOptimize(r);
    }
    Report(state, r);
}

void BM_RandomBackward_MemrchrMemcmp(benchmark::State& state) {
    const auto& b = RandomGiB();
    int64_t r = 0;
    for (auto _ : state) {
        r = MemrchrScan(b.data(), kGiB, kAbsent, 8);
        benchmark::DoNotOptimize(r);
    }
    Report(state, r);
}

void BM_ZerosForward_FindForward(benchmark::State& state) {
    const auto& b = ZeroGiB();
    const auto pattern = ZerosThenOne();
    int64_t r = 0;
    for (auto _ : state) {
        r = search::FindForward(b.data(), kGiB, 0, pattern.data(), 16);
        benchmark::DoNotOptimize(r);
    }
    Report(state, r);
}

void BM_ZerosBackward_FindBackward(benchmark::State& state) {
    const auto& b = ZeroGiB();
    const auto pattern = ZerosThenOne();
    int64_t r = 0;
    for (auto _ : state) {
        r = search::FindBackward(b.data(), kGiB, kGiB, pattern.data(), 16);
        benchmark::DoNotOptimize(r);
    }
    Report(state, r);
}

void BM_ZerosForward_Memmem(benchmark::State& state) {
    const auto& b = ZeroGiB();
    const auto pattern = ZerosThenOne();
    int64_t r = 0;
    for (auto _ : state) {
        const void* hit = memmem(b.data(), kGiB, pattern.data(), 16);
        r = hit ? static_cast<const uint8_t*>(hit) - b.data() : -1;
        benchmark::DoNotOptimize(r);
    }
    Report(state, r);
}

} // namespace

BENCHMARK(BM_RandomForward_FindForward)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_RandomForward_MemchrMemcmp)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_RandomBackward_FindBackward)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_RandomBackward_MemrchrMemcmp)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ZerosForward_FindForward)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ZerosBackward_FindBackward)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ZerosForward_Memmem)->Unit(benchmark::kMillisecond)->MinTime(2.0);
