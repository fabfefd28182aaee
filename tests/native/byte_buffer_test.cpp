// The exact-size byte buffer and the allocation guard.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "hexedit/core/byte_buffer.h"

namespace {
struct Block {
    uint8_t* bytes = nullptr;
    int32_t length = 0;
    explicit Block(std::vector<uint8_t> from = {}) {
        if (!from.empty()) {
            EXPECT_TRUE(ResizeExact(bytes, length, static_cast<int32_t>(from.size())));
            std::copy(from.begin(), from.end(), bytes);
        }
    }
    ~Block() {
        FailNextAllocations(0);
        GuardedFree(bytes);
    }
    std::vector<uint8_t> Bytes() const {
        return bytes ? std::vector<uint8_t>(bytes, bytes + length) : std::vector<uint8_t>();
    }
};
} // namespace

TEST(ByteBuffer, GrowsWithZeroes) {
    Block b({9, 9});
    ASSERT_TRUE(ResizeExact(b.bytes, b.length, 3));
    EXPECT_EQ(b.Bytes(), (std::vector<uint8_t>{9, 9, 0, 0, 0}));
}

TEST(ByteBuffer, GuardRefusesTwoGibibytesAndMore) {
    EXPECT_EQ(GuardedAlloc(0x80000000ull), nullptr);
    EXPECT_EQ(GuardedAlloc(~0ull), nullptr);
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
    uint8_t* before = b.bytes;
    FailNextAllocations(1);
    EXPECT_FALSE(ResizeExact(b.bytes, b.length, 1));
    EXPECT_EQ(b.bytes, before);
    EXPECT_EQ(b.Bytes(), (std::vector<uint8_t>{1, 2, 3}));
    FailNextAllocations(1);
    EXPECT_FALSE(InsertZeroByte(b.bytes, b.length, 1));
    EXPECT_EQ(b.Bytes(), (std::vector<uint8_t>{1, 2, 3}));
}

TEST(ByteBuffer, ShrinkToZeroFreesTheBlock) {
    Block b({1, 2, 3});
    ASSERT_TRUE(ResizeExact(b.bytes, b.length, -3));
    EXPECT_EQ(b.bytes, nullptr);
    EXPECT_EQ(b.length, 0);
    Block c({4});
    FailNextAllocations(1); // freeing needs no allocation
    ASSERT_TRUE(ResizeExact(c.bytes, c.length, -1));
    EXPECT_EQ(c.bytes, nullptr);
}

TEST(ByteBuffer, FailedShrinkKeepsTheLargerBlockWithTheLengthReduced) {
    Block b({1, 2, 3, 4});
    FailNextAllocations(1);
    EXPECT_TRUE(ResizeExact(b.bytes, b.length, -2));
    EXPECT_EQ(b.Bytes(), (std::vector<uint8_t>{1, 2}));
    // Growing again from there still zeroes the new bytes.
    ASSERT_TRUE(ResizeExact(b.bytes, b.length, 2));
    EXPECT_EQ(b.Bytes(), (std::vector<uint8_t>{1, 2, 0, 0}));
}

TEST(ByteBuffer, ShrinkBelowZeroIsRefused) {
    Block b({1, 2});
    EXPECT_FALSE(ResizeExact(b.bytes, b.length, -3));
    EXPECT_EQ(b.Bytes(), (std::vector<uint8_t>{1, 2}));
}

TEST(ByteBuffer, InsertZeroByteAtEveryPlace) {
    for (int32_t at = 0; at <= 3; ++at) {
        Block b({1, 2, 3});
        ASSERT_TRUE(InsertZeroByte(b.bytes, b.length, at));
        std::vector<uint8_t> expected{1, 2, 3};
        expected.insert(expected.begin() + at, 0);
        EXPECT_EQ(b.Bytes(), expected) << "at " << at;
    }
    Block b({1});
    EXPECT_FALSE(InsertZeroByte(b.bytes, b.length, 2));
    EXPECT_FALSE(InsertZeroByte(b.bytes, b.length, -1));
    EXPECT_EQ(b.Bytes(), (std::vector<uint8_t>{1}));
}

TEST(ByteBuffer, RemoveRangeMovesTheTailDown) {
    Block b({1, 2, 3, 4, 5});
    RemoveRange(b.bytes, b.length, 1, 2);
    EXPECT_EQ(b.Bytes(), (std::vector<uint8_t>{1, 4, 5}));
    RemoveRange(b.bytes, b.length, 2, 2);
    EXPECT_EQ(b.Bytes(), (std::vector<uint8_t>{1, 4}));
    RemoveRange(b.bytes, b.length, 1, 5); // beyond the end: refused
    RemoveRange(b.bytes, b.length, 1, 0);
    EXPECT_EQ(b.Bytes(), (std::vector<uint8_t>{1, 4}));
    RemoveRange(b.bytes, b.length, 0, 1);
    EXPECT_EQ(b.bytes, nullptr);
}
