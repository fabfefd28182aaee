// The typing and deletion rules: which bytes a typed character or a deletion changes, and
// where the caret goes. Written once for any editor type with the editor's fields and its
// operations; the buffer is always exactly `length` bytes, resized through ResizeBuffer. A file
// read on demand takes overwrites only: typing that would insert and every deletion are refused
// there, said once per try.
#pragma once

#include <algorithm>
#include <cstdint>

#include "hexedit/core/buffer_edits.h"
#include "hexedit/core/byte_buffer.h"
#include "hexedit/core/caret_motion.h"
#include "hexedit/core/code_page_1252.h"
#include "hexedit/core/editor_source.h"
#include "hexedit/core/hex_digit.h"
#include "hexedit/core/scroll_math.h"

namespace editing {

// Character codes with a meaning of their own.
constexpr uint32_t kCharBackspace = 8;
constexpr uint32_t kCharTab = 9;

template <class Editor> bool ResizeBuffer(Editor& e, int64_t delta) {
    if (IsOnDemand(e) || !ResizeExact(e.buffer, e.length, delta))
        return false;
    SyncWholeBlock(e);
    return true;
}

// Whether a character typed now would only overwrite a byte inside the file.
template <class Editor> bool TypingOverwrites(const Editor& e) {
    return !HasSelection(e) && e.overwriteMode == 1 && e.caretOffset < e.length;
}

// A zero byte at the caret, the rest moving up one place.
template <class Editor> bool OpenByteAtCaret(Editor& e) {
    if (!OpenGap(e, e.caretOffset, 1))
        return false;
    e.UpdateScrollBar();
    return true;
}

// Makes sure a byte stands under the caret for the typed character to change. The low digit
// in insert mode completes the byte that the high digit opened, so it only appends.
template <class Editor> bool MakeRoomForTyping(Editor& e) {
    const bool atEnd = e.caretOffset == e.length;
    if (e.overwriteMode == 1 || e.caretPane == kHexLow)
        return atEnd ? OpenByteAtCaret(e) : true;
    return OpenByteAtCaret(e);
}

// A character message. `ctrl`: the Ctrl key was held.
template <class Editor> void TypeCharacter(Editor& e, uint32_t code, bool ctrl) {
    if (code == kCharTab || ctrl)
        return;
    if (code == kCharBackspace) {
        e.DeleteBackward();
        return;
    }
    int nibble = -1;
    int textByte = -1;
    if (e.caretPane != kTextPane) {
        nibble = HexDigitValue(code);
        if (nibble < 0) {
            e.Invalidate();
            return;
        }
    } else {
        // The byte the pane shows as this character; one it can't show is refused, audibly.
        textByte = cp1252::ByteOf(code);
        if (textByte < 0) {
            e.Beep();
            return;
        }
    }
    if (!TypingOverwrites(e) && RefusedResize(e)) {
        e.Invalidate();
        return;
    }
    // Typing over a selection replaces it: this one keystroke inserts.
    bool temporaryInsert = false;
    if (HasSelection(e)) {
        e.DeleteSelection();
        // The length may have changed even when no byte is opened below (hex low digit).
        e.UpdateScrollBar();
        if (e.overwriteMode == 1) {
            e.overwriteMode = 0;
            temporaryInsert = true;
        }
    }
    const bool room = MakeRoomForTyping(e);
    if (room) {
        // An unreadable byte counts as 0 for the digit that is not typed.
        const int32_t old = std::max<int32_t>(0, ReadByteAt(e, e.caretOffset));
        uint8_t byte = static_cast<uint8_t>(old);
        if (e.caretPane == kTextPane)
            byte = static_cast<uint8_t>(textByte);
        else if (e.caretPane == kHexHigh)
            byte = static_cast<uint8_t>((byte & 0x0F) | (nibble << 4));
        else
            byte = static_cast<uint8_t>((byte & 0xF0) | nibble);
        OverwriteByteAt(e, e.caretOffset, byte);
        e.modified = 1;
    }
    if (temporaryInsert)
        e.overwriteMode = 1;
    if (room)
        e.MoveCaret(1, 0);
    e.Invalidate();
}

// Removes the selected bytes (its larger end limited to the last byte) and puts the caret on
// the first of them. Leaves the scroll bar and repainting to the caller.
template <class Editor> void DeleteSelection(Editor& e) {
    if (!HasSelection(e) || IsOnDemand(e))
        return;
    e.modified = 1;
    int64_t lo = std::min(e.selAnchor, e.selEnd);
    int64_t hi = std::max(e.selAnchor, e.selEnd);
    if (hi >= e.length)
        hi = e.length - 1;
    if (lo > e.length)
        lo = e.length;
    if (lo <= hi)
        CloseGap(e, lo, hi - lo + 1);
    e.caretOffset = lo;
    e.SetSelection(-1, -1);
    ShowCaretWithRowAbove(e);
}

// What Delete and Backspace share: nothing happens in an empty buffer or a file read on
// demand, and a selection goes as a whole. True when that settled the key.
template <class Editor> bool DeletedEmptyOrSelection(Editor& e) {
    if (e.length == 0 || RefusedResize(e))
        return true;
    if (!HasSelection(e))
        return false;
    e.modified = 1;
    e.DeleteSelection();
    e.UpdateScrollBar();
    e.Invalidate();
    return true;
}

// Delete: the byte under the caret goes; the caret keeps its offset and nibble.
template <class Editor> void DeleteForward(Editor& e) {
    if (DeletedEmptyOrSelection(e))
        return;
    if (e.caretOffset >= e.length)
        return;
    e.modified = 1;
    CloseGap(e, e.caretOffset, 1);
    e.UpdateScrollBar();
    e.Invalidate();
}

// Backspace: the whole byte before the caret goes, also in the hex pane.
template <class Editor> void DeleteBackward(Editor& e) {
    if (DeletedEmptyOrSelection(e))
        return;
    if (e.caretOffset == 0)
        return;
    e.modified = 1;
    CloseGap(e, e.caretOffset - 1, 1);
    e.caretOffset -= 1;
    if (e.caretPane != kTextPane)
        e.caretPane = kHexHigh;
    ShowCaretWithRowAbove(e);
    e.UpdateScrollBar();
    e.Invalidate();
}

} // namespace editing
