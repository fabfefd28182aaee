// Times a 100 GiB sparse file read on demand against a 1 KiB file read whole, in the same run:
// opening it in the page's editor (the load and the first paint of the rows on screen), and
// saving one changed byte. Each open is checked for the file's length and its last byte as the
// editor shows it, each save for the byte on disk.
#include <cstdio>
#include <string>

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

struct Figures {
    Timing open;
    Timing save;
};

// Opens the file `kRuns` times, then saves a byte changed at its end `kRuns` times.
Figures TimeFile(TestPage& page, const std::wstring& path, long long size) {
    CHexEdit& editor = page.editor();
    Samples open, save;
    for (int run = 0; run < kRuns; ++run)
        open.Time(
            [&] {
                const bool loaded = editor.LoadFile(path.c_str()) == ERROR_SUCCESS;
                page.Repaint();
                return loaded;
            },
            [&]() -> const char* {
                return editor.length == size && editing::ReadByteAt(editor, size - 1) == 0x5A
                           ? nullptr
                           : "the open lacks the file's length or last byte";
            });
    for (int run = 0; run < kRuns; ++run) {
        const auto byte = static_cast<uint8_t>(0x60 + run);
        editing::OverwriteByteAt(editor, size - 1, byte);
        editor.modified = 1;
        save.Time([&] { return editor.SaveFile(0) == ERROR_SUCCESS; },
                  [&] { return ByteOnDisk(path, size - 1, byte); });
    }
    editor.ReleaseFile();
    return {open.Of(), save.Of()};
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
    TestPage page;
    page.Attach();
    const Figures small1 = TimeFile(page, small, 1024);
    const Figures huge1 = TimeFile(page, huge, 100LL << 30);
    PrintTiming("open and first paint, 1 KiB", small1.open);
    PrintTiming("open and first paint, 100 GiB", huge1.open);
    PrintTiming("save of one changed byte, 1 KiB", small1.save);
    PrintTiming("save of one changed byte, 100 GiB", huge1.save);
    PrintRatio("open 100 GiB / 1 KiB (median)", huge1.open.median, small1.open.median, 1.3);
    PrintRatio("save one byte 100 GiB / 1 KiB (median)", huge1.save.median, small1.save.median,
               1.5);
    return BenchExitCode();
}
