// Typing into a 1 GiB file loaded through the real control: one byte inserted at offset 0 (a
// move of the whole tail) against one memmove of 1 GiB in the same run, and 1000 characters
// typed at the end position, with the share of one-byte growths the heap did in place; arrow
// keys at the end position through the window procedure. Every figure is checked against what
// the keys should have done to the bytes and the caret.
#include <cstdio>
#include <cstring>

#include "bench_files.h"
#include "bench_timer.h"
#include "memmove_reference.h"
#include "hexedit/core/byte_buffer.h"
#include "support/test_window.h"

namespace {

constexpr int32_t kGiB = 1 << 30;

// A call whose only result is its time: nothing it leaves behind can be looked at.
const char* NothingToLookAt() {
    return nullptr;
}

} // namespace

int main() {
    TempFolder folder;
    const std::wstring path = folder.Path(L"typing-1g.bin");
    if (!WritePatternFile(path, kGiB)) {
        PrintNotMeasured("typing", "could not write the 1 GiB file");
        return BenchExitCode();
    }
    TestPage page;
    page.Attach();
    CHexEdit& editor = page.editor();

    const Timing move = MemmoveGiB();
    PrintTiming("memmove of 1 GiB", move);

    Timing start = NotMeasured("the 1 GiB file did not load");
    if (LoadPatternFile(editor, path, kGiB)) {
        editor.overwriteMode = 0;
        int32_t lengthBefore = editor.length;
        uint8_t firstBefore = editor.buffer[0];
        start = TimeRuns(
            3,
            [&] {
                editor.caretOffset = 0;
                editor.caretPane = kHexHigh;
                editor.OnChar('4');
            },
            [&]() -> const char* {
                const bool typed = editor.length == lengthBefore + 1 && editor.buffer[0] == 0x40 &&
                                   editor.buffer[1] == firstBefore;
                lengthBefore = editor.length;
                firstBefore = editor.buffer[0];
                return typed ? nullptr : "the keystroke inserted no 0x40 at offset 0";
            });
    }
    PrintTiming("insert-mode keystroke at offset 0 of 1 GiB", start);
    PrintRatio("keystroke at 0 / memmove of 1 GiB (best)", start.best, move.best, 2.0);

    const int kKeys = 1000;
    const char* endMissing = "the 1 GiB file did not load";
    double perKey = 0;
    int inPlace = 0;
    if (LoadPatternFile(editor, path, kGiB)) {
        editor.overwriteMode = 1;
        editor.caretPane = kTextPane;
        editor.caretOffset = editor.length;
        const double began = NowMs();
        for (int i = 0; i < kKeys; ++i) {
            const uint8_t* before = editor.buffer;
            editor.OnChar('x');
            inPlace += editor.buffer == before;
        }
        perKey = (NowMs() - began) / kKeys;
        endMissing = editor.length == kGiB + kKeys && editor.buffer[kGiB] == 'x' &&
                             editor.buffer[kGiB + kKeys - 1] == 'x' &&
                             editor.caretOffset == editor.length
                         ? nullptr
                         : "the keystrokes did not add 1000 x at the end";
    }
    if (endMissing) {
        PrintNotMeasured("keystroke at the end position of 1 GiB", endMissing);
        return BenchExitCode();
    }
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
        const double ms = (NowMs() - t0) / kKeys;
        if (length == editor.length + kKeys && editor.buffer)
            std::printf("%-48s %10.3f us average\n", "one-byte growth of the 1 GiB block alone",
                        1000 * ms);
        else
            PrintNotMeasured("one-byte growth of the 1 GiB block alone", "the block did not grow");
        editor.length = length;
    }
    // And the window's share: the scroll bar update and the caret placement of each keystroke,
    // the last kKeys bytes typed again (the length grows by one each time, the caret follows
    // the end), so that every update and placement sees what a keystroke leaves.
    {
        const int32_t end = editor.length;
        const auto grow = [&](auto body) {
            editor.length = end - kKeys;
            const double t0 = NowMs();
            for (int i = 0; i < kKeys; ++i) {
                ++editor.length;
                body();
            }
            return (NowMs() - t0) / kKeys;
        };
        const double barMs = grow([&] { editor.UpdateScrollBar(); });
        SCROLLINFO bar{};
        bar.cbSize = sizeof(bar);
        bar.fMask = SIF_RANGE;
        if (GetScrollInfo(page.view(), SB_VERT, &bar) && bar.nMax == end / editor.bytesPerRow)
            std::printf("%-48s %10.3f us average\n", "scroll bar update alone", 1000 * barMs);
        else
            PrintNotMeasured("scroll bar update alone", "the range does not reach the end");
        editor.topOffset = 0;
        const double caretMs = grow([&] {
            editor.caretOffset = editor.length;
            editor.MoveCaret(0, 0);
        });
        if (editor.topOffset + int64_t{editor.visibleRows} * editor.bytesPerRow > end)
            std::printf("%-48s %10.3f us average\n", "caret follow and placement alone",
                        1000 * caretMs);
        else
            PrintNotMeasured("caret follow and placement alone", "the view did not follow");
    }
    // Arrow keys at the end position as the focused view receives them: Right there changes
    // nothing; Left and Right in turn move the caret every time.
    {
        editor.caretPane = kHexHigh;
        editor.caretOffset = editor.length;
        SetFocus(page.view());
        page.Repaint(); // the font measured, so the caret exists and moves
        const int kArrows = 2000;
        auto arrows = [&](bool alternate) {
            for (int i = 0; i < kArrows; ++i)
                SendMessageW(page.view(), WM_KEYDOWN, alternate && i % 2 == 0 ? VK_LEFT : VK_RIGHT,
                             0);
        };
        const auto atEnd = [&]() -> const char* {
            return editor.caretOffset == editor.length ? nullptr : "the caret left the end";
        };
        const Timing still = TimeRuns(
            15, [&] { arrows(false); }, atEnd);
        // Each Left moves the caret, by a digit, and the Right after it moves it back.
        const int32_t paneBefore = editor.caretPane;
        SendMessageW(page.view(), WM_KEYDOWN, VK_LEFT, 0);
        const bool leftMoves = editor.caretPane != paneBefore;
        SendMessageW(page.view(), WM_KEYDOWN, VK_RIGHT, 0);
        const Timing moving = leftMoves ? TimeRuns(
                                              15, [&] { arrows(true); }, atEnd)
                                        : NotMeasured("Left did not move the caret");
        const auto perArrow = [&](const char* name, const Timing& t) {
            if (t.missing)
                return PrintNotMeasured(name, t.missing);
            std::printf("%-48s %10.4f us best  %10.4f us median\n", name, 1000.0 * t.best / kArrows,
                        1000.0 * t.median / kArrows);
        };
        perArrow("Right at the end of 1 GiB (no move)", still);
        perArrow("Left/Right at the end of 1 GiB", moving);
        // The share of the focus event each move sends, with nobody listening.
        const Timing events = TimeRuns(
            7,
            [&] {
                for (int i = 0; i < kArrows; ++i)
                    NotifyWinEvent(EVENT_OBJECT_FOCUS, page.view(), OBJID_CLIENT, 1);
            },
            NothingToLookAt);
        std::printf("%-48s %10.4f us best\n", "focus event alone", 1000.0 * events.best / kArrows);
    }
    std::fflush(stdout);
    editor.modified = 0;
    return BenchExitCode();
}
