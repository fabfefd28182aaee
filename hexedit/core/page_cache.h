// A bounded cache of a large file's pages, read on demand through the platform's reader. The
// pages used least recently go first; a page whose read failed is remembered as unreadable (its
// bytes are never filled in, so nothing unread can be written back), until the cache is dropped.
// A page whose read the user cancelled stays unread until the user asks for it again.
//
// The reader may take long and let other code run meanwhile (the platform's reader waits in a
// message loop), and that code may read other pages or drop the cache: every read goes into a
// block of its own, kept only if the cache still holds the same file at the same length and the
// page is still missing.
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
    kCancelled, // the user gave up waiting: unread until the user asks for the bytes again
    kDeferred,  // not read now (another read is on its way): tried again next time
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
    // As Read, from the cached pages only: a page not cached is unreadable this time. Never
    // calls the reader.
    ReadResult Peek(uint64_t offset, uint8_t* out, size_t count, uint8_t* unreadable);
    // Keeps `bytes`, read already, as the page `index` (the rows an open read on its way): ignored
    // unless it is the whole page and the page is not cached.
    void Prime(uint64_t index, std::vector<uint8_t> bytes);
    // Forgets every page, read, failed or cancelled (a revert, a file changed elsewhere).
    void Drop();
    // The pages whose read was cancelled are read again when next asked for: the user has
    // moved to them again.
    void ForgetCancelled() { cancelled_.clear(); }
    // A new length for a file that changed elsewhere; drops the pages.
    void Reset(uint64_t length);

    size_t CachedPages() const { return pages_.size(); }
    size_t FailedPages() const { return failed_.size(); }
    size_t CancelledPages() const { return cancelled_.size(); }
    CacheCounts Counts() const { return counts_; }

  private:
    struct Page {
        uint64_t index;
        std::vector<uint8_t> bytes;
    };
    using Lru = std::list<Page>; // most recently used first

    size_t PageBytes(uint64_t index) const;
    ReadResult ReadPages(uint64_t offset, uint8_t* out, size_t count, uint8_t* unreadable,
                         bool mayRead);
    // The cached page, read now if needed and allowed; nullptr when it is unreadable (this
    // time or always).
    const Page* Fetch(uint64_t index, bool mayRead);
    // Reads `pages` whole uncached pages from `first` straight into out, keeping none.
    ReadOutcome ReadDirect(uint64_t first, uint64_t pages, uint8_t* out);
    // Remembers what the read of `pages` pages from `first` came to.
    void Note(ReadOutcome outcome, uint64_t first, uint64_t pages);
    bool Uncached(uint64_t index) const;
    // Makes `bytes` the most recently used page `index`, letting the least recent one go.
    void Keep(uint64_t index, std::vector<uint8_t> bytes);

    FileReader& reader_;
    uint64_t length_;
    size_t pageSize_;
    size_t maxPages_;
    Lru pages_;
    std::unordered_map<uint64_t, Lru::iterator> where_;
    std::unordered_set<uint64_t> failed_;
    std::unordered_set<uint64_t> cancelled_;
    std::vector<uint8_t> spare_; // the storage of the page let go of last, for the next read
    uint64_t generation_ = 0;    // counts the drops: a read from before one is of no use
    CacheCounts counts_{0, 0};
};

} // namespace bytes
