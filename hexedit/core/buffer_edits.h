// The two ways bytes move inside the editor's buffer: a gap opened at an offset (typing in
// insert mode, paste) and a range closed (deletion). Written once for any editor type; the
// block changes size only through the editor's ResizeBuffer, so it stays exactly `length`
// bytes. A file read on demand has no buffer: its callers refuse before they get here.
#pragma once

#include <cstdint>
#include <cstring>

namespace editing {

// Opens `count` zero bytes at `offset` (0..length), the bytes from there on moving up.
// Returns false, changing nothing, when the buffer can't grow by that much.
template <class Editor> bool OpenGap(Editor& e, int64_t offset, int64_t count) {
    if (offset < 0 || offset > e.length || count < 0)
        return false;
    const int64_t tail = e.length - offset;
    if (!e.ResizeBuffer(count))
        return false;
    if (tail > 0 && count > 0) {
        std::memmove(e.buffer + offset + count, e.buffer + offset, static_cast<size_t>(tail));
        std::memset(e.buffer + offset, 0, static_cast<size_t>(count));
    }
    return true;
}

// Removes `count` bytes at `offset` (a range inside the buffer), the bytes after them moving
// down. A shrink that can't get a smaller block keeps the larger one, so it always succeeds.
template <class Editor> void CloseGap(Editor& e, int64_t offset, int64_t count) {
    if (offset < 0 || count <= 0 || offset + count > e.length)
        return;
    const int64_t tail = e.length - offset - count;
    if (tail > 0)
        std::memmove(e.buffer + offset, e.buffer + offset + count, static_cast<size_t>(tail));
    static_cast<void>(e.ResizeBuffer(-count));
}

} // namespace editing
