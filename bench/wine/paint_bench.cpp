// Time of one full repaint of the view (whole client invalidated, UpdateWindow) for files of
// 1 KiB, 1 MiB and 1 GiB, with and without a selection over the whole view. A frame draws only
// the visible rows, so the cost must not grow with the file. Each frame must leave nothing to
// paint, and the last one must show something on the view's background. The files take turns,
// frame by frame.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench_timer.h"
#include "support/test_window.h"

namespace {

constexpr int kRuns = 300;

// The same first 4 KiB in every file, so every frame shows the same bytes; the rest of the
// file is left sparse.
bool MakeFile(const std::wstring& path, int64_t size) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    std::vector<uint8_t> head(static_cast<size_t>(size < 4096 ? size : 4096));
    for (size_t i = 0; i < head.size(); ++i)
        head[i] = static_cast<uint8_t>(i * 37 + 11);
    DWORD written = 0;
    bool ok = WriteFile(file, head.data(), static_cast<DWORD>(head.size()), &written, nullptr);
    LARGE_INTEGER end;
    end.QuadPart = size;
    ok = ok && SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    CloseHandle(file);
    return ok;
}

// Null when the frame left nothing to paint.
const char* Painted(HWND view) {
    return GetUpdateRect(view, nullptr, FALSE) ? "the frame left the view to paint" : nullptr;
}

// Null when the view's client shows more than one colour: the frame drew bytes on it.
const char* ShowsBytes(HWND view) {
    RECT client{};
    GetClientRect(view, &client);
    HDC screen = GetDC(view);
    bool drawn = false;
    const COLORREF background = GetPixel(screen, 0, 0);
    for (int y = 0; y < client.bottom && !drawn; y += 2)
        for (int x = 0; x < client.right && !drawn; x += 2)
            drawn = GetPixel(screen, x, y) != background;
    ReleaseDC(view, screen);
    return drawn ? nullptr : "the view is blank";
}

struct Result {
    Timing plain;
    Timing selected;
};

struct Shown {
    std::unique_ptr<TestPage> page;
    Samples plain;
    Samples selected;

    void Repaint() {
        page->editor().Invalidate();
        UpdateWindow(page->view());
    }
};

// Every frame of the files in turn, each in a page of its own: under Wine the same frame takes
// longer from about a second into a run, and every file then sees the same.
void TimeFrames(std::vector<Shown>& files, bool selected) {
    for (int run = 0; run < kRuns; ++run)
        for (Shown& file : files)
            (selected ? file.selected : file.plain)
                .Time(
                    [&] {
                        file.Repaint();
                        return true;
                    },
                    [&] { return Painted(file.page->view()); });
    for (Shown& file : files) // the last frame of each drew its bytes
        if (const char* blank = ShowsBytes(file.page->view()))
            (selected ? file.selected : file.plain).Add(0, blank);
}

} // namespace

int main() {
    TempFolder folder;
    const struct {
        const wchar_t* file;
        const char* label;
        int64_t size;
    } cases[] = {
        {L"paint-1k.bin", "1 KiB", int64_t{1} << 10},
        {L"paint-1m.bin", "1 MiB", int64_t{1} << 20},
        {L"paint-1g.bin", "1 GiB", int64_t{1} << 30},
    };
    std::vector<Shown> files;
    for (const auto& c : cases) {
        const std::wstring path = folder.Path(c.file);
        files.push_back({std::make_unique<TestPage>(), {}, {}});
        TestPage& page = *files.back().page;
        page.Attach();
        if (!MakeFile(path, c.size) || page.editor().LoadFile(path.c_str()) != 0 ||
            page.editor().length != c.size) {
            PrintNotMeasured("Paint", "could not make or load the file");
            return BenchExitCode();
        }
        files.back().Repaint(); // the layout happens once, outside the timing
        TestPage::Pump();
        files.back().Repaint();
    }
    TimeFrames(files, false);
    for (Shown& file : files) {
        file.page->editor().selAnchor = 0;
        file.page->editor().selEnd = file.page->editor().length - 1;
    }
    TimeFrames(files, true);
    Result results[3];
    for (int i = 0; i < 3; ++i) {
        results[i] = {files[i].plain.Of(), files[i].selected.Of()};
        char name[64];
        std::snprintf(name, sizeof(name), "Paint %s", cases[i].label);
        PrintTiming(name, results[i].plain);
        std::snprintf(name, sizeof(name), "Paint %s, selection over the view", cases[i].label);
        PrintTiming(name, results[i].selected);
    }
    PrintRatio("Paint 1 GiB / 1 KiB (median)", results[2].plain.median, results[0].plain.median,
               1.2);
    PrintRatio("Paint 1 GiB / 1 KiB with selection (median)", results[2].selected.median,
               results[0].selected.median, 1.2);
    files.clear();
    for (const auto& c : cases)
        DeleteFileW(folder.Path(c.file).c_str());
    return BenchExitCode();
}
