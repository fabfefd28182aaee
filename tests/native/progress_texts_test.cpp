#include <gtest/gtest.h>

#include "hexedit/core/progress_texts.h"

using progress::Operation;

// When the window shows, what it says and whether it offers Cancel, one row per case.
TEST(ProgressTexts, ShowRuleAndTexts) {
    EXPECT_FALSE(progress::ShowWindowNow(999, false));
    EXPECT_TRUE(progress::ShowWindowNow(1000, false));
    EXPECT_FALSE(progress::ShowWindowNow(5000, true)); // ended before anyone looked
    EXPECT_TRUE(progress::CanCancel(Operation::Read));
    EXPECT_FALSE(progress::CanCancel(Operation::Save));
    EXPECT_TRUE(progress::CanCancel(Operation::Copy));

    struct Row {
        Operation operation;
        const wchar_t* path;
        const wchar_t* heading;
    };
    const Row rows[] = {{Operation::Read, L"C:\\Data\\report.bin", L"Reading report.bin"},
                        {Operation::Save, L"C:\\Data\\report.bin", L"Saving report.bin"},
                        {Operation::Read, L"\\\\nas\\share\\video.mkv", L"Reading video.mkv"},
                        {Operation::Save, L"Z:/tmp/a b.bin", L"Saving a b.bin"},
                        {Operation::Read, L"D:x.bin", L"Reading x.bin"},
                        {Operation::Copy, L"C:\\Data\\report.bin", L"Copying report.bin"}};
    for (const Row& row : rows)
        EXPECT_EQ(progress::Heading(row.operation, row.path), row.heading);

    EXPECT_EQ(progress::CountText(0, 0), L"0 of 0 bytes");
    EXPECT_EQ(progress::CountText(1048576, 67108864), L"1,048,576 of 67,108,864 bytes");
    EXPECT_EQ(progress::CountText(999, 1000), L"999 of 1,000 bytes");
    EXPECT_EQ(progress::CountText(2147483647, 2147483647), L"2,147,483,647 of 2,147,483,647 bytes");

    EXPECT_EQ(progress::BarPosition(0, 64), 0);
    EXPECT_EQ(progress::BarPosition(16, 64), 250);
    EXPECT_EQ(progress::BarPosition(1073741824, 2147483647), 500);
    EXPECT_EQ(progress::BarPosition(64, 64), 1000);
    EXPECT_EQ(progress::BarPosition(0, 0), 1000);

    EXPECT_EQ(progress::NoteText(Operation::Read), L"");
    EXPECT_EQ(progress::NoteText(Operation::Copy), L"");
    EXPECT_EQ(progress::NoteText(Operation::Save),
              L"A save can't be stopped: stopped half-way, the file would be part old, part "
              L"new.");
}
