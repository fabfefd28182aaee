#include "hexedit/core/page_cache.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace bytes {

namespace {

void Fill(uint8_t* out, uint8_t* unreadable, size_t count, bool readable) {
    if (!readable)
        std::memset(out, 0, count);
    if (unreadable)
        std::memset(unreadable, readable ? 0 : 1, count);
}

} // namespace

PageCache::PageCache(FileReader& reader, uint64_t length, size_t pageSize, size_t maxPages)
    : reader_(reader), length_(length), pageSize_(std::max<size_t>(pageSize, 1)),
      maxPages_(std::max<size_t>(maxPages, 1)) {}

size_t PageCache::PageBytes(uint64_t index) const {
    return ClipToLength(index * pageSize_, pageSize_, length_);
}

bool PageCache::Uncached(uint64_t index) const {
    return where_.count(index) == 0 && failed_.count(index) == 0;
}

const PageCache::Page* PageCache::Fetch(uint64_t index) {
    if (failed_.count(index))
        return nullptr;
    const auto found = where_.find(index);
    if (found != where_.end()) {
        ++counts_.hits;
        pages_.splice(pages_.begin(), pages_, found->second);
        return &pages_.front();
    }
    ++counts_.misses;
    spare_.resize(PageBytes(index));
    const ReadOutcome outcome = reader_.ReadAt(index * pageSize_, spare_.data(), spare_.size());
    if (outcome == ReadOutcome::kFailed)
        failed_.insert(index);
    if (outcome != ReadOutcome::kRead)
        return nullptr;
    Keep(index);
    return &pages_.front();
}

void PageCache::Keep(uint64_t index) {
    if (pages_.size() >= maxPages_) {
        // The least recently used page goes; its storage serves the next read.
        Page& last = pages_.back();
        where_.erase(last.index);
        std::vector<uint8_t> recycled = std::move(last.bytes);
        pages_.pop_back();
        pages_.push_front({index, std::move(spare_)});
        spare_ = std::move(recycled);
    } else {
        pages_.push_front({index, std::move(spare_)});
        spare_ = std::vector<uint8_t>();
    }
    where_[index] = pages_.begin();
}

void PageCache::Prime(uint64_t index, std::vector<uint8_t> bytes) {
    if (bytes.empty() || bytes.size() != PageBytes(index) || !Uncached(index))
        return;
    spare_ = std::move(bytes);
    Keep(index);
}

ReadOutcome PageCache::ReadDirect(uint64_t first, uint64_t pages, uint8_t* out) {
    counts_.misses += pages;
    return reader_.ReadAt(first * pageSize_, out, static_cast<size_t>(pages * pageSize_));
}

ReadResult PageCache::Read(uint64_t offset, uint8_t* out, size_t count, uint8_t* unreadable) {
    const size_t n = ClipToLength(offset, count, length_);
    bool any = false;
    size_t done = 0;
    uint64_t pageByPageBelow = 0; // after a failed run, its pages one at a time
    while (done < n) {
        const uint64_t at = offset + done;
        const uint64_t index = at / pageSize_;
        const size_t within = static_cast<size_t>(at % pageSize_);
        uint8_t* mask = unreadable ? unreadable + done : nullptr;
        if (within == 0 && index >= pageByPageBelow) {
            uint64_t run = 0;
            while ((run + 1) * pageSize_ <= n - done && Uncached(index + run))
                ++run;
            if (run > 0) {
                const size_t bytes = static_cast<size_t>(run * pageSize_);
                const ReadOutcome outcome = ReadDirect(index, run, out + done);
                if (outcome != ReadOutcome::kFailed) {
                    // A failure is found page by page below, so that only the bad pages stay
                    // unreadable.
                    const bool readable = outcome == ReadOutcome::kRead;
                    Fill(out + done, mask, bytes, readable);
                    any = any || !readable;
                    done += bytes;
                    continue;
                }
                pageByPageBelow = index + run;
            }
        }
        const Page* page = Fetch(index);
        const size_t take = std::min(PageBytes(index) - within, n - done);
        if (page)
            std::memcpy(out + done, page->bytes.data() + within, take);
        Fill(out + done, mask, take, page != nullptr);
        any = any || !page;
        done += take;
    }
    return {n, any};
}

void PageCache::Drop() {
    pages_.clear();
    where_.clear();
    failed_.clear();
}

void PageCache::Reset(uint64_t length) {
    Drop();
    length_ = length;
}

} // namespace bytes
