// Caret movement and the selection primitives, written once for any editor type that has the
// editor's fields (caretOffset, caretPane, selAnchor, ...) and its view operations (Scroll,
// EnsureVisible, PlaceCaret, Invalidate). The Win32 control and the portable test model both
// run this code.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "hexedit/core/scroll_math.h"
#include "hexedit/core/view_geometry.h"

namespace editing {

template <class Editor> bool HasSelection(const Editor& e) {
    return e.selAnchor >= 0 && e.selEnd >= 0;
}

template <class Editor> void SetSelection(Editor& e, int64_t anchor, int64_t end) {
    e.selAnchor = anchor;
    e.selEnd = end;
}

// Bytes covered by the selection; its larger end is limited to the last byte, so a selection
// that only holds the end position counts 0.
template <class Editor> int64_t SelectionLength(const Editor& e) {
    if (!HasSelection(e))
        return 0;
    const int64_t lo = std::min(e.selAnchor, e.selEnd);
    const int64_t hi = std::min<int64_t>(std::max(e.selAnchor, e.selEnd), e.length - 1);
    return std::max<int64_t>(0, hi - lo + 1);
}

// dx: -1, 0 or +1 steps along the row (bytes in the text pane, nibbles in the hex pane);
// dy: rows. Clamps to 0..length, makes the view follow and places the system caret.
template <class Editor> void MoveCaret(Editor& e, int dx, int dy) {
    const bool fromEndLow = e.caretOffset == e.length && e.caretPane == kHexLow;
    const int64_t bpr = e.bytesPerRow;
    int64_t off = e.caretOffset;
    if (e.caretPane == kTextPane) {
        off += dy * bpr + dx;
    } else if (e.caretPane == kHexHigh) {
        if (dx != 0) {
            e.caretPane = kHexLow;
            if (dx < 0)
                off -= 1; // to the low digit of the previous byte
        }
        off += dy * bpr;
    } else {
        if (dx != 0) {
            e.caretPane = kHexHigh;
            if (dx > 0)
                off += 1; // to the high digit of the next byte
        }
        off += dy * bpr;
    }

    if (off < 0) {
        if (dy >= 0) {
            off = 0;
            if (e.caretPane != kTextPane)
                e.caretPane = kHexHigh;
        } else if (dy == -1) {
            off = off - dy * bpr - dx; // one row up from the first row: stay
        } else {
            off = std::llabs((off - dy * bpr - dx) % bpr); // same column of the first row
        }
        if (off < 0)
            off = 0;
    }
    if (off >= e.length) {
        off = e.length;
        if (fromEndLow && (dx > 0 || dy > 0))
            e.caretPane = kHexLow;
    }
    e.caretOffset = off;

    if (e.caretOffset < e.topOffset)
        e.Scroll(scroll::kLineUp);
    if (e.caretOffset >= e.topOffset + bpr * e.visibleRows)
        e.Scroll(scroll::kLineDown);
    e.EnsureVisible(e.caretOffset);
    e.PlaceCaret(e.caretOffset);
}

// Brings the caret's byte into view after bytes at or before it went or came; when the caret
// then heads the view, the row above it is shown too.
template <class Editor> void ShowCaretWithRowAbove(Editor& e) {
    e.EnsureVisible(e.caretOffset);
    e.PlaceCaret(e.caretOffset);
    if (e.topOffset == e.caretOffset)
        e.Scroll(scroll::kLineUp);
}

// Puts the caret on `offset` (within 0..length), brings it into view and repaints; the
// selection and the pane stay. Go To, bookmarks and Find land the caret this way.
template <class Editor> void JumpCaretTo(Editor& e, int64_t offset) {
    e.caretOffset = offset;
    e.EnsureVisible(e.caretOffset);
    e.PlaceCaret(e.caretOffset);
    e.Invalidate();
}

// Selects every byte and leaves the caret on the last one.
template <class Editor> void SelectAll(Editor& e) {
    if (e.length <= 0)
        return;
    e.SetSelection(0, e.length - 1);
    e.caretOffset = e.length - 1;
    if (e.caretPane == kHexHigh)
        e.caretPane = kHexLow;
    e.Scroll(scroll::kThumbTrack);
    e.MoveCaret(0, 0);
    e.Invalidate();
}

} // namespace editing
