// Typing into a 1 GiB buffer through the real control: one byte inserted at offset 0 (a move
// of the whole tail) against one memmove of 1 GiB in the same run, and 1000 characters typed
// at the end position, with the share of one-byte growths the heap did in place; arrow keys at
// the end position through the window procedure.
#include <cstdio>
#include <cstring>

#include "bench_timer.h"
#include "hexedit/core/byte_buffer.h"
#include "support/test_window.h"

namespace {

constexpr int32_t kGiB = 1 << 30;

void LoadGiB(CHexEdit& editor) {
    GuardedFree(editor.buffer);
    editor.buffer = static_cast<uint8_t*>(GuardedAlloc(kGiB));
    std::memset(editor.buffer, 0x5A, kGiB); // touch every page before timing
    editor.length = kGiB;
    editor.caretOffset = 0;
    editor.caretPane = 2;
    editor.topOffset = 0;
    editor.UpdateScrollBar();
}

} // namespace

int main() {
    TestPage page;
    page.Attach();
    CHexEdit& editor = page.editor();

    const Timing move = [] {
        auto* block = static_cast<uint8_t*>(GuardedAlloc(kGiB + 1));
        std::memset(block, 0x5A, kGiB + 1);
        const Timing t = TimeRuns(3, [&] { std::memmove(block + 1, block, kGiB); });
        GuardedFree(block);
        return t;
    }();
    PrintTiming("memmove of 1 GiB", move);

    LoadGiB(editor);
    editor.overwriteMode = 0;
    const Timing start = TimeRuns(3, [&] {
        editor.caretOffset = 0;
        editor.caretPane = 2;
        editor.OnChar('4');
    });
    PrintTiming("insert-mode keystroke at offset 0 of 1 GiB", start);
    PrintRatio("keystroke at 0 / memmove of 1 GiB (best)", start.best, move.best, 2.0);

    LoadGiB(editor);
    editor.overwriteMode = 1;
    editor.caretPane = 1;
    editor.caretOffset = editor.length;
    int inPlace = 0;
    const int kKeys = 1000;
    const double began = NowMs();
    for (int i = 0; i < kKeys; ++i) {
        const uint8_t* before = editor.buffer;
        editor.OnChar('x');
        inPlace += editor.buffer == before;
    }
    const double perKey = (NowMs() - began) / kKeys;
    std::printf("%-48s %10.4f ms average (target <= 1 ms) %s\n",
                "keystroke at the end position of 1 GiB", perKey,
                perKey <= 1.0 ? "met" : "NOT MET");
    std::printf("%-48s %d of %d (%.1f%%)\n", "one-byte growths done in place", inPlace, kKeys,
                100.0 * inPlace / kKeys);

    // The heap's share of that: the same growths without the editor around them.
    {
        int32_t length = editor.length;
        const double t0 = NowMs();
        for (int i = 0; i < kKeys; ++i)
            ResizeExact(editor.buffer, length, 1);
        editor.length = length;
        std::printf("%-48s %10.4f ms average\n", "one-byte growth of the 1 GiB block alone",
                    (NowMs() - t0) / kKeys);
    }
    // And the window's share: the scroll bar update and the caret placement of each keystroke.
    {
        const double t0 = NowMs();
        for (int i = 0; i < kKeys; ++i)
            editor.UpdateScrollBar();
        std::printf("%-48s %10.4f ms average\n", "scroll bar update alone", (NowMs() - t0) / kKeys);
        const double t1 = NowMs();
        for (int i = 0; i < kKeys; ++i)
            editor.MoveCaret(0, 0);
        std::printf("%-48s %10.4f ms average\n", "caret follow and placement alone",
                    (NowMs() - t1) / kKeys);
    }
    // Arrow keys at the end position as the focused view receives them: Right there changes
    // nothing; Left and Right in turn move the caret every time.
    {
        editor.caretPane = 2;
        editor.caretOffset = editor.length;
        SetFocus(page.view());
        page.Repaint(); // the font measured, so the caret exists and moves
        const int kArrows = 2000;
        auto arrows = [&](bool alternate) {
            for (int i = 0; i < kArrows; ++i)
                SendMessageW(page.view(), WM_KEYDOWN, alternate && i % 2 == 0 ? VK_LEFT : VK_RIGHT,
                             0);
        };
        const Timing still = TimeRuns(15, [&] { arrows(false); });
        const Timing moving = TimeRuns(15, [&] { arrows(true); });
        std::printf("%-48s %10.4f us best  %10.4f us median\n",
                    "Right at the end of 1 GiB (no move)", 1000.0 * still.best / kArrows,
                    1000.0 * still.median / kArrows);
        std::printf("%-48s %10.4f us best  %10.4f us median\n", "Left/Right at the end of 1 GiB",
                    1000.0 * moving.best / kArrows, 1000.0 * moving.median / kArrows);
        // The share of the focus event each move sends, with nobody listening.
        const Timing events = TimeRuns(7, [&] {
            for (int i = 0; i < kArrows; ++i)
                NotifyWinEvent(EVENT_OBJECT_FOCUS, page.view(), OBJID_CLIENT, 1);
        });
        std::printf("%-48s %10.4f us best\n", "focus event alone", 1000.0 * events.best / kArrows);
    }
    std::fflush(stdout);
    return 0;
}
