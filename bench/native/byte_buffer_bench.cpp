#include <benchmark/benchmark.h>

#include <cstring>

#include "hexedit/core/byte_buffer.h"

// Growing the exact-size buffer by one byte at its end: the heap usually extends in place.
static void BM_GrowByOneAtEnd(benchmark::State& state) {
    uint8_t* buffer = nullptr;
    int32_t length = 0;
    ResizeExact(buffer, length, static_cast<int32_t>(state.range(0)));
    for (auto _ : state) {
        ResizeExact(buffer, length, 1);
        benchmark::DoNotOptimize(buffer);
    }
    GuardedFree(buffer);
}
BENCHMARK(BM_GrowByOneAtEnd)->Arg(1 << 20)->Arg(1 << 30)->Iterations(1000);
