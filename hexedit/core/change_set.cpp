#include "hexedit/core/change_set.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <utility>

namespace bytes {

void ChangeSet::Overwrite(uint64_t offset, const uint8_t* data, size_t count) {
    if (count == 0)
        return;
    const uint64_t end = offset + count;
    // Every run from the one that reaches `offset` to the last that starts at or before `end`.
    auto first = runs_.upper_bound(offset);
    if (first != runs_.begin()) {
        const auto before = std::prev(first);
        if (before->first + before->second.size() >= offset)
            first = before;
    }
    const auto last = runs_.upper_bound(end);
    uint64_t start = offset;
    uint64_t stop = end;
    std::vector<uint8_t> merged;
    if (first != last) {
        start = std::min(start, first->first);
        for (auto it = first; it != last; ++it) {
            stop = std::max<uint64_t>(stop, it->first + it->second.size());
            changedBytes_ -= it->second.size();
        }
        // A run extended at its end keeps its storage: typing on costs no copy of the run.
        if (first->first == start)
            merged = std::move(first->second);
    }
    merged.resize(static_cast<size_t>(stop - start));
    for (auto it = first; it != last; ++it)
        if (!it->second.empty())
            std::memcpy(merged.data() + (it->first - start), it->second.data(), it->second.size());
    std::memcpy(merged.data() + (offset - start), data, count);
    runs_.erase(first, last);
    runs_.emplace(start, std::move(merged));
    changedBytes_ += stop - start;
}

void ChangeSet::Apply(uint64_t offset, uint8_t* out, size_t count, uint8_t* unreadable) const {
    const uint64_t end = offset + count;
    auto it = runs_.upper_bound(offset);
    if (it != runs_.begin())
        --it;
    for (; it != runs_.end() && it->first < end; ++it) {
        const uint64_t lo = std::max(offset, it->first);
        const uint64_t hi = std::min<uint64_t>(end, it->first + it->second.size());
        if (lo >= hi)
            continue;
        std::memcpy(out + (lo - offset), it->second.data() + (lo - it->first),
                    static_cast<size_t>(hi - lo));
        if (unreadable)
            std::memset(unreadable + (lo - offset), 0, static_cast<size_t>(hi - lo));
    }
}

} // namespace bytes
