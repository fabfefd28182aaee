// The bytes overwritten in a large file, held apart from it until a save: runs of changed bytes
// by offset, so memory grows with the bytes changed, reads see them at once, and a save writes
// exactly these runs in offset order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

namespace bytes {

class ChangeSet {
  public:
    // Later overwrites win; touching or overlapping runs become one.
    void Overwrite(uint64_t offset, const uint8_t* data, size_t count);
    // Lays the changed bytes over out[0 .. count) read from `offset`; a changed byte is known,
    // so it is readable whatever the file said (the mask, when given, is cleared there).
    void Apply(uint64_t offset, uint8_t* out, size_t count, uint8_t* unreadable) const;

    bool Empty() const { return runs_.empty(); }
    size_t RunCount() const { return runs_.size(); }
    uint64_t ChangedBytes() const { return changedBytes_; }
    void Clear() {
        runs_.clear();
        changedBytes_ = 0;
    }

    // Calls write(offset, data, count) for every run in offset order; stops at the first call
    // that returns false (a failed write) and returns false then.
    template <class Write> bool ForEachRun(Write&& write) const {
        for (const auto& run : runs_)
            if (!write(run.first, run.second.data(), run.second.size()))
                return false;
        return true;
    }

  private:
    std::map<uint64_t, std::vector<uint8_t>> runs_; // start offset -> bytes
    uint64_t changedBytes_ = 0;
};

} // namespace bytes
