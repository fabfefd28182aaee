// Plays random buffers, patterns, carets, selections and directions against the search and the
// Find match choice, and checks both against a plain reference written straight from the
// rules: start adjustments, a position-by-position walk, the nearer match.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "hexedit/core/byte_search.h"
#include "hexedit/core/find_rules.h"
#include "support/model_editor.h"

namespace {

using Bytes = std::vector<uint8_t>;

class Input {
  public:
    Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    uint32_t Word() { return Byte() | (static_cast<uint32_t>(Byte()) << 8); }
    Bytes Rest() { return Bytes(data_ + std::min(at_, size_), data_ + size_); }

  private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

int32_t ReferenceSearch(const Bytes& data, int32_t caret, int32_t anchor, int32_t end,
                        const Bytes& pattern, int direction) {
    const int32_t n = static_cast<int32_t>(data.size());
    const int32_t m = static_cast<int32_t>(pattern.size());
    int32_t start = caret;
    if (m == 1 && anchor != -1) {
        start = caret + (direction == 1 ? 1 : -1);
        if (start < 0 || start > n - 1)
            return -1;
    } else if (m > 1 && anchor != -1 && direction != 1) {
        start = std::min(anchor, end) - 1;
        if (start < 0)
            return -1;
    }
    if (n < 1)
        return -1;
    if (start >= n)
        start = n - 1;
    const auto matches = [&](int32_t p) {
        if (m == 0)
            return false;
        for (int32_t i = 0; i < m; ++i)
            if (data[p + i] != pattern[i])
                return false;
        return true;
    };
    if (direction == 1) {
        for (int32_t p = start; p <= n - m; ++p)
            if (matches(p))
                return p;
    } else {
        if (start > n - m)
            start = n - m;
        for (int32_t p = start; p >= 0; --p)
            if (matches(p))
                return p;
    }
    return -1;
}

void Fail() {
    std::abort();
}

// A pattern: copied from the buffer (so that it is found) or taken from the input.
Bytes PatternOf(Input& in, const Bytes& data) {
    const size_t length = in.Byte() % 24;
    const uint8_t how = in.Byte();
    Bytes pattern;
    if ((how & 1) && !data.empty()) {
        const size_t from = in.Word() % data.size();
        pattern.assign(data.begin() + static_cast<long>(from),
                       data.begin() + static_cast<long>(std::min(data.size(), from + length)));
        if (how & 2 && !pattern.empty())
            pattern.back() ^= 1; // a near miss
    } else {
        for (size_t i = 0; i < length; ++i)
            pattern.push_back(in.Byte());
    }
    return pattern;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    Input in(bytes, size);
    const uint8_t flags = in.Byte();
    const int direction = (flags & 1) ? 1 : -1;
    const bool selected = flags & 2;
    const uint32_t caretWord = in.Word();
    const uint32_t anchorWord = in.Word();
    const uint32_t endWord = in.Word();
    const uint32_t repeat = 1 + in.Byte() % 8;
    Bytes patternBytes[2];
    const size_t patternInputs = 24 * 2 * 2;
    Bytes head;
    for (size_t i = 0; i < patternInputs; ++i)
        head.push_back(in.Byte());
    // The buffer: the rest of the input, repeated to reach the block sizes of the fast scan.
    Bytes unit = in.Rest();
    Bytes data;
    for (uint32_t i = 0; i < repeat; ++i)
        data.insert(data.end(), unit.begin(), unit.end());
    Input patternInput(head.data(), head.size());
    patternBytes[0] = PatternOf(patternInput, data);
    patternBytes[1] = PatternOf(patternInput, data);

    const int32_t n = static_cast<int32_t>(data.size());
    const int32_t caret = static_cast<int32_t>(caretWord % (static_cast<uint32_t>(n) + 1));
    const int32_t anchor =
        selected ? static_cast<int32_t>(anchorWord % (static_cast<uint32_t>(n) + 1)) : -1;
    const int32_t end =
        selected ? static_cast<int32_t>(endWord % (static_cast<uint32_t>(n) + 1)) : -1;

    // Each pattern on its own.
    int32_t expected[2];
    for (int k = 0; k < 2; ++k) {
        const Bytes& pattern = patternBytes[k];
        const int32_t m = static_cast<int32_t>(pattern.size());
        expected[k] = ReferenceSearch(data, caret, anchor, end, pattern, direction);
        const search::SearchFrom from{caret, anchor, end};
        if (search::SearchPattern(data.empty() ? nullptr : data.data(), n, from, pattern.data(), m,
                                  direction) != expected[k])
            Fail();
        // Only a match nearer than a rival counts.
        const int32_t rival = static_cast<int32_t>(anchorWord % (static_cast<uint32_t>(n) + 5)) - 2;
        const bool nearer = direction == 1 ? expected[k] < rival : expected[k] > rival;
        if (search::SearchPatternBefore(data.empty() ? nullptr : data.data(), n, from,
                                        pattern.data(), m, direction,
                                        rival) != (expected[k] >= 0 && nearer ? expected[k] : -1))
            Fail();
        // The bare scans from every kind of start.
        const int32_t start = static_cast<int32_t>(caretWord % (static_cast<uint32_t>(n) + 3)) - 1;
        if (search::FindForward(data.data(), n, start, pattern.data(), m) !=
            search::ScanForward(data.data(), n, start, pattern.data(), m))
            Fail();
        if (search::FindBackward(data.data(), n, start, pattern.data(), m) !=
            search::ScanBackward(data.data(), n, start, pattern.data(), m))
            Fail();
    }

    // The two as the hexadecimal and the text pattern of one Find.
    ModelEditor e(data);
    e.caretOffset = caret;
    e.selAnchor = anchor;
    e.selEnd = end;
    e.caretPane = 2;
    e.hexPattern = patternBytes[0].data();
    e.hexPatternLength = static_cast<int32_t>(patternBytes[0].size());
    e.hexPatternState = (flags & 4) ? 2 : 0;
    e.textPattern = patternBytes[1].data();
    e.textPatternLength = static_cast<int32_t>(patternBytes[1].size());
    e.textPatternActive = (flags & 8) ? 1 : 0;
    const bool hexValid = flags & 4;
    const bool textValid = flags & 8;
    const int32_t hexAt = hexValid ? expected[0] : -1;
    const int32_t textAt = textValid ? expected[1] : -1;
    const editing::FindOutcome outcome = editing::FindNextMatch(e, direction);
    if (!hexValid && !textValid) {
        if (outcome != editing::FindOutcome::NoPattern)
            Fail();
    } else if (hexAt < 0 && textAt < 0) {
        if (outcome != editing::FindOutcome::NotFound || e.caretOffset != caret ||
            e.selAnchor != anchor || e.selEnd != end)
            Fail();
    } else {
        bool text = hexAt < 0;
        if (hexAt >= 0 && textAt >= 0)
            text = direction == 1 ? textAt < hexAt : textAt > hexAt;
        const int32_t start = text ? textAt : hexAt;
        const int32_t last = start + static_cast<int32_t>(patternBytes[text ? 1 : 0].size()) - 1;
        if (outcome != editing::FindOutcome::Found || e.selAnchor != start || e.selEnd != last ||
            e.caretOffset != last || e.caretPane != (text ? 1 : 2))
            Fail();
        if (e.caretOffset < 0 || e.caretOffset > e.length)
            Fail();
    }
    e.hexPattern = nullptr;
    e.textPattern = nullptr;
    return 0;
}
