// Browsing a 100 GiB sparse file read on demand, in one run:
// - Page Down, Ctrl+End and Go To (the move after its dialog), each with the paint that
//   follows, against the same key in a 1 GiB file held whole. The figures compared are presses
//   whose rows were read already (warm); a cold press finds the page's cache dropped and reads
//   its rows from the file. Each press is checked for where it put the caret or the top row.
// - The process's private memory after browsing the 100 GiB file from end to end (the thumb
//   dragged over the whole range, a byte typed at every GiB) and a find through all of it,
//   against the page before the file was opened. The find must end in its not-found box and
//   the drag must have shown the last row.
#include <windows.h>

#include <psapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench_timer.h"
#include "hexedit/core/go_to_edit_bits.h"
#include "hexedit/core/find_rules.h"
#include "support/message_box_recorder.h"
#include "support/test_window.h"
#include "support/unix_files.h"

namespace {

constexpr int kRuns = 15;
constexpr long long kGiB = 1LL << 30;
constexpr long long kHuge = 100 * kGiB;

SIZE_T PrivateBytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return counters.PagefileUsage;
}

struct KeyFigures {
    Timing cold;
    Timing warm;
};

// One file shown in a page of its own, so that the presses of both files alternate: the
// system's own pace under Wine changes a second into a run, and both files see the same.
struct ShownFile {
    TestPage& page;
    long long size;
    long long middle; // an offset in the middle of the file
    int64_t topBefore = 0;
    int64_t caretBefore = 0;

    CHexEdit& editor() { return page.editor(); }
    void GoTo(long long offset) {
        char address[24];
        std::snprintf(address, sizeof(address), "%llX", offset);
        editing::GoToAddress(editor(), address);
        page.Repaint();
    }
    void Press(WPARAM key, bool ctrl = false) {
        page.Key(key, false, ctrl);
        page.Repaint();
    }
    // Forgets the rows read so far, so that the next paint reads its rows from the file;
    // nothing to forget in a file held whole.
    void DropReadRows() {
        if (editor().onDemand)
            editor().onDemand->Cache().Drop();
    }
};

// `setUp` puts the view where the press starts (not timed), `press` is the key and its paint,
// and `check` says what the press failed to do (null when it did its work). Figures for both
// files, in their order.
template <typename SetUp, typename Press, typename Check>
std::vector<KeyFigures> TimePress(std::vector<ShownFile>& files, SetUp setUp, Press press,
                                  Check check) {
    std::vector<Samples> cold(files.size()), warm(files.size());
    for (int run = 0; run < kRuns; ++run)
        for (size_t i = 0; i < files.size(); ++i) {
            ShownFile& file = files[i];
            const auto body = [&] {
                press(file);
                return true;
            };
            const auto checked = [&] { return check(file); };
            setUp(file);
            file.DropReadRows();
            cold[i].Time(body, checked);
            setUp(file);
            warm[i].Time(body, checked);
        }
    std::vector<KeyFigures> figures;
    for (size_t i = 0; i < files.size(); ++i)
        figures.push_back({cold[i].Of(), warm[i].Of()});
    return figures;
}

int64_t PageBytes(const CHexEdit& editor) {
    return int64_t{editor.visibleRows} * editor.bytesPerRow;
}

const char* PageDownMissing(ShownFile& file) {
    const CHexEdit& editor = file.editor();
    return editor.topOffset > file.topBefore &&
                   editor.caretOffset == file.caretBefore + PageBytes(editor)
               ? nullptr
               : "Page Down did not move the rows by a page";
}

const char* CtrlEndMissing(ShownFile& file) {
    const CHexEdit& editor = file.editor();
    return editor.caretOffset >= file.size - 1 && editor.topOffset + PageBytes(editor) >= file.size
               ? nullptr
               : "Ctrl+End did not show the last row";
}

// The offset Go To is timed with: past the middle, in rows not shown yet.
long long GoToTarget(const ShownFile& file) {
    return file.middle + 0x12345;
}

const char* GoToMissing(ShownFile& file) {
    return file.editor().caretOffset == GoToTarget(file) ? nullptr
                                                         : "Go To did not reach its address";
}

void PrintKey(const char* key, const KeyFigures& whole, const KeyFigures& huge) {
    const std::string name(key);
    PrintTiming((name + ", 1 GiB held whole").c_str(), whole.warm);
    PrintTiming((name + ", 100 GiB, rows read (warm)").c_str(), huge.warm);
    PrintTiming((name + ", 100 GiB, rows unread (cold)").c_str(), huge.cold);
    PrintRatio((name + " 100 GiB warm / 1 GiB (median)").c_str(), huge.warm.median,
               whole.warm.median, 2.0);
    PrintFactor((name + " 100 GiB cold / 1 GiB (median)").c_str(), huge.cold.median,
                whole.warm.median);
}

