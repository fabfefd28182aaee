// Loading 64 MiB through the slow file system at 8 MB/s: the editor's load against a plain
// ReadFile loop through the same mount, when the progress window appears, the longest the
// page's thread takes to answer WM_NULL meanwhile, and how soon Cancel ends a load.
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>

#include "bench_timer.h"
#include "resources/resource_ids.h"
#include "support/test_window.h"
#include "support/unix_files.h"

namespace {

constexpr DWORD kSize = 64u << 20;

double PlainRead(const std::wstring& path) {
    const double start = NowMs();
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    std::vector<uint8_t> block(kSize);
    for (DWORD done = 0; done < kSize;) {
        DWORD got = 0;
        if (!ReadFile(file, block.data() + done, kSize - done, &got, nullptr) || got == 0)
            break;
        done += got;
    }
    CloseHandle(file);
    return NowMs() - start;
}

struct Watch {
    double shownAt = -1;      // ms after the load began
    double longestAnswer = 0; // ms, WM_NULL sent to the page's window
    double cancelledAt = -1;  // ms after the load began
};

// Watches a load on `thread` that began at `start`, until `done`; presses Cancel `cancelAfter`
// ms after the window shows (never when negative).
void WatchLoad(DWORD thread, HWND page, double start, std::atomic<bool>& done, double cancelAfter,
               Watch& watch) {
    while (!done.load()) {
        const double before = NowMs();
        DWORD_PTR result = 0;
        SendMessageTimeoutW(page, WM_NULL, 0, 0, SMTO_BLOCK, 1000, &result);
        // Once the load has returned the thread waits for this one and answers nobody.
        if (!done.load())
            watch.longestAnswer = std::max(watch.longestAnswer, NowMs() - before);
        HWND window = ProgressWindowOf(thread);
        if (window && watch.shownAt < 0)
            watch.shownAt = NowMs() - start;
        if (window && cancelAfter >= 0 && watch.cancelledAt < 0 &&
            NowMs() - start >= watch.shownAt + cancelAfter) {
            watch.cancelledAt = NowMs() - start;
            PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        }
        Sleep(10);
    }
}

// One load of `path` on this thread while a second thread watches; the load's duration.
double WatchedLoad(CHexEdit& editor, HWND page, const std::wstring& path, double cancelAfter,
                   Watch& watch) {
    std::atomic<bool> done{false};
    const double start = NowMs();
    std::thread watcher(WatchLoad, GetCurrentThreadId(), page, start, std::ref(done), cancelAfter,
                        std::ref(watch));
    editor.LoadFile(path.c_str());
    const double took = NowMs() - start;
    done.store(true);
    watcher.join();
    return took;
}

} // namespace

int main() {
    SlowMount mount(8000000);
    if (!mount.Mounted()) {
        std::printf("slow file system not mounted (build/slowfs/slowfs, /dev/fuse)\n");
        return 1;
    }
    const std::wstring path = mount.Write(L"sixty-four.bin", SeededBytes(kSize, 1));
    std::printf("file: 64 MiB through the slow file system at 8,000,000 B/s; 3 runs each\n");
    TestPage page;
    page.Attach();
    CHexEdit& editor = page.editor();

    std::vector<double> plain, load, shown, answer;
    for (int run = 0; run < 3; ++run) {
        plain.push_back(PlainRead(path));
        Watch watch;
        load.push_back(WatchedLoad(editor, page.page(), path, -1, watch));
        shown.push_back(watch.shownAt);
        answer.push_back(watch.longestAnswer);
    }
    // Cancel pressed a second after the window showed: the load ends after the chunk under way.
    Watch cancel;
    const double cancelledLoad = WatchedLoad(editor, page.page(), path, 1000, cancel);
    std::sort(plain.begin(), plain.end());
    std::sort(load.begin(), load.end());
    std::sort(shown.begin(), shown.end());
    std::sort(answer.begin(), answer.end());
    PrintTiming("plain ReadFile loop 64 MiB via the mount", {plain[0], plain[1]});
    PrintTiming("LoadFile 64 MiB via the mount", {load[0], load[1]});
    PrintRatio("load / plain read (median)", load[1], plain[1], 1.05);
    std::printf("%-48s %.0f / %.0f / %.0f ms (target 1000 to 1500)\n", "window appeared after",
                shown[0], shown[1], shown[2]);
    std::printf("%-48s %.1f ms (target <= 100)\n", "longest WM_NULL answer, worst run", answer[2]);
    std::printf("%-48s %.1f ms after Cancel (target <= one chunk, 131 ms, + 100)\n",
                "cancelled load ended", cancelledLoad - cancel.cancelledAt);
    std::printf("%-48s length %lld, view enabled %d\n", "after the cancelled load",
                static_cast<long long>(editor.length), IsWindowEnabled(page.view()) ? 1 : 0);
    return 0;
}
