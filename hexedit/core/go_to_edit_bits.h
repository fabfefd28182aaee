// The rules of Go To and Edit Bits for any editor type with the editor's fields and
// operations.
#pragma once

#include <algorithm>
#include <cstdint>

#include "hexedit/core/caret_motion.h"
#include "hexedit/core/editor_source.h"
#include "hexedit/core/find_input.h"
#include "hexedit/core/typing.h"

namespace editing {

// Moves the caret to the typed hexadecimal address (up to 16 digits), clamped into
// 0 .. length; the selection and the pane stay.
template <class Editor> void GoToAddress(Editor& e, const char* text) {
    const uint64_t address = find_input::ParseWideHexAddress(text);
    JumpCaretTo(e, static_cast<int64_t>(
                       find_input::ClampToLength(address, static_cast<uint64_t>(e.length))));
}

// The byte Edit Bits starts from: the one under the caret, 0 on the end position or when it
// could not be read.
template <class Editor> uint8_t ByteUnderCaret(const Editor& e) {
    return static_cast<uint8_t>(std::max<int32_t>(0, ReadByteAt(e, e.caretOffset)));
}

// Stores the edited byte at the caret; on the end position it appends one byte. An unchanged
// value writes nothing, and a buffer that can't grow stays as it was. Returns whether the
// bytes changed.
template <class Editor> bool StoreEditedByte(Editor& e, uint8_t oldValue, uint8_t value) {
    if (value == oldValue)
        return false;
    if (e.caretOffset < 0 || e.caretOffset > e.length)
        return false;
    if (e.caretOffset == e.length && (RefusedResize(e) || !OpenByteAtCaret(e)))
        return false;
    OverwriteByteAt(e, e.caretOffset, value);
    e.modified = 1;
    e.Invalidate();
    return true;
}

} // namespace editing
