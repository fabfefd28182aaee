// F3 and Shift+F3 through the real view in a 1 GiB buffer with the needle absent: random bytes
// with an 8-byte text, and zero bytes with fifteen 00 and one 01 typed as hexadecimal digits
// (the text of those digits is searched too). Against the C runtime's memchr + memcmp over the
// same bytes in the same process; compare the GiB/s with the native glibc figures of
// core_bench. The "not found" box of each search is answered at once; each search timed must
// show it, and afterwards finds the needle planted at the far end, so it scanned every byte.
#include <cstdio>
#include <cmath>
#include <cstring>
#include <vector>

#include "bench_timer.h"
#include "bench/memchr_scan.h"
#include "hexedit/core/byte_buffer.h"
#include "hexedit/core/find_rules.h"
#include "support/test_window.h"

namespace {

constexpr int32_t kGiB = 1 << 30;

HHOOK g_hook = nullptr;
int g_boxes = 0;

// Presses OK on every message box of this thread as it opens.
LRESULT CALLBACK AnswerBoxes(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        HWND window = reinterpret_cast<HWND>(wParam);
        wchar_t name[16] = {};
        GetClassNameW(window, name, 16);
        if (std::wcscmp(name, L"#32770") == 0 && ++g_boxes)
            PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }
    return CallNextHookEx(g_hook, code, wParam, lParam);
}

void Load(CHexEdit& editor, bool random) {
    GuardedFree(editor.buffer);
    editor.buffer = static_cast<uint8_t*>(GuardedAlloc(kGiB));
    if (random) {
        uint64_t state = 0x9E3779B97F4A7C15ull;
        for (int32_t i = 0; i < kGiB; i += 8) {
            state ^= state << 13;
            state ^= state >> 7;
            state ^= state << 17;
            std::memcpy(editor.buffer + i, &state, 8);
        }
    } else {
        std::memset(editor.buffer, 0, kGiB);
    }
    editor.length = kGiB;
    editor.topOffset = 0;
    editor.SetSelection(-1, -1);
    editor.UpdateScrollBar();
}

// Milliseconds of CPU this thread has used: on a shared machine the wall clock also counts
// the other processes' turns.
double ThreadCpuMs() {
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    const auto ms = [](const FILETIME& t) {
        return static_cast<double>((static_cast<uint64_t>(t.dwHighDateTime) << 32) |
                                   t.dwLowDateTime) /
               1e4;
    };
    return ms(kernel) + ms(user);
}

struct Measured {
    Timing wall;
    double cpuMs; // average per run
};

template <typename Body, typename Check> Measured Measure(int runs, Body body, Check check) {
    const double cpu0 = ThreadCpuMs();
    const Timing wall = TimeRuns(runs, body, check);
    return {wall, (ThreadCpuMs() - cpu0) / runs};
}

// A check for a search of an absent needle: null when it ended in the "not found" box.
auto NotFoundBox() {
    return [boxes = g_boxes]() mutable -> const char* {
        const bool shown = g_boxes > boxes;
        boxes = g_boxes;
        return shown ? nullptr : "the search did not end in the not found box";
    };
}

// Null when the key finds `needle` planted at `at` (the far end of the scan) and selects it;
// the bytes there are put back afterwards.
const char* FindsPlanted(TestPage& page, const uint8_t* needle, int32_t n, int32_t at,
                         bool backwards) {
    CHexEdit& editor = page.editor();
    std::vector<uint8_t> kept(editor.buffer + at, editor.buffer + at + n);
    std::memcpy(editor.buffer + at, needle, static_cast<size_t>(n));
    editor.SetSelection(-1, -1);
    editor.caretOffset = backwards ? editor.length : 0;
    page.Key(VK_F3, backwards);
    std::memcpy(editor.buffer + at, kept.data(), static_cast<size_t>(n));
    const bool found = editor.selAnchor == at && editor.selEnd == at + n - 1;
    editor.SetSelection(-1, -1);
    return found ? nullptr : "the search does not find the needle at the far end";
}

// The figure, unless `missing` says the search it stands for did not do its work.
Measured Checked(Measured m, const char* missing) {
    if (missing && !m.wall.missing)
        m.wall = NotMeasured(missing);
    return m;
}

