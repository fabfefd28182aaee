// How the editing rules reach the editor's bytes: through its source, whatever holds them. A
// file held whole is `buffer`/`length` behind the whole-block source; a large file read on
// demand keeps its length, takes overwrites into its change set and refuses anything that would
// insert or delete bytes.
#pragma once

#include <cstdint>

#include "hexedit/core/byte_source.h"
#include "hexedit/core/on_demand_source.h"

namespace editing {

// Points the whole-block source at the buffer again, after it moved or changed size.
template <class Editor> void SyncWholeBlock(Editor& e) {
    e.wholeBlock.Reset(e.buffer, static_cast<uint64_t>(e.length));
}

// Shows a file held whole: the buffer's bytes from now on.
template <class Editor> void UseWholeBlock(Editor& e) {
    e.onDemand = nullptr;
    SyncWholeBlock(e);
    e.source = &e.wholeBlock;
}

// Shows a file read on demand: its length, no buffer.
template <class Editor> void UseOnDemand(Editor& e, bytes::OnDemandSource& file) {
    e.onDemand = &file;
    e.source = &file;
    e.length = static_cast<int64_t>(file.Length());
}

template <class Editor> bool IsOnDemand(const Editor& e) {
    return e.onDemand != nullptr;
}

// The byte at `offset` (inside the file); -1 when it could not be read. Without `mayWait` a
// byte of a large file that is not cached is -1 (unread) this time: the medium is not asked.
template <class Editor> int32_t ReadByteAt(const Editor& e, int64_t offset, bool mayWait = true) {
    if (offset < 0 || offset >= e.length)
        return -1;
    if (!IsOnDemand(e))
        return e.buffer[offset];
    uint8_t byte = 0;
    uint8_t unreadable = 0;
    const auto at = static_cast<uint64_t>(offset);
    const bytes::ReadResult r = mayWait ? e.onDemand->Read(at, &byte, 1, &unreadable)
                                        : e.onDemand->Peek(at, &byte, 1, &unreadable);
    return r.count == 1 && !unreadable ? byte : -1;
}

// Writes one byte inside the file: into the buffer, or into the on-demand file's changes.
template <class Editor> void OverwriteByteAt(Editor& e, int64_t offset, uint8_t value) {
    if (IsOnDemand(e))
        e.onDemand->Overwrite(static_cast<uint64_t>(offset), &value, 1);
    else
        e.buffer[offset] = value;
}

// True when the file cannot change its length (it is read on demand): the editor has then said
// why, once for this try, and the caller changes nothing.
template <class Editor> bool RefusedResize(Editor& e) {
    if (!IsOnDemand(e))
        return false;
    e.ReportResizeRefused();
    return true;
}

} // namespace editing
