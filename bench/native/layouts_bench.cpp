// The clipboard texts of a 256 MiB selection (Hex, CArray, View; the characters and View also
// with their Unicode text, as a copy writes them), and in the same run xxd
// making its nearest texts of the same bytes from a file in tmpfs, output to /dev/null:
// `xxd -p` for Hex, `xxd -i` for CArray, `xxd -g1` for View. xxd's time is the CPU time
// (user + system) its process used, so a busy machine doesn't tilt the comparison: hold it
// against the CPU column of our layouts. Skipped when xxd or /dev/shm is missing. Each text
// must have come out whole: NUL-ended where its writer says, a character a byte at least, and
// a text written in steps the same as the single call's.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "hexedit/core/byte_buffer.h"
#include "hexedit/core/chunked_layouts.h"
#include "hexedit/core/code_page_1252.h"
#include "hexedit/core/copy_layouts.h"
#include "not_measured.h"

namespace {

constexpr uint64_t kBytes = 256ull << 20;
constexpr char kShmFile[] = "/dev/shm/propweave-layouts-bench.bin";

// Bytes of every value, in an order the branch predictor can't learn.
const uint8_t* Selection() {
    static uint8_t* bytes = [] {
        auto* b = static_cast<uint8_t*>(GuardedAlloc(kBytes));
        uint32_t x = 2463534242u;
        for (uint64_t i = 0; i < kBytes; ++i) {
            x ^= x << 13;
            x ^= x >> 17;
            x ^= x << 5;
            b[i] = static_cast<uint8_t>(x);
        }
        return b;
    }();
    return bytes;
}

// Null when `out` holds a whole text of `length` characters of the selection.
const char* WholeText(const char* out, uint64_t length) {
    return length >= kBytes && std::strlen(out) == length ? nullptr : "the text is not whole";
}

// Times `write`, which returns the text's length; `check(out, length)` looks at the text after.
template <class Size, class Write, class Check>
void Layout(benchmark::State& state, Size size, Write write, Check check) {
    const uint8_t* bytes = Selection();
    char* out = static_cast<char*>(GuardedAlloc(size(kBytes)));
    std::memset(out, 0, size(kBytes)); // first touch outside the timing
    uint64_t length = 0;
    for (auto _ : state) {
        length = write(bytes, kBytes, out);
        benchmark::DoNotOptimize(length);
        benchmark::ClobberMemory();
    }
    CheckMeasured(state, check(out, length));
    GuardedFree(out);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBytes));
}

template <class Size, class Write> void Layout(benchmark::State& state, Size size, Write write) {
    Layout(state, size, write, WholeText);
}

void Hex(benchmark::State& state) {
    Layout(state, layouts::HexBlockSize, layouts::WriteHex);
}
void CArray(benchmark::State& state) {
    Layout(state, layouts::CArrayWorkingSize, layouts::WriteCArray);
}
void View(benchmark::State& state) {
    Layout(state, layouts::ViewWorkingSize, [](const uint8_t* b, uint64_t n, char* out) {
        return layouts::WriteView(b, n, 0, out);
    });
}

void Chars(benchmark::State& state) {
    Layout(state, layouts::CharBlockSize, layouts::WriteChars);
}

// Null when `out` holds the same text as the single call `write` makes of the selection.
template <class Write> const char* SameAsSingleCall(const char* out, Write write) {
    // The View's working size is the largest of the three layouts' single-call blocks.
    char* whole = static_cast<char*>(GuardedAlloc(layouts::ViewWorkingSize(kBytes)));
    const uint64_t length = write(Selection(), kBytes, whole);
    const bool same = std::memcmp(out, whole, length + 1) == 0;
    GuardedFree(whole);
    return same ? nullptr : "the steps did not write the single call's text";
}

// The same texts as a long copy writes them, a step at a time into the exact block.
template <layouts::Chunked kLayout, class Write>
void Steps(benchmark::State& state, Write singleCall) {
    const auto size = [](uint64_t n) { return layouts::ChunkedBlockSize({kLayout, n, 0}); };
    Layout(
        state, size,
        [](const uint8_t* b, uint64_t n, char* out) {
            for (uint64_t from = 0; from < n; from += layouts::kCopyStepBytes)
                layouts::WriteStep({kLayout, n, 0}, b, from,
                                   std::min(layouts::kCopyStepBytes, n - from), out);
            return n;
        },
        [&](const char* out, uint64_t) { return SameAsSingleCall(out, singleCall); });
}

