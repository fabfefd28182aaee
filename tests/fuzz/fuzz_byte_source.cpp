// Plays overwrites, reads (across page borders, with and without a mask, some cancelled),
// chunked finds, saves and reverts against the on-demand source with tiny pages and a tiny
// cache, and checks every answer against a plain array of the file and its changed bytes.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "hexedit/core/chunked_search.h"
#include "hexedit/core/on_demand_source.h"

namespace {

using Bytes = std::vector<uint8_t>;

class Input {
  public:
    Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool More() const { return at_ < size_; }
    uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    uint32_t Word() { return Byte() | (static_cast<uint32_t>(Byte()) << 8); }

  private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

void Check(bool condition) {
    if (!condition)
        std::abort();
}

// The file: pages whose bit is set in failMask (page index mod 8) always fail to read.
struct Medium final : bytes::FileReader {
    Bytes file;
    size_t pageSize = 1;
    uint8_t failMask = 0;
    bool cancel = false;

    bool Fails(uint64_t offset) const { return (failMask >> (offset / pageSize % 8)) & 1; }
    bytes::ReadOutcome ReadAt(uint64_t offset, uint8_t* out, size_t count) override {
        Check(count > 0 && offset % pageSize == 0 && offset + count <= file.size());
        if (cancel)
            return bytes::ReadOutcome::kCancelled;
        for (size_t i = 0; i < count; ++i)
            if (Fails(offset + i))
                return bytes::ReadOutcome::kFailed;
        std::copy(file.begin() + offset, file.begin() + offset + count, out);
        return bytes::ReadOutcome::kRead;
    }
};

struct Model {
    Medium& medium;
    Bytes current;
    std::vector<bool> changed;

