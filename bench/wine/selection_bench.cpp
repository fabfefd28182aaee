// Opening the page for 1,000, 10,000 and 100,000 selected files, against the time for one file
// plus twice the floor for N files: one GetFileAttributesW and one CB_ADDSTRING into an unsorted
// combo box per item, in this process. The page sits in a modeless sheet made here from the
// extension object linked in; each figure ends once the sheet's queue is empty, its first paint
// done. Also the committed memory held per item while the page for 100,000 files is open.
// The page counts only with an entry per file in its chooser, the floor only with an entry
// per file and every file found.
#include <windows.h>

#include <commctrl.h>
#include <ole2.h>
#include <psapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_timer.h"
#include "resources/resource_ids.h"
#include "support/properties_driver.h"
#include "support/unix_files.h"

namespace {

using Paths = std::vector<std::wstring>;

SIZE_T Committed() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return counters.PagefileUsage;
}

// Milliseconds until the page for `paths` is up and painted; `whileOpen` runs before it closes.
template <typename WhileOpen> double OpenPage(const Paths& paths, WhileOpen whileOpen) {
    const double start = NowMs();
    InProcessSheet sheet(paths);
    UpdateWindow(sheet.sheet());
    const double ms = NowMs() - start;
    const LRESULT entries = SendMessageW(sheet.control(IDC_FILE_CHOOSER), CB_GETCOUNT, 0, 0);
    if (entries != static_cast<LRESULT>(paths.size())) {
        PrintNotMeasured("selection", "the chooser lacks entries");
        std::exit(BenchExitCode());
    }
    whileOpen();
    return ms;
}

double OpenPage(const Paths& paths) {
    return OpenPage(paths, [] {});
}

// The floor's milliseconds, negative when a file was not found or an entry not added.
double Floor(const Paths& paths, const Paths& names) {
    size_t found = 0;
    HWND combo = CreateWindowExW(0, L"ComboBox", L"", CBS_DROPDOWNLIST | WS_POPUP, 0, 0, 200, 200,
                                 nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    const double start = NowMs();
    for (size_t i = 0; i < paths.size(); ++i) {
        found += GetFileAttributesW(paths[i].c_str()) != INVALID_FILE_ATTRIBUTES;
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(names[i].c_str()));
    }
    const double ms = NowMs() - start;
    const bool all = found == paths.size() &&
                     SendMessageW(combo, CB_GETCOUNT, 0, 0) == static_cast<LRESULT>(paths.size());
    DestroyWindow(combo);
    return all ? ms : -1;
}

// The page beyond one file is the median of the rounds' differences: opening a sheet takes
// either about 10 or about 50 ms here, so the difference of two medians swings by that much.
struct Figures {
    size_t count;
    double one, floor, page, beyond;
    double PerItemUs() const { return 1000.0 * beyond / static_cast<double>(count); }
};

// One file, the floor and the page in turns, so that a change of the machine's load weighs on
// all three alike; the first round warms up and is not counted.
Figures TimeInTurns(const Paths& all, size_t count, int runs) {
    const Paths paths(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(count));
    Paths names;
    for (const std::wstring& path : paths)
        names.push_back(path.substr(path.find_last_of(L'\\') + 1));
    Samples one, floor, page, beyond;
    for (int i = 0; i <= runs; ++i) {
        const double o = OpenPage({paths[0]});
        const double f = Floor(paths, names);
        const double p = OpenPage(paths);
        if (i > 0) {
            one.Add(o, nullptr);
            floor.Add(f, f < 0 ? "a file or an entry of the floor was missing" : nullptr);
            page.Add(p, nullptr);
            beyond.Add(p - o, nullptr);
        }
    }
    return {count, one.Of().median, floor.Of().median, page.Of().median, beyond.Of().median};
}

} // namespace

int main() {
    OleInitialize(nullptr);
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    MessageBoxRecorder boxes; // a box would stall the run: none is expected
    const NumberedFiles files(100000);
    const Paths& all = files.paths();
    if (all.empty()) {
        PrintNotMeasured("selection", "could not make the files");
        return BenchExitCode();
    }

    // Memory first, while the heap has not yet grown for earlier dialogs. The data object that
    // stands in for the shell's keeps a copy of the paths: that copy is measured alone first and
    // left out.
    size_t dropBytes = sizeof(DROPFILES) + sizeof(wchar_t);
    for (const std::wstring& path : all)
        dropBytes += (path.size() + 1) * sizeof(wchar_t);
    const SIZE_T start = Committed();
    const Paths copy = all;
    const SIZE_T copied = Committed();
    SIZE_T open = 0;
    OpenPage(all, [&] { open = Committed(); });
    std::printf("%-48s %.0f bytes (the drop list %.0f; paths of %zu characters)\n",
                "100000 files: committed per item, page open",
                static_cast<double>(open - copied - (copied - start)) / all.size(),
                static_cast<double>(dropBytes) / all.size(), all[0].size());

    std::vector<Figures> figures;
    for (const auto& [count, runs] : {std::pair<size_t, int>{1000, 31}, {10000, 7}, {100000, 5}}) {
        const Figures f = TimeInTurns(all, count, runs);
        figures.push_back(f);
        char name[64];
        std::snprintf(name, sizeof(name), "%zu files: one file, floor, page (medians)", count);
        if (std::isnan(f.floor))
            PrintNotMeasured(name, "a file or an entry of the floor was missing");
        else
            std::printf("%-48s %8.1f %8.1f %8.1f ms   %.2f us per item beyond one file\n", name,
                        f.one, f.floor, f.page, f.PerItemUs());
        std::snprintf(name, sizeof(name), "%zu files: page beyond one file / 2 x floor", count);
        PrintRatio(name, f.beyond, 2 * f.floor, 1.0);
    }
    PrintRatio("per item, 100000 / 1000 files", figures[2].PerItemUs(), figures[0].PerItemUs(),
               1.5);
    OleUninitialize();
    return MessageBoxesOnly(boxes).empty() ? BenchExitCode() : 1;
}