// F3 (or Shift+F3) from the near end of the buffer, where `needle` is absent: each search must
// end in the not-found box, and the same key then finds the needle planted at the far end.
Measured TimeF3(TestPage& page, int runs, bool backwards, const uint8_t* needle, int32_t n) {
    CHexEdit& editor = page.editor();
    const Measured m = Measure(
        runs,
        [&] {
            editor.caretOffset = backwards ? editor.length : 0;
            page.Key(VK_F3, backwards);
        },
        NotFoundBox());
    return Checked(m, FindsPlanted(page, needle, n, backwards ? 0 : editor.length - n, backwards));
}

void PrintRate(const char* name, const Measured& m) {
    if (m.wall.missing)
        return PrintNotMeasured(name, m.wall.missing);
    std::printf("%-48s wall best %8.1f ms median %8.1f ms (%5.2f GiB/s)   cpu %8.1f ms (%5.2f "
                "GiB/s)\n",
                name, m.wall.best, m.wall.median, 1000.0 / m.wall.best, m.cpuMs, 1000.0 / m.cpuMs);
    std::fflush(stdout);
}

volatile int64_t g_sink = 0;

void PrintSpeedRatio(const char* name, double oursMs, double referenceMs) {
    if (std::isnan(oursMs) || std::isnan(referenceMs))
        return PrintNotMeasured(name, "made from a figure not measured");
    std::printf("%-48s %.2fx the speed of the reference\n", name, referenceMs / oursMs);
    std::fflush(stdout);
}

} // namespace

int main() {
    g_hook = SetWindowsHookExW(WH_CBT, AnswerBoxes, nullptr, GetCurrentThreadId());
    TestPage page;
    page.Attach();
    CHexEdit& editor = page.editor();
    constexpr int kRuns = 7;

    Load(editor, true);
    const uint8_t needle[] = "nothere!";
    const Measured crt = Measure(
        3, [&] { g_sink = MemchrScan(editor.buffer, kGiB, needle, 8); },
        []() -> const char* { return g_sink == -1 ? nullptr : "the needle was found"; });
    PrintRate("C runtime memchr + memcmp, random 1 GiB", crt);
    editing::BuildFindPatterns(editor, "nothere!");
    const Measured forwards = TimeF3(page, kRuns, false, needle, 8);
    PrintRate("F3, random 1 GiB, 8-byte text absent", forwards);
    PrintRate("Shift+F3, random 1 GiB, 8-byte text absent", TimeF3(page, kRuns, true, needle, 8));
    editor.SetSelection(-1, -1);
    editing::FindOutcome outcome = editing::FindOutcome::Found;
    const Measured searchOnly = Measure(
        kRuns,
        [&] {
            editor.caretOffset = 0;
            outcome = editing::FindNextMatch(editor, 1);
        },
        [&]() -> const char* {
            return outcome == editing::FindOutcome::NotFound ? nullptr : "the search found";
        });
    PrintRate("the search alone (no box), forwards", searchOnly);
    PrintSpeedRatio("F3 against the C runtime's memchr + memcmp", forwards.wall.best,
                    crt.wall.best);

    // Hexadecimal input whose bytes stand near the caret while its text is absent: the text
    // search stops at the byte match.
    const uint8_t planted[] = {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0};
    std::memcpy(editor.buffer + 4096, planted, 8);
    editing::BuildFindPatterns(editor, "123456789abcdef0");
    const Measured nearMatch = Measure(
        kRuns,
        [&] {
            editor.caretOffset = 0;
            editor.SetSelection(-1, -1);
            page.Key(VK_F3, false);
        },
        [&]() -> const char* {
            return editor.selAnchor == 4096 ? nullptr : "the bytes at 4 KiB were not found";
        });
    PrintTiming("F3, bytes at 4 KiB, their text absent", nearMatch.wall);

    Load(editor, false);
    editing::BuildFindPatterns(editor, "00000000000000000000000000000001");
    uint8_t zerosThenOne[16] = {};
    zerosThenOne[15] = 1;
    PrintRate("F3, zero 1 GiB, fifteen 00 and 01 (+ its text)",
              TimeF3(page, kRuns, false, zerosThenOne, 16));
    PrintRate("Shift+F3, zero 1 GiB, fifteen 00 and 01",
              TimeF3(page, kRuns, true, zerosThenOne, 16));

    GuardedFree(editor.buffer);
    editor.buffer = nullptr;
    editor.length = 0;
    UnhookWindowsHookEx(g_hook);
    return BenchExitCode();
}
