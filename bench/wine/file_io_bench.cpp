// Times loading a 1 GiB file through the editor, and saving 1 GiB and 1 GiB + 1 MiB over it,
// against plain ReadFile/WriteFile loops of the same sizes in the same run. A save ends with
// the bytes on the medium, so it is held against the write loop plus one flush; the loop
// without the flush shows what that flush costs.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench_timer.h"
#include "hexedit/core/byte_buffer.h"
#include "support/test_window.h"

namespace {

constexpr DWORD kSize = 1u << 30;
constexpr DWORD kChunk = 1u << 30; // one call, as the editor does

void PlainRead(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    LARGE_INTEGER size{};
    GetFileSizeEx(file, &size);
    auto* block = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(size.QuadPart)));
    for (LONGLONG done = 0; done < size.QuadPart;) {
        DWORD got = 0;
        const DWORD want = static_cast<DWORD>(std::min<LONGLONG>(kChunk, size.QuadPart - done));
        if (!ReadFile(file, block + done, want, &got, nullptr) || got == 0)
            break;
        done += got;
    }
    CloseHandle(file);
    std::free(block);
}

void PlainWrite(const std::wstring& path, const uint8_t* bytes, DWORD size, bool flush = true) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    for (DWORD done = 0; done < size;) {
        DWORD put = 0;
        if (!WriteFile(file, bytes + done, std::min(kChunk, size - done), &put, nullptr) ||
            put == 0)
            break;
        done += put;
    }
    SetEndOfFile(file);
    if (flush)
        FlushFileBuffers(file);
    CloseHandle(file);
}

// A file of `size` bytes of a repeating pattern.
void MakeFile(const std::wstring& path, DWORD size) {
    std::vector<uint8_t> pattern(1 << 20);
    for (size_t i = 0; i < pattern.size(); ++i)
        pattern[i] = static_cast<uint8_t>(i * 131 + 7);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    for (DWORD i = 0; i < size / pattern.size(); ++i) {
        DWORD put = 0;
        WriteFile(file, pattern.data(), static_cast<DWORD>(pattern.size()), &put, nullptr);
    }
    CloseHandle(file);
}

// Best and median of runs timed one by one, interleaved with another kind.
Timing Of(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return {v.front(), v[v.size() / 2]};
}

} // namespace

int main() {
    TempFolder dir;
    const std::wstring path = dir.Path(L"one-gib.bin");
    const std::wstring plainPath = dir.Path(L"plain.bin");
    MakeFile(path, kSize);
    MakeFile(plainPath, kSize);
    std::printf("file: 1 GiB; loads 3 runs, saves 7 runs each, interleaved\n");

    TestPage page;
    page.Attach();
    CHexEdit& editor = page.editor();

    std::vector<double> load, plainLoad, save, plainSave, unflushed, grow, plainGrow;
    for (int run = 0; run < 3; ++run) {
        plainLoad.push_back(TimeRuns(1, [&] { PlainRead(path); }).best);
        load.push_back(TimeRuns(1, [&] { editor.LoadFile(path.c_str()); }).best);
        // Drop the editor's block so the next load starts from a fresh allocation too.
        if (run < 2) {
            GuardedFree(editor.buffer);
            editor.buffer = nullptr;
            editor.length = 0;
        }
    }
    // Each write over a file of the same size; the plain loop has a file of its own, since
    // the editor takes a rewrite by another program for a change to ask about.
    constexpr int kSaveRuns = 7;
    for (int run = 0; run < kSaveRuns; ++run) {
        unflushed.push_back(
            TimeRuns(1, [&] { PlainWrite(plainPath, editor.buffer, kSize, false); }).best);
        plainSave.push_back(TimeRuns(1, [&] { PlainWrite(plainPath, editor.buffer, kSize); }).best);
        editor.modified = 1;
        save.push_back(TimeRuns(1, [&] { editor.SaveFile(0); }).best);
    }
    // 1 MiB more than the 1 GiB on disk: both files are cut back to 1 GiB between runs (the
    // editor's by a save of its own).
    constexpr int32_t kMore = 1 << 20;
    for (int run = 0; run < kSaveRuns; ++run) {
        PlainWrite(plainPath, editor.buffer, kSize);
        ResizeExact(editor.buffer, editor.length, kMore);
        plainGrow.push_back(
            TimeRuns(1, [&] { PlainWrite(plainPath, editor.buffer, kSize + kMore); }).best);
        editor.modified = 1;
        grow.push_back(TimeRuns(1, [&] { editor.SaveFile(0); }).best);
        ResizeExact(editor.buffer, editor.length, -kMore);
        editor.modified = 1;
        editor.SaveFile(0);
    }
    const Timing timings[] = {Of(load), Of(plainLoad), Of(save),     Of(plainSave),
                              Of(grow), Of(plainGrow), Of(unflushed)};
    const char* names[] = {"LoadFile 1 GiB",
                           "plain ReadFile loop 1 GiB (fresh buffer)",
                           "SaveFile 1 GiB over 1 GiB",
                           "plain WriteFile loop + flush 1 GiB over 1 GiB",
                           "SaveFile 1 GiB + 1 MiB over 1 GiB",
                           "plain WriteFile loop + flush 1 GiB + 1 MiB over 1 GiB",
                           "plain WriteFile loop 1 GiB over 1 GiB, no flush"};
    for (int i = 0; i < 7; ++i)
        PrintTiming(names[i], timings[i]);
    PrintRatio("load / plain read (best)", timings[0].best, timings[1].best, 1.25);
    PrintRatio("save, same size / plain write + flush (median)", timings[2].median,
               timings[3].median, 1.10);
    PrintRatio("save, 1 MiB larger / plain write + flush (median)", timings[4].median,
               timings[5].median, 1.10);
    DeleteFileW(path.c_str());
    DeleteFileW(plainPath.c_str());
    return 0;
}
