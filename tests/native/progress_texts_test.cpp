#include <gtest/gtest.h>

#include "hexedit/core/progress_texts.h"

using namespace progress;

// When the window shows, what it says and whether it offers Cancel.
TEST(ProgressTexts, ShowRuleAndTexts) {
    EXPECT_FALSE(ShowWindowNow(999, false));
    EXPECT_TRUE(ShowWindowNow(1000, false));
    EXPECT_FALSE(ShowWindowNow(5000, true)); // ended before anyone looked
    EXPECT_TRUE(CanCancel(Operation::Read));
    EXPECT_FALSE(CanCancel(Operation::Save));
    EXPECT_TRUE(CanCancel(Operation::Copy));

    EXPECT_EQ(Heading(Operation::Read, L"C:\\Data\\report.bin"), L"Reading report.bin");
    EXPECT_EQ(Heading(Operation::Save, L"Z:/tmp/a b.bin"), L"Saving a b.bin");
    EXPECT_EQ(Heading(Operation::Read, L"D:x.bin"), L"Reading x.bin");
    EXPECT_EQ(Heading(Operation::Copy, L"C:\\Data\\report.bin"), L"Copying report.bin");

    EXPECT_EQ(CountText(999, 1000), L"999 of 1,000 bytes");
    EXPECT_EQ(CountText(1048576, 2147483647), L"1,048,576 of 2,147,483,647 bytes");
    EXPECT_EQ(CountText(0, 1), L"0 of 1 byte");

    EXPECT_EQ(BarPosition(16, 64), 250);
    EXPECT_EQ(BarPosition(1073741824, 2147483647), 500);
    EXPECT_EQ(BarPosition(0, 0), 1000);

    EXPECT_EQ(NoteText(Operation::Read), L"");
    EXPECT_EQ(NoteText(Operation::Copy), L"");
    EXPECT_EQ(NoteText(Operation::Save),
              L"A save can't be stopped: stopped half-way, the file would be part old, part new.");
}
