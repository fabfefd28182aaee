// A file of any size read on demand: its pages through a bounded cache, with the overwritten
// bytes laid over them. The length never changes here; inserting and deleting are refused above.
#pragma once

#include "hexedit/core/byte_source.h"
#include "hexedit/core/change_set.h"
#include "hexedit/core/page_cache.h"

namespace bytes {

class OnDemandSource final : public ByteSource {
  public:
    OnDemandSource(FileReader& reader, uint64_t length,
                   size_t pageSize = PageCache::kDefaultPageSize,
                   size_t maxPages = PageCache::kDefaultMaxPages)
        : cache_(reader, length, pageSize, maxPages) {}

    uint64_t Length() const override { return cache_.Length(); }
    ReadResult Read(uint64_t offset, uint8_t* out, size_t count, uint8_t* unreadable) override {
        return WithChanges(cache_.Read(offset, out, count, unreadable), offset, out, unreadable);
    }
    // As Read, from the cached pages only: what is not cached is unreadable this time. For
    // what must never wait for the medium (the caret's facts for assistive technology).
    ReadResult Peek(uint64_t offset, uint8_t* out, size_t count, uint8_t* unreadable) {
        return WithChanges(cache_.Peek(offset, out, count, unreadable), offset, out, unreadable);
    }

    // Overwrites inside the file only: bytes past the end are left out.
    void Overwrite(uint64_t offset, const uint8_t* data, size_t count) {
        changes_.Overwrite(offset, data, ClipToLength(offset, count, Length()));
    }
    // Drops the changes and the cached pages, so what is shown is read again: a revert, and
    // after a save (the file holds the changes then).
    void Revert() {
        changes_.Clear();
        cache_.Drop();
    }

    const ChangeSet& Changes() const { return changes_; }
    PageCache& Cache() { return cache_; }

  private:
    // Lays the changes over what was read.
    ReadResult WithChanges(ReadResult result, uint64_t offset, uint8_t* out, uint8_t* unreadable) {
        if (result.count > 0 && !changes_.Empty()) {
            changes_.Apply(offset, out, result.count, unreadable);
            // A changed byte over an unreadable one is known now: count again only when told.
            if (result.anyUnreadable && unreadable)
                result.anyUnreadable = AnySet(unreadable, result.count);
        }
        return result;
    }
    static bool AnySet(const uint8_t* mask, size_t count) {
        for (size_t i = 0; i < count; ++i)
            if (mask[i])
                return true;
        return false;
    }

    PageCache cache_;
    ChangeSet changes_;
};

} // namespace bytes
