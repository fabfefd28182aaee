// The one way the editor reaches its bytes, whatever holds them: the whole block of a file read
// in full, or a large file read on demand. Paint, find, copy and save ask this, never a pointer.
#pragma once

#include <cstddef>
#include <cstdint>

namespace bytes {

struct ReadResult {
    size_t count;       // bytes filled: the request clipped to the end
    bool anyUnreadable; // some of them could not be read
};

class ByteSource {
  public:
    virtual ~ByteSource() = default;
    virtual uint64_t Length() const = 0;
    // Fills out[0 .. count) from `offset`, clipped to Length(). A byte that could not be read
    // comes back as 0 with unreadable[i] = 1 (the mask, when given, is written for every filled
    // byte).
    virtual ReadResult Read(uint64_t offset, uint8_t* out, size_t count, uint8_t* unreadable) = 0;
    // All Length() bytes in one piece, every one readable, when the source holds them so: a
    // long scan then reads them where they lie. nullptr otherwise.
    virtual const uint8_t* Block() const { return nullptr; }
};

// The whole block held in memory: every byte readable. The owner keeps the block alive and
// points the source at it again after the block moves or changes size.
class BlockSource final : public ByteSource {
  public:
    BlockSource(const uint8_t* data, uint64_t length) : data_(data), length_(length) {}
    void Reset(const uint8_t* data, uint64_t length) {
        data_ = data;
        length_ = length;
    }
    uint64_t Length() const override { return length_; }
    ReadResult Read(uint64_t offset, uint8_t* out, size_t count, uint8_t* unreadable) override;
    const uint8_t* Block() const override { return data_; }

  private:
    const uint8_t* data_;
    uint64_t length_;
};

// How many of `count` bytes from `offset` lie inside `length`.
inline size_t ClipToLength(uint64_t offset, size_t count, uint64_t length) {
    if (offset >= length)
        return 0;
    return length - offset < count ? static_cast<size_t>(length - offset) : count;
}

} // namespace bytes