    bool Readable(size_t i) const { return changed[i] || !medium.Fails(i); }
};

void CheckRead(bytes::OnDemandSource& source, Model& model, Input& in, bool masked) {
    const size_t n = model.current.size();
    const uint64_t offset = in.Word() % (n + 4);
    const size_t count = in.Byte() % (4 * model.medium.pageSize + 3);
    model.medium.cancel = masked && in.Byte() % 4 == 0;
    Bytes out(count + 1, 0xEE), mask(count + 1, 0xEE);
    const bytes::ReadResult r =
        source.Read(offset, out.data(), count, masked ? mask.data() : nullptr);
    Check(r.count == (offset >= n ? 0 : std::min<size_t>(count, n - offset)));
    Check(out[r.count] == 0xEE && mask[r.count] == 0xEE);
    bool any = false;
    for (size_t i = 0; i < r.count; ++i) {
        const size_t at = offset + i;
        const bool unread = masked ? mask[i] == 1 : out[i] != model.current[at];
        if (masked)
            Check(mask[i] <= 1);
        // A byte is either right or unreadable (0); only a failing or cancelled page is.
        Check(unread ? out[i] == 0 : out[i] == model.current[at]);
        if (unread)
            Check(!model.changed[at] && (model.medium.cancel || model.medium.Fails(at)));
        else
            Check(model.Readable(at) || (!masked && model.current[at] == 0));
        if (masked && !model.medium.cancel)
            Check(unread == !model.Readable(at));
        any = any || unread;
    }
    if (masked)
        Check(r.anyUnreadable == any);
    if (model.medium.cancel) // the user moves to them again: they are read next time
        source.Cache().ForgetCancelled();
    model.medium.cancel = false;
}

int64_t ReferenceFind(const Model& model, const Bytes& pattern, uint64_t first, uint64_t last,
                      bool forwards, bool allReadable) {
    const int64_t n = static_cast<int64_t>(model.current.size());
    const int64_t m = static_cast<int64_t>(pattern.size());
    const int64_t hi = std::min<int64_t>(static_cast<int64_t>(std::min<uint64_t>(last, n)), n - m);
    const auto matches = [&](int64_t p) {
        for (int64_t k = 0; k < m; ++k)
            if (!(allReadable || model.Readable(p + k)) || model.current[p + k] != pattern[k])
                return false;
        return true;
    };
    if (forwards) {
        for (int64_t p = static_cast<int64_t>(first); p <= hi; ++p)
            if (matches(p))
                return p;
    } else {
        for (int64_t p = hi; p >= static_cast<int64_t>(first); --p)
            if (matches(p))
                return p;
    }
    return -1;
}

void CheckFind(bytes::OnDemandSource& source, const Model& model, Input& in) {
    const size_t n = model.current.size();
    Bytes pattern(1 + in.Byte() % 6);
    const size_t from = in.Word() % n;
    for (size_t k = 0; k < pattern.size(); ++k) // mostly taken from the bytes: real matches
        pattern[k] = from + k < n && in.Byte() % 8 ? model.current[from + k] : in.Byte();
    const uint64_t first = in.Word() % (n + 2);
    const uint64_t last = in.Byte() % 4 == 0 ? UINT64_MAX : in.Word() % (n + 2);
    const bool forwards = in.Byte() & 1;
    const size_t chunk = in.Byte() % 40;
    const int stopAfter = in.Byte() % 8; // 0: never
    int chunks = 0;
    const search::ChunkedResult r = search::FindInSource(
        source, pattern.data(), static_cast<int32_t>(pattern.size()), first, last, forwards,
        [&](uint64_t searched, uint64_t total) {
            Check(searched <= total);
            return ++chunks != stopAfter;
        },
        chunk);
    if (r.cancelled)
        Check(r.found == -1);
    else
        Check(r.found == ReferenceFind(model, pattern, first, last, forwards, false));
    // The same bytes held whole: searched where they lie, every byte readable.
    bytes::BlockSource block(model.current.data(), n);
    Check(search::FindInSource(block, pattern.data(), static_cast<int32_t>(pattern.size()), first,
                               last, forwards, nullptr, chunk)
              .found == ReferenceFind(model, pattern, first, last, forwards, true));
}

// Runs in offset order, apart, exactly the changed bytes; then written into the file.
void Save(bytes::OnDemandSource& source, Model& model) {
    uint64_t total = 0;
    int64_t previousEnd = -1;
    source.Changes().ForEachRun([&](uint64_t offset, const uint8_t* data, size_t count) {
        Check(count > 0 && static_cast<int64_t>(offset) > previousEnd);
        previousEnd = static_cast<int64_t>(offset + count);
        for (size_t i = 0; i < count; ++i) {
            Check(model.changed[offset + i] && data[i] == model.current[offset + i]);
            model.medium.file[offset + i] = data[i];
        }
        total += count;
        return true;
    });
    Check(total == source.Changes().ChangedBytes());
    Check(total ==
          static_cast<uint64_t>(std::count(model.changed.begin(), model.changed.end(), true)));
    model.changed.assign(model.changed.size(), false);
    source.Revert();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input in(data, size);
    Medium medium;
    const size_t n = 1 + in.Word() % 600;
    medium.pageSize = 1 + in.Byte() % 24;
    medium.failMask = in.Byte() % 4 == 0 ? 0 : in.Byte();
    const size_t maxPages = 1 + in.Byte() % 4;
    for (size_t i = 0; i < n; ++i)
        medium.file.push_back(static_cast<uint8_t>(i * 7 % 13));
    bytes::OnDemandSource source(medium, n, medium.pageSize, maxPages);
    Model model{medium, medium.file, std::vector<bool>(n, false)};
    while (in.More()) {
        switch (in.Byte() % 7) {
        case 0:
        case 1: {
            const uint64_t offset = in.Word() % (n + 4);
            Bytes bytes(in.Byte() % 12);
            for (uint8_t& b : bytes)
                b = in.Byte();
            source.Overwrite(offset, bytes.data(), bytes.size());
            for (size_t i = 0; i < bytes.size() && offset + i < n; ++i) {
                model.current[offset + i] = bytes[i];
                model.changed[offset + i] = true;
            }
            break;
        }
        case 2:
            CheckRead(source, model, in, true);
            break;
        case 3:
            CheckRead(source, model, in, false);
            break;
        case 4:
            CheckFind(source, model, in);
            break;
        case 5:
            Save(source, model);
            model.current = medium.file;
            break;
        default:
            source.Revert();
            model.current = medium.file;
            model.changed.assign(n, false);
            break;
        }
        Check(source.Cache().CachedPages() <= maxPages);
    }
    return 0;
}
