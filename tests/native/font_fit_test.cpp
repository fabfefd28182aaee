#include <gtest/gtest.h>

#include "hexedit/core/file_size_rule.h"
#include "hexedit/core/font_fit.h"

TEST(FontFit, KeepsTheStandardFontOnlyNearTheStandardSize) {
    for (int w = 290; w <= 305; ++w)
        for (int h = 165; h <= 180; ++h)
            EXPECT_EQ(fontfit::KeepsStandardFont(w, h),
                      w >= 295 && w <= 299 && h >= 170 && h <= 174)
                << w << " x " << h;
}

TEST(FontFit, OtherSizesGetOneFortyFirstOfTheWidth) {
    EXPECT_EQ(fontfit::AverageCharWidthFor(300), 7);
    EXPECT_EQ(fontfit::AverageCharWidthFor(297), 7);
    EXPECT_EQ(fontfit::AverageCharWidthFor(451), 11);
    EXPECT_EQ(fontfit::AverageCharWidthFor(40), 0);
}

TEST(FileSizeRule, OnlySizesBelowTwoGibibytesFit) {
    EXPECT_TRUE(filesize::FitsInBuffer(0));
    EXPECT_TRUE(filesize::FitsInBuffer(0x7FFFFFFF));
    EXPECT_FALSE(filesize::FitsInBuffer(0x80000000LL));
    EXPECT_FALSE(filesize::FitsInBuffer(0x100000010LL)); // 4 GiB + 16: not 16 bytes
    EXPECT_FALSE(filesize::FitsInBuffer(-1));
}
