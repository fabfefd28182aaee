// core_bench's entry point: Google Benchmark's own, but exiting non-zero when a figure was
// not measured.
#include <benchmark/benchmark.h>

#include "not_measured.h"

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return g_notMeasured ? 1 : 0;
}
