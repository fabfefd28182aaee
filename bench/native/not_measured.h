// A figure counts only when the operation timed did its work. Where it did not, the benchmark
// is skipped with NOT MEASURED in place of its figures, and core_bench exits non-zero.
#pragma once

#include <benchmark/benchmark.h>

#include <string>

inline int g_notMeasured = 0;

// Skips the benchmark's figures when `missing` (what the operation failed to do) is not null.
inline void CheckMeasured(benchmark::State& state, const char* missing) {
    if (!missing)
        return;
    ++g_notMeasured;
    state.SkipWithError((std::string("NOT MEASURED: ") + missing).c_str());
}
