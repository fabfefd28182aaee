// Timing for the benchmarks that run under Wine: wall-clock milliseconds from the
// performance counter, best and median of several runs.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

inline double NowMs() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct Timing {
    double best;
    double median;
};

// Runs `body` `runs` times and returns the best and median duration in milliseconds.
template <typename Body> Timing TimeRuns(int runs, Body body) {
    std::vector<double> samples;
    for (int i = 0; i < runs; ++i) {
        const double start = NowMs();
        body();
        samples.push_back(NowMs() - start);
    }
    std::sort(samples.begin(), samples.end());
    return {samples.front(), samples[samples.size() / 2]};
}

inline void PrintTiming(const char* name, const Timing& t) {
    std::printf("%-48s best %10.3f ms   median %10.3f ms\n", name, t.best, t.median);
    std::fflush(stdout);
}

inline void PrintRatio(const char* name, double ours, double reference, double target) {
    std::printf("%-48s %.3fx (target <= %.2fx) %s\n", name, ours / reference, target,
                ours / reference <= target ? "met" : "NOT MET");
    std::fflush(stdout);
}
