// How a bookmark's offset is stored in its registry value. Below 4 GiB: 4 bytes, as always, so
// every build reads it. From 4 GiB on: 8 bytes (a QWORD), which a build that reads only 4-byte
// values ignores (it finds the value too long and keeps the slot's default) rather than misreads.
// This build reads both; any other size is no offset.
#pragma once

#include <cstddef>
#include <cstdint>

namespace bookmarks {

struct StoredValue {
    uint8_t bytes[8]; // little-endian, as the registry keeps DWORD and QWORD values
    uint32_t size;    // 4: a DWORD value, 8: a QWORD value
};

inline StoredValue EncodeOffset(uint64_t offset) {
    StoredValue v{{}, offset > UINT32_MAX ? 8u : 4u};
    for (uint32_t i = 0; i < v.size; ++i)
        v.bytes[i] = static_cast<uint8_t>(offset >> (8 * i));
    return v;
}

// The offset a value of `size` bytes holds; `fallback` (the slot's default) when the size is
// neither 4 bytes or fewer, as builds before read any value, nor 8.
inline uint64_t DecodeOffset(const uint8_t* bytes, size_t size, uint64_t fallback) {
    if (size > 4 && size != 8)
        return fallback;
    uint64_t offset = 0;
    for (size_t i = 0; i < size; ++i)
        offset |= static_cast<uint64_t>(bytes[i]) << (8 * i);
    return offset;
}

// A stored offset past the end goes to the append position after the last byte.
inline uint64_t CaretForWide(uint64_t stored, uint64_t length) {
    return stored < length ? stored : length;
}

} // namespace bookmarks