void HexSteps(benchmark::State& state) {
    Steps<layouts::Chunked::Hex>(state, layouts::WriteHex);
}
void CharsSteps(benchmark::State& state) {
    Steps<layouts::Chunked::Chars>(state, layouts::WriteChars);
}
void ViewSteps(benchmark::State& state) {
    Steps<layouts::Chunked::View>(state, [](const uint8_t* b, uint64_t n, char* out) {
        return layouts::WriteView(b, n, 0, out);
    });
}

// The same steps with the Unicode text beside them, as a copy of characters writes both.
template <layouts::Chunked kLayout, class Write>
void WideSteps(benchmark::State& state, Write singleCall) {
    std::vector<char16_t> wide(layouts::ChunkedBlockSize({kLayout, kBytes, 0})); // touched here
    Layout(
        state,
        [](uint64_t n) {
            return layouts::ChunkedBlockSize({kLayout, n, 0});
        },
        [&wide](const uint8_t* b, uint64_t n, char* out) {
            for (uint64_t from = 0; from < n; from += layouts::kCopyStepBytes) {
                const uint64_t count = std::min(layouts::kCopyStepBytes, n - from);
                layouts::WriteStep({kLayout, n, 0}, b, from, count, out);
                layouts::WidenStep({kLayout, n, 0}, from, count, out, wide.data());
            }
            return n;
        },
        [&](const char* out, uint64_t) -> const char* {
            if (const char* missing = SameAsSingleCall(out, singleCall))
                return missing;
            // The Unicode text is the 8-bit one, character for character, to its NUL.
            const size_t length = std::strlen(out);
            for (size_t i = 0; i <= length; ++i)
                if (wide[i] != cp1252::CharOf(static_cast<uint8_t>(out[i])))
                    return "the Unicode text is not the view's characters";
            return nullptr;
        });
}

void CharsWideSteps(benchmark::State& state) {
    WideSteps<layouts::Chunked::Chars>(state, layouts::WriteChars);
}
void ViewWideSteps(benchmark::State& state) {
    WideSteps<layouts::Chunked::View>(state, [](const uint8_t* b, uint64_t n, char* out) {
        return layouts::WriteView(b, n, 0, out);
    });
}

bool WriteShmFile() {
    static const bool written = [] {
        std::FILE* f = std::fopen(kShmFile, "wb");
        if (!f)
            return false;
        const bool ok = std::fwrite(Selection(), 1, kBytes, f) == kBytes;
        return std::fclose(f) == 0 && ok;
    }();
    return written;
}

// User and system time of every child that has finished so far.
double ChildCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void Xxd(benchmark::State& state, const char* options) {
    if (std::system("command -v xxd >/dev/null 2>&1") != 0 || !WriteShmFile()) {
        state.SkipWithError("xxd or /dev/shm missing");
        return;
    }
    const std::string command = std::string("xxd ") + options + " " + kShmFile + " >/dev/null";
    for (auto _ : state) {
        const double before = ChildCpuSeconds();
        const int result = std::system(command.c_str());
        const double used = ChildCpuSeconds() - before;
        if (result != 0) {
            CheckMeasured(state, "xxd failed");
            break;
        }
        state.SetIterationTime(used);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBytes));
}

void XxdPlain(benchmark::State& state) {
    Xxd(state, "-p");
}
void XxdInclude(benchmark::State& state) {
    Xxd(state, "-i");
}
void XxdGroups(benchmark::State& state) {
    Xxd(state, "-g1");
}

// Removes the tmpfs file once every benchmark has run.
struct ShmFileRemover {
    ~ShmFileRemover() { std::remove(kShmFile); }
} g_remover;

} // namespace

BENCHMARK(Hex)->Name("layouts/hex_256MiB")->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(HexSteps)->Name("layouts/hex_steps_256MiB")->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(Chars)->Name("layouts/chars_256MiB")->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(CharsSteps)
    ->Name("layouts/chars_steps_256MiB")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK(CharsWideSteps)
    ->Name("layouts/chars_steps_with_unicode_256MiB")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK(XxdPlain)
    ->Name("layouts/xxd_p_256MiB")
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(2);
BENCHMARK(CArray)->Name("layouts/carray_256MiB")->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(XxdInclude)
    ->Name("layouts/xxd_i_256MiB")
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1);
BENCHMARK(View)->Name("layouts/view_256MiB")->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(ViewSteps)
    ->Name("layouts/view_steps_256MiB")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK(ViewWideSteps)
    ->Name("layouts/view_steps_with_unicode_256MiB")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK(XxdGroups)
    ->Name("layouts/xxd_g1_256MiB")
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1);
