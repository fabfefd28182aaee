// A bounded cache of a large file's pages, read on demand through the platform's reader. The
// pages used least recently go first; a page whose read failed is remembered as unreadable (its
// bytes are never filled in, so nothing unread can be written back), until the cache is dropped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "hexedit/core/byte_source.h"

namespace bytes {

enum class ReadOutcome {
    kRead,      // every byte asked for arrived
    kFailed,    // the medium refused: the bytes are unreadable
    kCancelled, // the user gave up waiting: unread this time, tried again next time
};

// The platform's file read at a 64-bit offset (ReadFile on Windows).
class FileReader {
  public:
    virtual ~FileReader() = default;
    virtual ReadOutcome ReadAt(uint64_t offset, uint8_t* out, size_t count) = 0;
};

struct CacheCounts {
    uint64_t hits;
    uint64_t misses;
};

class PageCache {
  public:
    static constexpr size_t kDefaultPageSize = 64 * 1024;
    static constexpr size_t kDefaultMaxPages = 512; // 32 MiB

    PageCache(FileReader& reader, uint64_t length, size_t pageSize = kDefaultPageSize,
              size_t maxPages = kDefaultMaxPages);

    uint64_t Length() const { return length_; }
    // As ByteSource::Read. Whole pages that are not cached are read straight into `out`
    // without being kept, so a long scan does not push out the pages on screen.
    ReadResult Read(uint64_t offset, uint8_t* out, size_t count, uint8_t* unreadable);
    // Keeps `bytes`, read already, as the page `index` (the rows an open read on its way): ignored
    // unless it is the whole page and the page is not cached.
    void Prime(uint64_t index, std::vector<uint8_t> bytes);
    // Forgets every page, read or failed (a revert, a file changed elsewhere).
    void Drop();
    // A new length for a file that changed elsewhere; drops the pages.
    void Reset(uint64_t length);

    size_t CachedPages() const { return pages_.size(); }
    size_t FailedPages() const { return failed_.size(); }
    CacheCounts Counts() const { return counts_; }

  private:
    struct Page {
        uint64_t index;
        std::vector<uint8_t> bytes;
    };
    using Lru = std::list<Page>; // most recently used first

    size_t PageBytes(uint64_t index) const;
    // The cached page, read now if needed; nullptr when it is unreadable (this time or always).
    const Page* Fetch(uint64_t index);
    // Reads `pages` whole uncached pages from `first` straight into out, keeping none.
    ReadOutcome ReadDirect(uint64_t first, uint64_t pages, uint8_t* out);
    bool Uncached(uint64_t index) const;
    // Makes spare_ the most recently used page `index`, letting the least recent one go.
    void Keep(uint64_t index);

    FileReader& reader_;
    uint64_t length_;
    size_t pageSize_;
    size_t maxPages_;
    Lru pages_;
    std::unordered_map<uint64_t, Lru::iterator> where_;
    std::unordered_set<uint64_t> failed_;
    std::vector<uint8_t> spare_;
    CacheCounts counts_{0, 0};
};

} // namespace bytes
