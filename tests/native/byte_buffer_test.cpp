// The exact-size byte buffer and the allocation guard.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "hexedit/core/buffer_edits.h"
#include "hexedit/core/byte_buffer.h"

namespace {
// An editor-like block: the buffer operations only need these two fields and ResizeBuffer.
struct Block {
    uint8_t* buffer = nullptr;
    int32_t length = 0;
    explicit Block(std::vector<uint8_t> from = {}) {
        if (!from.empty()) {
            EXPECT_TRUE(ResizeBuffer(static_cast<int32_t>(from.size())));
            std::copy(from.begin(), from.end(), buffer);
        }
    }
    ~Block() {
        FailNextAllocations(0);
        GuardedFree(buffer);
    }
    bool ResizeBuffer(int32_t delta) { return ResizeExact(buffer, length, delta); }
    std::vector<uint8_t> Bytes() const {
        return buffer ? std::vector<uint8_t>(buffer, buffer + length) : std::vector<uint8_t>();
    }
};
} // namespace

TEST(ByteBuffer, GrowsWithZeroes) {
    Block b({9, 9});
    ASSERT_TRUE(ResizeExact(b.buffer, b.length, 3));
    EXPECT_EQ(b.Bytes(), (std::vector<uint8_t>{9, 9, 0, 0, 0}));
}

TEST(ByteBuffer, GuardRefusesTwoGibibytesAndMore) {
    EXPECT_EQ(GuardedAlloc(0x80000000ull), nullptr);
    EXPECT_EQ(GuardedAlloc(~0ull), nullptr);
    EXPECT_EQ(GuardedAlloc(0x100000010ull), nullptr); // 4 GiB + 16: not 16 bytes in 32 bits
    EXPECT_FALSE(AllocationAllowed(0x100000010ull));
    uint8_t* block = static_cast<uint8_t*>(GuardedAlloc(16));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(GuardedRealloc(block, 0x80000000ull), nullptr);
    GuardedFree(block); // still ours after the refusal
}

TEST(ByteBuffer, GrowthToTheLimitIsRefusedWithoutTouchingTheBlock) {
    uint8_t* bytes = nullptr;
    int32_t length = INT32_MAX; // only the arithmetic is exercised: no block is needed
    EXPECT_FALSE(ResizeExact(bytes, length, 1));
    EXPECT_EQ(length, INT32_MAX);
    EXPECT_EQ(bytes, nullptr);
}

TEST(ByteBuffer, FailedGrowthLeavesEverythingAsItWas) {
    Block b({1, 2, 3});
    uint8_t* before = b.buffer;
    FailNextAllocations(1);
    EXPECT_FALSE(ResizeExact(b.buffer, b.length, 1));
    EXPECT_EQ(b.buffer, before);
    EXPECT_EQ(b.Bytes(), (std::vector<uint8_t>{1, 2, 3}));
    FailNextAllocations(1);
    EXPECT_FALSE(editing::OpenGap(b, 1, 1));
    EXPECT_EQ(b.Bytes(), (std::vector<uint8_t>{1, 2, 3}));
}

TEST(ByteBuffer, ShrinkToZeroFreesTheBlock) {
    Block b({1, 2, 3});
    ASSERT_TRUE(ResizeExact(b.buffer, b.length, -3));
    EXPECT_EQ(b.buffer, nullptr);
    EXPECT_EQ(b.length, 0);
    Block c({4});
    FailNextAllocations(1); // freeing needs no allocation
    ASSERT_TRUE(ResizeExact(c.buffer, c.length, -1));
    EXPECT_EQ(c.buffer, nullptr);
}

TEST(ByteBuffer, FailedShrinkKeepsTheLargerBlockWithTheLengthReduced) {
    Block b({1, 2, 3, 4});
    FailNextAllocations(1);
    EXPECT_TRUE(ResizeExact(b.buffer, b.length, -2));
    EXPECT_EQ(b.Bytes(), (std::vector<uint8_t>{1, 2}));
    // Growing again from there still zeroes the new bytes.
    ASSERT_TRUE(ResizeExact(b.buffer, b.length, 2));
    EXPECT_EQ(b.Bytes(), (std::vector<uint8_t>{1, 2, 0, 0}));
}

TEST(ByteBuffer, ShrinkBelowZeroIsRefused) {
    Block b({1, 2});
    EXPECT_FALSE(ResizeExact(b.buffer, b.length, -3));
    EXPECT_EQ(b.Bytes(), (std::vector<uint8_t>{1, 2}));
}

TEST(ByteBuffer, OpenGapAtEveryPlace) {
    struct Case {
        int32_t offset, count;
        bool opened;
        std::vector<uint8_t> after;
    };
    const Case cases[] = {
        {0, 1, true, {0, 1, 2, 3}}, {1, 2, true, {1, 0, 0, 2, 3}},    {3, 1, true, {1, 2, 3, 0}},
        {2, 0, true, {1, 2, 3}},    {4, 1, false, {1, 2, 3}},         {-1, 1, false, {1, 2, 3}},
        {1, -1, false, {1, 2, 3}},  {1, INT32_MAX, false, {1, 2, 3}},
    };
    for (const Case& c : cases) {
        Block b({1, 2, 3});
        EXPECT_EQ(editing::OpenGap(b, c.offset, c.count), c.opened) << c.offset << "+" << c.count;
        EXPECT_EQ(b.Bytes(), c.after) << c.offset << "+" << c.count;
    }
}

TEST(ByteBuffer, CloseGapMovesTheTailDown) {
    struct Case {
        int32_t offset, count;
        std::vector<uint8_t> after;
    };
    const Case cases[] = {
        {1, 2, {1, 4, 5}},       {4, 1, {1, 2, 3, 4}},     {0, 5, {}},
        {1, 5, {1, 2, 3, 4, 5}}, // beyond the end: refused
        {1, 0, {1, 2, 3, 4, 5}}, {-1, 1, {1, 2, 3, 4, 5}},
    };
    for (const Case& c : cases) {
        Block b({1, 2, 3, 4, 5});
        editing::CloseGap(b, c.offset, c.count);
        EXPECT_EQ(b.Bytes(), c.after) << c.offset << "+" << c.count;
        if (c.after.empty()) {
            EXPECT_EQ(b.buffer, nullptr);
        }
    }
}