// Null when dragging the thumb from top to bottom in `steps` showed every part of the file and
// its last row at the end.
const char* DragThumbToTheEnd(TestPage& page, int steps) {
    CHexEdit& editor = page.editor();
    SCROLLINFO bar{};
    bar.cbSize = sizeof(bar);
    bar.fMask = SIF_ALL;
    if (!GetScrollInfo(page.view(), SB_VERT, &bar) || bar.nMax <= 0)
        return "the scroll bar spans nothing";
    const int last = bar.nMax - static_cast<int>(bar.nPage) + 1;
    for (int step = 0; step <= steps; ++step) {
        const int position = static_cast<int>(static_cast<long long>(last) * step / steps);
        // Outside a real drag the bar reports its position as the tracking one.
        SetScrollPos(page.view(), SB_VERT, position, FALSE);
        SendMessageW(page.view(), WM_VSCROLL, SB_THUMBTRACK, 0);
        page.Repaint();
    }
    return editor.topOffset + int64_t{editor.visibleRows} * editor.bytesPerRow >= editor.length
               ? nullptr
               : "the thumb at the bottom did not show the last row";
}

// The private memory the page holds after browsing the file at `path` from end to end, typing a
// byte at every GiB and a find through all of it, over what it held before the file opened.
void MeasureMemory(TestPage& page, const std::wstring& path) {
    CHexEdit& editor = page.editor();
    MessageBoxRecorder boxes;
    const SIZE_T before = PrivateBytes();
    if (editor.LoadFile(path.c_str()) != ERROR_SUCCESS || editor.length != kHuge)
        return PrintNotMeasured("private memory after browsing 100 GiB", "the file did not load");
    page.Repaint();
    const char* missing = DragThumbToTheEnd(page, 2000);
    editor.caretPane = kHexHigh;
    int changed = 0;
    for (long long at = 0; at < kHuge; at += kGiB) {
        char text[24];
        std::snprintf(text, sizeof(text), "%llX", at);
        editing::GoToAddress(editor, text);
        SendMessageW(page.view(), WM_CHAR, 'A', 1);
        SendMessageW(page.view(), WM_CHAR, 'B', 1);
        page.Repaint();
        changed += editing::ReadByteAt(editor, at) == 0xAB;
    }
    if (!missing && changed != 100)
        missing = "a byte typed at a GiB did not change";
    page.Key(VK_HOME, false, true);
    editing::BuildFindPatterns(editor, "nothere!");
    const double findStart = NowMs();
    page.Key(VK_F3);
    const double findMs = NowMs() - findStart;
    if (!missing &&
        (boxes.Count() != 1 || boxes.Boxes()[0].text != L"The search item was not found"))
        missing = "the find through the file did not end in its not-found box";
    page.Repaint();
    const SIZE_T after = PrivateBytes();
    editor.modified = 0;
    editor.ReleaseFile();
    if (missing)
        return PrintNotMeasured("private memory after browsing 100 GiB", missing);
    std::printf("%-48s %10.1f ms (%.2f GiB/s)\n", "find through 100 GiB (sparse), after typing",
                findMs, 100 * 1000.0 / findMs);
    const double grownMiB = (static_cast<double>(after) - static_cast<double>(before)) / (1 << 20);
    const double allowedMiB = 64 + changed / double(1 << 20);
    std::printf("%-48s %+10.1f MiB (target <= %.1f MiB) %s\n",
                "private memory over the page before the open", grownMiB, allowedMiB,
                grownMiB <= allowedMiB ? "met" : "NOT MET");
    std::fflush(stdout);
}

} // namespace

int main() {
    TempFolder dir;
    const std::wstring huge = dir.Path(L"huge.bin");
    const std::wstring whole = dir.Path(L"whole.bin");
    if (!MakeSparseFile(huge, kHuge, {0x5A}) || !MakeSparseFile(whole, kGiB, {0x5A})) {
        PrintNotMeasured("on_demand_browse", "could not make the files");
        return BenchExitCode();
    }
    TestPage wholePage, hugePage;
    wholePage.Attach();
    hugePage.Attach();
    MeasureMemory(hugePage, huge);
    std::vector<ShownFile> files{{wholePage, kGiB, kGiB / 2}, {hugePage, kHuge, kHuge / 2}};
    for (ShownFile& file : files)
        if (file.editor().LoadFile((file.size == kGiB ? whole : huge).c_str()) != ERROR_SUCCESS ||
            file.editor().length != file.size) {
            PrintNotMeasured("on_demand_browse keys", "a file did not load");
            return BenchExitCode();
        }
    std::printf("keys: 1 GiB sparse (read whole) and 100 GiB sparse (read on demand) in turn; "
                "%d runs each\n",
                kRuns);
    const auto pageDown = TimePress(
        files,
        [](ShownFile& file) {
            file.GoTo(file.middle);
            file.topBefore = file.editor().topOffset;
            file.caretBefore = file.editor().caretOffset;
        },
        [](ShownFile& file) { file.Press(VK_NEXT); }, PageDownMissing);
    const auto ctrlEnd = TimePress(
        files, [](ShownFile& file) { file.GoTo(file.middle); },
        [](ShownFile& file) { file.Press(VK_END, true); }, CtrlEndMissing);
    const auto goTo = TimePress(
        files, [](ShownFile& file) { file.Press(VK_HOME, true); },
        [](ShownFile& file) { file.GoTo(GoToTarget(file)); }, GoToMissing);
    PrintKey("Page Down", pageDown[0], pageDown[1]);
    PrintKey("Ctrl+End", ctrlEnd[0], ctrlEnd[1]);
    PrintKey("Go To", goTo[0], goTo[1]);
    return BenchExitCode();
}
