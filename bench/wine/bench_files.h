// Files for the harnesses that time the editor on a real file: the editor takes edits only
// once a load has succeeded, so it is set up the way the page does it, through LoadFile.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "hexedit/hex_edit.h"

// The byte at `offset` of the files written below: every value, in no short cycle.
inline uint8_t PatternByte(uint64_t offset) {
    return static_cast<uint8_t>(offset * 131 + (offset >> 11));
}

// Writes a file of `size` bytes of PatternByte, 1 MiB per call; false unless all were written.
inline bool WritePatternFile(const std::wstring& path, uint64_t size) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    std::vector<uint8_t> chunk(1 << 20);
    uint64_t done = 0;
    while (done < size) {
        const DWORD want = static_cast<DWORD>(std::min<uint64_t>(chunk.size(), size - done));
        for (DWORD i = 0; i < want; ++i)
            chunk[i] = PatternByte(done + i);
        DWORD put = 0;
        if (!WriteFile(file, chunk.data(), want, &put, nullptr) || put != want)
            break;
        done += put;
    }
    CloseHandle(file);
    return done == size;
}

// True when the editor holds `size` bytes of PatternByte (looked at once every MiB and at the
// last byte).
inline bool HoldsPatternFile(const CHexEdit& editor, int32_t size) {
    if (editor.length != size || !editor.buffer)
        return false;
    for (int32_t at = 0; at < size; at += 1 << 20)
        if (editor.buffer[at] != PatternByte(static_cast<uint64_t>(at)))
            return false;
    return size == 0 || editor.buffer[size - 1] == PatternByte(static_cast<uint64_t>(size) - 1);
}

// Loads `path` as the page does, dropping whatever the editor holds unsaved; true when the
// editor then holds all of its `size` bytes.
inline bool LoadPatternFile(CHexEdit& editor, const std::wstring& path, int32_t size) {
    editor.modified = 0; // a benchmark's edits are thrown away, never saved
    return editor.LoadFile(path.c_str()) == ERROR_SUCCESS && HoldsPatternFile(editor, size);
}
