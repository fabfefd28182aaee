// Times a 100 GiB sparse file read on demand against a 1 KiB file read whole, in the same run:
// opening it in the page's editor (the load and the first paint of the rows on screen), and
// saving one changed byte, the two files in turn. Each open is checked for the file's length and
// its last byte as the editor shows it, each save for the byte on disk.
#include <cstdio>
#include <string>
#include <vector>

#include "bench_timer.h"
#include "hexedit/core/editor_source.h"
#include "support/test_window.h"
#include "support/unix_files.h"

namespace {

constexpr int kRuns = 9;

// Null when the file holds `byte` at `offset`.
const char* ByteOnDisk(const std::wstring& path, long long offset, uint8_t byte) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    LARGE_INTEGER at{};
    at.QuadPart = offset;
    uint8_t read = 0;
    DWORD got = 0;
    const bool ok = SetFilePointerEx(file, at, nullptr, FILE_BEGIN) &&
                    ReadFile(file, &read, 1, &got, nullptr) && got == 1;
    CloseHandle(file);
    return ok && read == byte ? nullptr : "the file lacks the byte changed before the save";
}

struct Shown {
    TestPage& page;
    std::wstring path;
    long long size;
    Samples open;
    Samples save;
};

// Opens each file `kRuns` times, then saves a byte changed at its end `kRuns` times, the files
// in turn, each in a page of its own: under Wine the same paint takes some milliseconds more
// from about a second into the run, and both files then see the same.
void TimeFiles(std::vector<Shown>& files) {
    for (int run = 0; run < kRuns; ++run)
        for (Shown& file : files) {
            CHexEdit& editor = file.page.editor();
            file.open.Time(
                [&] {
                    const bool loaded = editor.LoadFile(file.path.c_str()) == ERROR_SUCCESS;
                    file.page.Repaint();
                    return loaded;
                },
                [&]() -> const char* {
                    return editor.length == file.size &&
                                   editing::ReadByteAt(editor, file.size - 1) == 0x5A
                               ? nullptr
                               : "the open lacks the file's length or last byte";
                });
        }
    for (int run = 0; run < kRuns; ++run)
        for (Shown& file : files) {
            CHexEdit& editor = file.page.editor();
            const auto byte = static_cast<uint8_t>(0x60 + run);
            editing::OverwriteByteAt(editor, file.size - 1, byte);
            editor.modified = 1;
            file.save.Time([&] { return editor.SaveFile(0) == ERROR_SUCCESS; },
                           [&] { return ByteOnDisk(file.path, file.size - 1, byte); });
        }
    for (Shown& file : files)
        file.page.editor().ReleaseFile();
}

} // namespace

int main() {
    TempFolder dir;
    const std::wstring huge = dir.Path(L"huge.bin");
    const std::wstring small = dir.Path(L"small.bin");
    if (!MakeSparseFile(huge, 100LL << 30, {0x5A}) || !MakeSparseFile(small, 1024, {0x5A})) {
        PrintNotMeasured("on_demand_file", "could not make the files");
        return BenchExitCode();
    }
    std::printf("files: 100 GiB sparse (read on demand), 1 KiB (read whole); %d runs each\n",
                kRuns);
    TestPage smallPage, hugePage;
    smallPage.Attach();
    hugePage.Attach();
    std::vector<Shown> files{{smallPage, small, 1024, {}, {}},
                             {hugePage, huge, 100LL << 30, {}, {}}};
    TimeFiles(files);
    const Timing smallOpen = files[0].open.Of(), hugeOpen = files[1].open.Of();
    const Timing smallSave = files[0].save.Of(), hugeSave = files[1].save.Of();
    PrintTiming("open and first paint, 1 KiB", smallOpen);
    PrintTiming("open and first paint, 100 GiB", hugeOpen);
    PrintTiming("save of one changed byte, 1 KiB", smallSave);
    PrintTiming("save of one changed byte, 100 GiB", hugeSave);
    PrintRatio("open 100 GiB / 1 KiB (median)", hugeOpen.median, smallOpen.median, 1.3);
    PrintRatio("save one byte 100 GiB / 1 KiB (median)", hugeSave.median, smallSave.median, 1.5);
    return BenchExitCode();
}
