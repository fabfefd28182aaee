#include "hexedit/core/page_cache.h"

#include <algorithm>
#include <cstring>
#include <new>
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
    return where_.count(index) == 0 && failed_.count(index) == 0 && cancelled_.count(index) == 0;
}

void PageCache::Note(ReadOutcome outcome, uint64_t first, uint64_t pages) {
    std::unordered_set<uint64_t>* noted = outcome == ReadOutcome::kFailed      ? &failed_
                                          : outcome == ReadOutcome::kCancelled ? &cancelled_
                                                                               : nullptr;
    for (uint64_t i = 0; noted && i < pages; ++i)
        noted->insert(first + i);
}

const PageCache::Page* PageCache::Fetch(uint64_t index, bool mayRead) {
    if (failed_.count(index) || cancelled_.count(index))
        return nullptr;
    const auto found = where_.find(index);
    if (found != where_.end()) {
        ++counts_.hits;
        pages_.splice(pages_.begin(), pages_, found->second);
        return &pages_.front();
    }
    if (!mayRead)
        return nullptr;
    ++counts_.misses;
    const uint64_t generation = generation_;
    // A block of this read's own: what runs while it waits may read other pages into theirs.
    std::vector<uint8_t> block = std::exchange(spare_, std::vector<uint8_t>());
    block.resize(PageBytes(index));
    const ReadOutcome outcome = reader_.ReadAt(index * pageSize_, block.data(), block.size());
    if (generation != generation_)
        return nullptr; // dropped meanwhile: the file or its length is another now
    Note(outcome, index, 1);
    if (outcome == ReadOutcome::kRead && Uncached(index)) {
        Keep(index, std::move(block));
        return &pages_.front();
    }
    if (spare_.empty())
        spare_ = std::move(block);
    // Read meanwhile by a read that ran while this one waited: that copy is the cache's.
    return outcome == ReadOutcome::kRead ? Fetch(index, false) : nullptr;
}

void PageCache::Keep(uint64_t index, std::vector<uint8_t> bytes) {
    if (pages_.size() >= maxPages_) {
        // The least recently used page goes; its storage serves the next read.
        Page& last = pages_.back();
        where_.erase(last.index);
        spare_ = std::move(last.bytes);
        pages_.pop_back();
    }
    pages_.push_front({index, std::move(bytes)});
    where_[index] = pages_.begin();
}

void PageCache::Prime(uint64_t index, std::vector<uint8_t> bytes) {
    if (bytes.empty() || bytes.size() != PageBytes(index) || !Uncached(index))
        return;
    Keep(index, std::move(bytes));
}

ReadOutcome PageCache::ReadDirect(uint64_t first, uint64_t pages, uint8_t* out) {
    counts_.misses += pages;
    return reader_.ReadAt(first * pageSize_, out, static_cast<size_t>(pages * pageSize_));
}

ReadResult PageCache::Read(uint64_t offset, uint8_t* out, size_t count, uint8_t* unreadable) {
    return ReadPages(offset, out, count, unreadable, true);
}

ReadResult PageCache::Peek(uint64_t offset, uint8_t* out, size_t count, uint8_t* unreadable) {
    return ReadPages(offset, out, count, unreadable, false);
}

ReadResult PageCache::ReadPages(uint64_t offset, uint8_t* out, size_t count, uint8_t* unreadable,
                                bool mayRead) {
    const size_t n = ClipToLength(offset, count, length_);
    const uint64_t generation = generation_;
    bool any = false;
    size_t done = 0;
    uint64_t pageByPageBelow = 0; // after a failed run, its pages one at a time
    try {
        while (done < n) {
            uint8_t* mask = unreadable ? unreadable + done : nullptr;
            if (generation != generation_) {
                // Dropped while a read waited: the rest would be another file's bytes.
                Fill(out + done, mask, n - done, false);
                return {n, true};
            }
            const uint64_t at = offset + done;
            const uint64_t index = at / pageSize_;
            const size_t within = static_cast<size_t>(at % pageSize_);
            if (mayRead && within == 0 && index >= pageByPageBelow) {
                uint64_t run = 0;
                while ((run + 1) * pageSize_ <= n - done && Uncached(index + run))
                    ++run;
                if (run > 0) {
                    const size_t bytes = static_cast<size_t>(run * pageSize_);
                    const ReadOutcome outcome = ReadDirect(index, run, out + done);
                    if (generation != generation_)
                        continue;
                    if (outcome != ReadOutcome::kFailed) {
                        // A failure is found page by page below, so that only the bad pages
                        // stay unreadable.
                        Note(outcome, index, run);
                        const bool readable = outcome == ReadOutcome::kRead;
                        Fill(out + done, mask, bytes, readable);
                        any = any || !readable;
                        done += bytes;
                        continue;
                    }
                    pageByPageBelow = index + run;
                }
            }
            const Page* page = Fetch(index, mayRead);
            if (generation != generation_)
                continue;
            const size_t take = std::min(PageBytes(index) - within, n - done);
            if (page)
                std::memcpy(out + done, page->bytes.data() + within, take);
            Fill(out + done, mask, take, page != nullptr);
            any = any || !page;
            done += take;
        }
    } catch (const std::bad_alloc&) {
        // No room to keep a page: unread this time, as a read that has to wait.
        Fill(out, unreadable, n, false);
        return {n, true};
    }
    return {n, any};
}

void PageCache::Drop() {
    pages_.clear();
    where_.clear();
    failed_.clear();
    cancelled_.clear();
    ++generation_;
}

void PageCache::Reset(uint64_t length) {
    Drop();
    length_ = length;
}

} // namespace bytes
