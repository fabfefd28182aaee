// The rules of Find for any editor type with the editor's fields and operations: the two
// patterns built from one input, and the choice between their matches.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "hexedit/core/byte_buffer.h"
#include "hexedit/core/byte_search.h"
#include "hexedit/core/caret_motion.h"
#include "hexedit/core/chunked_search.h"
#include "hexedit/core/editor_source.h"
#include "hexedit/core/find_input.h"

namespace editing {

constexpr int32_t kHexPatternValid = 2;

// Replaces both patterns with those of `text` (zero-terminated). The text is a pattern unless
// it stands for characters the view can't show (`textSearchable` false); when it reads as
// hexadecimal digits and spaces, the bytes they spell are one too. A pattern whose block
// can't be had is simply not valid.
template <class Editor>
void BuildFindPatterns(Editor& e, const char* text, bool textSearchable = true) {
    e.hexPatternState = 0;
    e.textPatternActive = 0;
    const size_t length = std::strlen(text);
    if (find_input::HasHexForm(text, length)) {
        GuardedFree(e.hexPattern);
        e.hexPattern = static_cast<uint8_t*>(GuardedAlloc(length / 2 + 2));
        if (e.hexPattern) {
            std::memset(e.hexPattern, 0, length / 2);
            const size_t digits = find_input::SpellHexBytes(text, length, e.hexPattern);
            if (digits % 2 != 0) {
                GuardedFree(e.hexPattern);
                e.hexPattern = nullptr;
            } else {
                e.hexPatternState = kHexPatternValid;
                e.hexPatternLength = static_cast<int32_t>(digits / 2);
            }
        }
    }
    GuardedFree(e.textPattern);
    e.textPattern = nullptr;
    if (!textSearchable)
        return;
    e.textPatternLength = static_cast<int32_t>(length);
    e.textPattern = static_cast<uint8_t*>(GuardedAlloc(length + 1));
    if (e.textPattern) {
        std::memcpy(e.textPattern, text, length + 1);
        e.textPatternActive = 1;
    }
}

template <class Editor> bool HasFindPattern(const Editor& e) {
    return e.hexPatternState == kHexPatternValid || e.textPatternActive == 1;
}

// Where each pattern matches nearest the caret (-1: nowhere, or not nearer than the other).
struct FindMatches {
    int64_t hexAt = -1;
    int64_t textAt = -1;
    bool cancelled = false;     // the hook stopped the search: nothing is to be selected
    bool metUnreadable = false; // some bytes searched could not be read
};

// One pattern searched from the caret, counting only a match nearer than `rival` (length
// forwards or -1 backwards count every one); the match's offset, or -1. A file held whole is
// searched where it lies, a file read on demand in chunks that overlap by the pattern, `hook`
// told after each chunk and able to stop the search; `seen` notes a cancel and unread bytes.
template <class Editor>
int64_t SearchNearerThan(const Editor& e, const uint8_t* pattern, int32_t patternLength,
                         int direction, int64_t rival, const search::ChunkHook& hook = nullptr,
                         FindMatches* seen = nullptr) {
    const search::SearchFrom from{e.caretOffset, e.selAnchor, e.selEnd};
    if (!IsOnDemand(e))
        return search::SearchPatternBefore(e.buffer, static_cast<int32_t>(e.length), from, pattern,
                                           patternLength, direction, static_cast<int32_t>(rival));
    const bool forwards = direction == 1;
    int64_t start = 0;
    if (!search::SearchStart(from, e.length, patternLength, forwards, start) ||
        (forwards ? rival <= start : rival >= start))
        return -1;
    const int64_t first = forwards ? start : rival + 1;
    const int64_t last = forwards ? rival - 1 : start;
    const search::ChunkedResult result =
        search::FindInSource(*e.source, pattern, patternLength, static_cast<uint64_t>(first),
                             static_cast<uint64_t>(last), forwards, hook);
    if (seen) {
        seen->cancelled = seen->cancelled || result.cancelled;
        seen->metUnreadable = seen->metUnreadable || result.metUnreadable;
    }
    return result.found;
}

// Both patterns searched from the caret; the text one only up to the hexadecimal match, since
// it wins only when strictly nearer. Reads only the search fields of `e` (it may be a copy of
// them searched off the editor's thread).
template <class Editor>
FindMatches SearchBothPatterns(const Editor& e, int direction,
                               const search::ChunkHook& hook = nullptr) {
    FindMatches m;
    const bool forwards = direction == 1;
    if (e.hexPatternState == kHexPatternValid)
        m.hexAt = SearchNearerThan(e, e.hexPattern, e.hexPatternLength, direction,
                                   forwards ? e.length : -1, hook, &m);
    const int64_t rival = m.hexAt >= 0 ? m.hexAt : (forwards ? e.length : -1);
    if (e.textPatternActive == 1 && !m.cancelled)
        m.textAt =
            SearchNearerThan(e, e.textPattern, e.textPatternLength, direction, rival, hook, &m);
    return m;
}

enum class FindOutcome { NoPattern, NotFound, Found };

// Selects the nearer match (the hexadecimal one on equal starts), with the caret on its last
// byte.
template <class Editor> FindOutcome SelectMatch(Editor& e, const FindMatches& m) {
    const int64_t hexAt = m.hexAt;
    const int64_t textAt = m.textAt;
    if (hexAt < 0 && textAt < 0)
        return FindOutcome::NotFound;

    int64_t start = hexAt;
    int32_t matchLength = e.hexPatternLength;
    int32_t pane = kHexHigh;
    if (textAt >= 0) {
        start = textAt;
        matchLength = e.textPatternLength;
        pane = kTextPane;
    }
    e.caretPane = pane;
    const int64_t lastByte = start + matchLength - 1;
    e.SetSelection(start, lastByte);
    const auto clamp = [&](int64_t v) { return std::max<int64_t>(0, std::min(v, e.length)); };
    e.selAnchor = clamp(e.selAnchor);
    e.selEnd = clamp(e.selEnd);
    JumpCaretTo(e, clamp(lastByte));
    return FindOutcome::Found;
}

// Searches both patterns from the caret and selects the nearer match. direction 1 forwards, else
// backwards.
template <class Editor> FindOutcome FindNextMatch(Editor& e, int direction) {
    if (!HasFindPattern(e))
        return FindOutcome::NoPattern;
    return SelectMatch(e, SearchBothPatterns(e, direction));
}

} // namespace editing
