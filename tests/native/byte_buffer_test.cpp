#include <gtest/gtest.h>

#include "hexedit/core/byte_buffer.h"

TEST(ByteBuffer, GrowsWithZeroes) {
    uint8_t* b = nullptr;
    int32_t n = 0;
    ASSERT_TRUE(ResizeExact(b, n, 3));
    EXPECT_EQ(n, 3);
    EXPECT_EQ(b[0] | b[1] | b[2], 0);
    GuardedFree(b);
}
