// Opening the page for 1,000, 10,000 and 100,000 selected files, against the time for one file
// plus twice the floor for N files: one GetFileAttributesW and one CB_ADDSTRING into an unsorted
// combo box per item, in this process. The page sits in a modeless sheet made here from the
// extension object linked in; each figure ends once the sheet's queue is empty, its first paint
// done. Also the committed memory held per item while the page for 100,000 files is open.
#include <windows.h>

#include <commctrl.h>
#include <ole2.h>
#include <psapi.h>
#include <shlobj.h>

#include <algorithm>
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

double Median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

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
        std::printf("the page for %zu files has %d chooser entries\n", paths.size(),
                    static_cast<int>(entries));
        std::exit(1);
    }
    whileOpen();
    return ms;
}

double OpenPage(const Paths& paths) {
    return OpenPage(paths, [] {});
}

double Floor(const Paths& paths, const Paths& names) {
    HWND combo = CreateWindowExW(0, L"ComboBox", L"", CBS_DROPDOWNLIST | WS_POPUP, 0, 0, 200, 200,
                                 nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    const double start = NowMs();
    for (size_t i = 0; i < paths.size(); ++i) {
        GetFileAttributesW(paths[i].c_str());
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(names[i].c_str()));
    }
    const double ms = NowMs() - start;
    DestroyWindow(combo);
    return ms;
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
    std::vector<double> one, floor, page, beyond;
    for (int i = 0; i <= runs; ++i) {
        const double o = OpenPage({paths[0]});
        const double f = Floor(paths, names);
        const double p = OpenPage(paths);
        if (i > 0) {
            one.push_back(o);
            floor.push_back(f);
            page.push_back(p);
            beyond.push_back(p - o);
        }
    }
    return {count, Median(one), Median(floor), Median(page), Median(beyond)};
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
        std::printf("could not make the files\n");
        return 1;
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
        std::printf("%-48s %8.1f %8.1f %8.1f ms   %.2f us per item beyond one file\n", name, f.one,
                    f.floor, f.page, f.PerItemUs());
        std::snprintf(name, sizeof(name), "%zu files: page beyond one file / 2 x floor", count);
        PrintRatio(name, f.beyond, 2 * f.floor, 1.0);
    }
    PrintRatio("per item, 100000 / 1000 files", figures[2].PerItemUs(), figures[0].PerItemUs(),
               1.5);
    OleUninitialize();
    return MessageBoxesOnly(boxes).empty() ? 0 : 1;
}
