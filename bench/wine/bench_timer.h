// Timing for the benchmarks that run under Wine: wall-clock milliseconds from the
// performance counter, best and median of several runs. A figure counts only when the
// operation timed did its work: otherwise it is printed as NOT MEASURED, as is every ratio
// made from it, and the harness exits non-zero (BenchExitCode).
#pragma once

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <vector>

inline double NowMs() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Whether a figure of this run was printed as not measured.
inline bool g_notMeasured = false;

inline int BenchExitCode() {
    return g_notMeasured ? 1 : 0;
}

// What an unmeasured figure prints instead of a number; `why` says what the operation failed
// to do.
inline void PrintNotMeasured(const char* name, const char* why) {
    g_notMeasured = true;
    std::printf("%-48s NOT MEASURED (%s)\n", name, why);
    std::fflush(stdout);
}

struct Timing {
    double best;
    double median;
    // Null when every run did its work; otherwise what one did not do, and both figures NaN,
    // so that nothing computed from them passes for a measurement.
    const char* missing = nullptr;
};

inline Timing NotMeasured(const char* why) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    return {nan, nan, why};
}

// Best and median of samples taken one by one; `missing` as in Timing.
inline Timing Summary(std::vector<double> samples, const char* missing = nullptr) {
    if (missing || samples.empty())
        return NotMeasured(missing ? missing : "no run");
    std::sort(samples.begin(), samples.end());
    return {samples.front(), samples[samples.size() / 2]};
}

// Runs timed one at a time, between other work, each with whether it did its work.
struct Samples {
    std::vector<double> ms;
    const char* missing = nullptr; // the first run's that did not do its work

    // Times `body`, which returns whether its calls succeeded; `check`, after it and outside
    // the timing, returns null when the run did its work and what it failed to do otherwise.
    template <typename Body, typename Check> void Time(Body body, Check check) {
        const double start = NowMs();
        const bool succeeded = body();
        const double elapsed = NowMs() - start; // before the check, which is not timed
        Add(elapsed, succeeded ? check() : "a call failed");
    }
    // Where the call's own result says it all.
    template <typename Body> void Time(Body body) {
        Time(body, []() -> const char* { return nullptr; });
    }
    void Add(double sample, const char* runMissing) {
        ms.push_back(sample);
        if (!missing)
            missing = runMissing;
    }
    Timing Of() const { return Summary(ms, missing); }
};

// Runs `body` `runs` times and returns the best and median duration in milliseconds. After
// each run, outside the timing, `check` returns null when the run did its work and what it
// failed to do otherwise.
template <typename Body, typename Check> Timing TimeRuns(int runs, Body body, Check check) {
    Samples samples;
    for (int i = 0; i < runs && !samples.missing; ++i)
        samples.Time(
            [&] {
                body();
                return true;
            },
            check);
    return samples.Of();
}

inline void PrintTiming(const char* name, const Timing& t) {
    if (t.missing)
        return PrintNotMeasured(name, t.missing);
    std::printf("%-48s best %10.3f ms   median %10.3f ms\n", name, t.best, t.median);
    std::fflush(stdout);
}

// A ratio without a target.
inline void PrintFactor(const char* name, double ours, double reference) {
    if (std::isnan(ours) || std::isnan(reference))
        return PrintNotMeasured(name, "made from a figure not measured");
    std::printf("%-48s %.3fx\n", name, ours / reference);
    std::fflush(stdout);
}

inline void PrintRatio(const char* name, double ours, double reference, double target) {
    if (std::isnan(ours) || std::isnan(reference))
        return PrintNotMeasured(name, "made from a figure not measured");
    std::printf("%-48s %.3fx (target <= %.2fx) %s\n", name, ours / reference, target,
                ours / reference <= target ? "met" : "NOT MET");
    std::fflush(stdout);
}
