#include <benchmark/benchmark.h>

#include <cstring>

#include "hexedit/core/byte_buffer.h"
#include "not_measured.h"

// Growing the exact-size buffer by one byte at its end: the heap usually extends in place.
static void BM_GrowByOneAtEnd(benchmark::State& state) {
    uint8_t* buffer = nullptr;
    int32_t length = 0;
    ResizeExact(buffer, length, static_cast<int32_t>(state.range(0)));
    for (auto _ : state) {
        ResizeExact(buffer, length, 1);
        benchmark::DoNotOptimize(buffer);
    }
    const bool grew = buffer && length == state.range(0) + static_cast<int64_t>(state.iterations());
    GuardedFree(buffer);
    CheckMeasured(state, grew ? nullptr : "the buffer did not grow by a byte a run");
}
BENCHMARK(BM_GrowByOneAtEnd)->Arg(1 << 20)->Arg(1 << 30)->Iterations(1000);
