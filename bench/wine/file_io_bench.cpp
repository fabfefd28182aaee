// Times loading a 1 GiB file through the editor, and saving 1 GiB and 1 GiB + 1 MiB over it,
// against plain ReadFile/WriteFile loops of the same sizes in the same run. A 32-bit process
// reads a file of 1 GiB on demand, so there the file is 255 MiB, the largest it holds whole. A save
// ends with the bytes on the medium, so it is held against the write loop plus one flush; the loop
// without the flush shows what that flush costs. Each load is checked for the file's bytes,
// each save for a byte changed before it and the file's new size.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_files.h"
#include "bench_timer.h"
#include "hexedit/core/byte_buffer.h"
#include "support/test_window.h"

namespace {

constexpr DWORD kSize = sizeof(void*) == 8 ? 1u << 30 : 255u << 20;
const std::string kSizeText = sizeof(void*) == 8 ? "1 GiB" : "255 MiB";
constexpr DWORD kChunk = 1u << 30; // one call, as the editor does

// True when every byte of the file was read.
bool PlainRead(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    LARGE_INTEGER size{};
    GetFileSizeEx(file, &size);
    auto* block = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(size.QuadPart)));
    LONGLONG done = 0;
    while (block && done < size.QuadPart) {
        DWORD got = 0;
        const DWORD want = static_cast<DWORD>(std::min<LONGLONG>(kChunk, size.QuadPart - done));
        if (!ReadFile(file, block + done, want, &got, nullptr) || got == 0)
            break;
        done += got;
    }
    CloseHandle(file);
    std::free(block);
    return file != INVALID_HANDLE_VALUE && done == kSize;
}

// True when all `size` bytes were written, the file ends there, and (with `flush`) they were
// flushed.
bool PlainWrite(const std::wstring& path, const uint8_t* bytes, DWORD size, bool flush = true) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    DWORD done = 0;
    while (done < size) {
        DWORD put = 0;
        if (!WriteFile(file, bytes + done, std::min(kChunk, size - done), &put, nullptr) ||
            put == 0)
            break;
        done += put;
    }
    bool ok = file != INVALID_HANDLE_VALUE && done == size && SetEndOfFile(file);
    if (flush)
        ok = FlushFileBuffers(file) && ok;
    CloseHandle(file);
    return ok;
}

// Null when the file is `size` bytes long and holds `byte` at `offset`.
const char* FileHas(const std::wstring& path, LONGLONG size, LONGLONG offset, uint8_t byte) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    LARGE_INTEGER found{}, at{};
    at.QuadPart = offset;
    uint8_t read = 0;
    DWORD got = 0;
    const bool ok = GetFileSizeEx(file, &found) &&
                    SetFilePointerEx(file, at, nullptr, FILE_BEGIN) &&
                    ReadFile(file, &read, 1, &got, nullptr) && got == 1;
    CloseHandle(file);
    if (!ok || found.QuadPart != size)
        return "the file saved is not of the size saved";
    return read == byte ? nullptr : "the file saved lacks the byte changed before the save";
}

} // namespace

int main() {
    TempFolder dir;
    const std::wstring path = dir.Path(L"whole.bin");
    const std::wstring plainPath = dir.Path(L"plain.bin");
    if (!WritePatternFile(path, kSize) || !WritePatternFile(plainPath, kSize)) {
        PrintNotMeasured("file_io", "could not write the files");
        return BenchExitCode();
    }
    std::printf("file: %s; loads 3 runs, saves 7 runs each, interleaved\n", kSizeText.c_str());

    TestPage page;
    page.Attach();
    CHexEdit& editor = page.editor();

    // Runs timed one by one, interleaved with another kind.
    Samples load, plainLoad, save, plainSave, unflushed, grow, plainGrow;
    for (int run = 0; run < 3; ++run) {
        plainLoad.Time([&] { return PlainRead(path); });
        load.Time([&] { return editor.LoadFile(path.c_str()) == ERROR_SUCCESS; },
                  [&]() -> const char* {
                      return HoldsPatternFile(editor, kSize) ? nullptr
                                                             : "the load lacks the file's bytes";
                  });
        // Drop the editor's block so the next load starts from a fresh allocation too.
        if (run < 2)
            editor.ReleaseFile();
    }
    if (!editor.buffer) {
        PrintTiming(("LoadFile " + kSizeText).c_str(), load.Of());
        return BenchExitCode();
    }
    // Each write over a file of the same size; the plain loop has a file of its own, since
    // the editor takes a rewrite by another program for a change to ask about. Each save has
    // a byte of its own to write.
    constexpr int kSaveRuns = 7;
    for (int run = 0; run < kSaveRuns; ++run) {
        const LONGLONG changed = LONGLONG{run} << 20;
        const uint8_t byte = static_cast<uint8_t>(~editor.buffer[changed]);
        editor.buffer[changed] = byte;
        unflushed.Time([&] { return PlainWrite(plainPath, editor.buffer, kSize, false); });
        plainSave.Time([&] { return PlainWrite(plainPath, editor.buffer, kSize); });
        editor.modified = 1;
        save.Time([&] { return editor.SaveFile(0) == ERROR_SUCCESS; },
                  [&] { return FileHas(path, kSize, changed, byte); });
    }
    // 1 MiB more than the file on disk: both files are cut back to its size between runs (the
    // editor's by a save of its own).
    constexpr int32_t kMore = 1 << 20;
    for (int run = 0; run < kSaveRuns; ++run) {
        PlainWrite(plainPath, editor.buffer, kSize);
        ResizeExact(editor.buffer, editor.length, kMore);
        const uint8_t last = static_cast<uint8_t>(0xA0 + run);
        editor.buffer[kSize + kMore - 1] = last;
        plainGrow.Time([&] { return PlainWrite(plainPath, editor.buffer, kSize + kMore); });
        editor.modified = 1;
        grow.Time([&] { return editor.SaveFile(0) == ERROR_SUCCESS; },
                  [&] { return FileHas(path, kSize + kMore, kSize + kMore - 1, last); });
        ResizeExact(editor.buffer, editor.length, -kMore);
        editor.modified = 1;
        if (editor.SaveFile(0) != ERROR_SUCCESS && !grow.missing)
            grow.missing = "the file was not cut back to its size";
    }
    const Timing timings[] = {load.Of(), plainLoad.Of(), save.Of(),     plainSave.Of(),
                              grow.Of(), plainGrow.Of(), unflushed.Of()};
    const std::string& n = kSizeText;
    const std::string names[] = {"LoadFile " + n,
                                 "plain ReadFile loop " + n + " (fresh buffer)",
                                 "SaveFile " + n + " over " + n,
                                 "plain WriteFile loop + flush " + n + " over " + n,
                                 "SaveFile " + n + " + 1 MiB over " + n,
                                 "plain WriteFile loop + flush " + n + " + 1 MiB over " + n,
                                 "plain WriteFile loop " + n + " over " + n + ", no flush"};
    for (int i = 0; i < 7; ++i)
        PrintTiming(names[i].c_str(), timings[i]);
    PrintRatio("load / plain read (best)", timings[0].best, timings[1].best, 1.25);
    PrintRatio("save, same size / plain write + flush (median)", timings[2].median,
               timings[3].median, 1.10);
    PrintRatio("save, 1 MiB larger / plain write + flush (median)", timings[4].median,
               timings[5].median, 1.10);
    editor.modified = 0;
    return BenchExitCode();
}
