// Typing into a 1 GiB buffer that is always exactly `length` bytes: one inserted byte at
// offset 0 costs a move of the whole tail; bytes typed at the end position should only cost
// the heap's one-byte growth. Compare both against one memmove of 1 GiB in the same run. Each
// is checked for the bytes it should have moved or typed.
#include <benchmark/benchmark.h>

#include <cstring>

#include "not_measured.h"
#include "tests/support/model_editor.h"

namespace {

constexpr int32_t kGiB = 1 << 30;

// A 1 GiB editor whose pages have all been touched, so first-touch faults aren't timed.
void LoadGiB(ModelEditor& e) {
    e.buffer = static_cast<uint8_t*>(GuardedAlloc(kGiB));
    std::memset(e.buffer, 0x5A, kGiB);
    e.length = kGiB;
    e.UpdateScrollBar();
}

void MemmoveOneGiB(benchmark::State& state) {
    auto* block = static_cast<uint8_t*>(GuardedAlloc(kGiB + 1));
    std::memset(block, 0x5A, kGiB + 1);
    block[0] = 0x11;
    for (auto _ : state) {
        std::memmove(block + 1, block, kGiB);
        benchmark::ClobberMemory();
    }
    // After n moves the first n + 1 bytes hold the first byte.
    const auto n = static_cast<size_t>(state.iterations());
    const bool moved = block[n] == 0x11 && block[n + 1] == 0x5A;
    GuardedFree(block);
    CheckMeasured(state, moved ? nullptr : "memmove moved nothing");
}
BENCHMARK(MemmoveOneGiB)->Name("typing/memmove_1GiB")->Unit(benchmark::kMillisecond)->Iterations(5);

// One hex digit typed in insert mode at offset 0 opens a byte there.
void KeystrokeAtStartOfGiB(benchmark::State& state) {
    ModelEditor e;
    LoadGiB(e);
    e.overwriteMode = 0;
    for (auto _ : state) {
        e.caretOffset = 0;
        e.caretPane = kHexHigh;
        e.Char('4');
        benchmark::ClobberMemory();
    }
    const int64_t opened = e.length - int64_t{kGiB};
    const bool typed = opened == static_cast<int64_t>(state.iterations()) && e.buffer[0] == 0x40 &&
                       e.buffer[opened] == 0x5A;
    CheckMeasured(state, typed ? nullptr : "the keystrokes inserted no 0x40 at offset 0");
}
BENCHMARK(KeystrokeAtStartOfGiB)
    ->Name("typing/insert_at_offset_0_of_1GiB")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

// 1000 characters typed at the end position; reports the share of one-byte growths that the
// heap did without moving the block.
void ThousandKeystrokesAtEndOfGiB(benchmark::State& state) {
    ModelEditor e;
    LoadGiB(e);
    e.caretPane = kTextPane;
    int64_t growths = 0;
    int64_t inPlace = 0;
    for (auto _ : state) {
        e.Key(editing::keys::kEnd, false, true);
        for (int i = 0; i < 1000; ++i) {
            const uint8_t* before = e.buffer;
            e.Char('x');
            ++growths;
            inPlace += e.buffer == before;
        }
        benchmark::ClobberMemory();
    }
    state.counters["s_per_keystroke"] = benchmark::Counter(
        static_cast<double>(growths), benchmark::Counter::kIsRate | benchmark::Counter::kInvert,
        benchmark::Counter::OneK::kIs1000);
    state.counters["in_place_share"] = static_cast<double>(inPlace) / static_cast<double>(growths);
    const bool typed =
        e.length == kGiB + growths && e.buffer[kGiB] == 'x' && e.buffer[e.length - 1] == 'x';
    CheckMeasured(state, typed ? nullptr : "the keystrokes did not add an x each at the end");
}
BENCHMARK(ThousandKeystrokesAtEndOfGiB)
    ->Name("typing/1000_at_end_of_1GiB")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

} // namespace
