#include <gtest/gtest.h>

#include "hexedit/core/file_size_rule.h"
#include "hexedit/core/font_fit.h"

// The examples the rule is made for: the page's standard view (297 x 172) and one a pixel off
// keep the 12-pixel font; three pixels wider or taller, or a bigger view, get one fitted to the
// width.
TEST(FontFit, KeepsTheStandardFontOnlyNearTheStandardSize) {
    struct Case {
        int32_t width, height;
        bool keeps;
    };
    const Case cases[] = {{297, 172, true},  {296, 171, true},  {300, 172, false},
                          {297, 175, false}, {451, 260, false}, {0, 0, false}};
    for (const Case& c : cases)
        EXPECT_EQ(fontfit::KeepsStandardFont(c.width, c.height), c.keeps)
            << c.width << " x " << c.height;
}

TEST(FontFit, OtherSizesGetOneFortyFirstOfTheWidth) {
    EXPECT_EQ(fontfit::AverageCharWidthFor(300), 7);
    EXPECT_EQ(fontfit::AverageCharWidthFor(297), 7);
    EXPECT_EQ(fontfit::AverageCharWidthFor(451), 11);
    EXPECT_EQ(fontfit::AverageCharWidthFor(40), 0);
    EXPECT_EQ(fontfit::AverageCharWidthFor(451, 11), 10); // 44 cells with 11 address digits
}

// Read whole below 2 GiB in a 64-bit process, below 256 MiB in a 32-bit one.
TEST(FileSizeRule, OnlySizesBelowTwoGibibytesFitOr256MiBIn32Bits) {
    const bool wide = sizeof(void*) == 8;
    EXPECT_TRUE(filesize::FitsInBuffer(0));
    EXPECT_TRUE(filesize::FitsInBuffer(0x0FFFFFFF));
    EXPECT_EQ(filesize::FitsInBuffer(0x10000000), wide);
    EXPECT_EQ(filesize::FitsInBuffer(0x7FFFFFFF), wide);
    EXPECT_FALSE(filesize::FitsInBuffer(0x80000000LL));
    EXPECT_FALSE(filesize::FitsInBuffer(0x100000010LL)); // 4 GiB + 16: not 16 bytes
    EXPECT_FALSE(filesize::FitsInBuffer(-1));
}
