// What the progress window of a long read, save or copy says, and when it shows. Portable: the
// Win32 layer only asks and shows.
#pragma once

#include <cstdint>
#include <string>

namespace progress {

enum class Operation { Read, Save, Copy };

// An operation that ends within this long shows no window at all; one still running then
// shows it.
constexpr uint32_t kShowAfterMs = 1000;
// How often the open window takes a fresh count.
constexpr uint32_t kRefreshMs = 100;

inline bool ShowWindowNow(uint64_t elapsedMs, bool finished) {
    return !finished && elapsedMs >= kShowAfterMs;
}

// A read or a copy (whose blocks are filled before the clipboard is emptied) can stop after
// any chunk and lose nothing; a save stopped half-way would leave the file part old, part new.
inline bool CanCancel(Operation operation) {
    return operation != Operation::Save;
}

// "Reading report.bin", "Saving report.bin", "Copying report.bin": the file's own name, without its
// folder.
std::wstring Heading(Operation operation, const std::wstring& path);

// "1,048,576 of 67,108,864 bytes".
std::wstring CountText(uint64_t done, uint64_t total);

// The bar's position out of kBarRange; full for an empty total.
constexpr int kBarRange = 1000;
int BarPosition(uint64_t done, uint64_t total);

// The line under the bar: empty for a read or copy, whose Cancel speaks for itself.
std::wstring NoteText(Operation operation);

} // namespace progress
