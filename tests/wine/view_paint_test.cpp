// What the view draws, read back from the screen: rows, columns, pane colours and the
// selection highlight.
#include <gtest/gtest.h>

#include <numeric>

#include "support/pixels.h"
#include "support/test_window.h"

namespace {

class ViewPaint : public ::testing::Test {
  protected:
    void Show(const std::vector<uint8_t>& bytes) {
        page.Attach();
        ASSERT_EQ(editor().LoadFile(folder.Write(L"view.bin", bytes).c_str()), 0u);
        Repaint();
        ASSERT_EQ(editor().charWidth, 7) << "the standard view uses the 12-pixel font";
        ASSERT_NE(GetFocus(), page.view()) << "no caret may cover the pixels";
    }
    // The first layout may hide the scroll bar and so widen the client area while painting:
    // that newly shown strip is painted by a second pass.
    void Repaint() { page.Repaint(); }
    CHexEdit& editor() { return page.editor(); }
    Capture Snap() { return Capture(page.view()); }

    int Cw() { return editor().charWidth; }
    int Ch() { return editor().charHeight; }
    int RowTop(int row) { return 3 + row * Ch(); }
    // `cells` character cells from cell `first` of the hex string of a visible row.
    RECT HexCells(int row, int first, int cells) {
        const int x = editor().hexColumnX + first * Cw();
        return Area(x, RowTop(row), x + cells * Cw(), RowTop(row) + Ch());
    }
    RECT TextCells(int row, int first, int cells) {
        const int x = editor().textColumnX + first * Cw();
        return Area(x, RowTop(row), x + cells * Cw(), RowTop(row) + Ch());
    }
    RECT AddressCells(int row) { return Area(1, RowTop(row), 1 + 8 * Cw(), RowTop(row) + Ch()); }
    RECT HexPane() { return Area(editor().hexColumnX, 0, editor().textColumnX, 10000); }
    RECT TextPane() { return Area(editor().textColumnX, 0, 10000, 10000); }

    const COLORREF window = GetSysColor(COLOR_WINDOW);
    const COLORREF text = GetSysColor(COLOR_WINDOWTEXT);
    const COLORREF grey = GetSysColor(COLOR_GRAYTEXT);
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);

    TempFolder folder;
    TestPage page;
};

std::vector<uint8_t> Letters(size_t n) {
    std::vector<uint8_t> bytes(n);
    for (size_t i = 0; i < n; ++i)
        bytes[i] = static_cast<uint8_t>('A' + i % 26);
    return bytes;
}

} // namespace

TEST_F(ViewPaint, EmptyFileShowsOnlyTheFirstAddressInGrey) {
    Show({});
    const Capture shot = Snap();
    const RECT address = AddressCells(0);
    EXPECT_GT(shot.Count(grey, address), 40) << "00000000";
    EXPECT_EQ(shot.Count(text, address), 0);
    // Blank out the address and nothing else may be left.
    int elsewhere = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) {
            const POINT p{x, y};
            if (!PtInRect(&address, p) && shot.At(x, y) != window)
                ++elsewhere;
        }
    EXPECT_EQ(elsewhere, 0);
}

TEST_F(ViewPaint, NoFileLoadedShowsTheSameAsAnEmptyFile) {
    page.Attach();
    Repaint();
    const Capture shot = Snap();
    EXPECT_GT(shot.Count(grey, AddressCells(0)), 40);
    EXPECT_EQ(shot.CountOther(window, Area(0, RowTop(1), shot.width(), shot.height())), 0);
}

TEST_F(ViewPaint, TwentyBytesShowThreeRowsAndNothingBelow) {
    Show(Letters(20));
    const Capture shot = Snap();
    for (int row = 0; row < 3; ++row)
        EXPECT_GT(shot.Count(grey, AddressCells(row)), 40) << row;
    EXPECT_EQ(shot.CountOther(window, Area(0, RowTop(3), shot.width(), shot.height())), 0);
    // The third row: four bytes, then blanks where bytes 20..23 would be.
    for (int col = 0; col < 4; ++col) {
        EXPECT_GT(shot.CountOther(window, HexCells(2, 3 * col, 2)), 10) << col;
        EXPECT_GT(shot.CountOther(window, TextCells(2, col, 1)), 5) << col;
    }
    EXPECT_EQ(shot.CountOther(window, HexCells(2, 12, 12)), 0);
    EXPECT_EQ(shot.CountOther(window, TextCells(2, 4, 4)), 0);
}

TEST_F(ViewPaint, CaretPaneInWindowTextOtherPaneGrey) {
    Show(Letters(40));
    Capture shot = Snap();
    EXPECT_GT(shot.Count(text, HexPane()), 200);
    EXPECT_EQ(shot.Count(grey, HexPane()), 0);
    EXPECT_GT(shot.Count(grey, TextPane()), 100);
    EXPECT_EQ(shot.Count(text, TextPane()), 0);

    editor().caretPane = 1;
    Repaint();
    shot = Snap();
    EXPECT_EQ(shot.Count(text, HexPane()), 0);
    EXPECT_GT(shot.Count(grey, HexPane()), 200);
    EXPECT_GT(shot.Count(text, TextPane()), 100);
    EXPECT_EQ(shot.Count(grey, TextPane()), 0);
    EXPECT_EQ(shot.Count(text, AddressCells(0)), 0) << "addresses stay grey";
}

TEST_F(ViewPaint, SelectionIsHighlightedInTheCaretPaneOnly) {
    Show(Letters(40));
    editor().selAnchor = 2;
    editor().selEnd = 5;
    Repaint();
    Capture shot = Snap();
    EXPECT_EQ(shot.Count(highlight, HexCells(0, 0, 6)), 0) << "bytes 0 and 1";
    EXPECT_GT(shot.Count(highlight, HexCells(0, 6, 2)), 50) << "byte 2";
    EXPECT_EQ(shot.Count(highlight, HexCells(0, 14, 1)), 7 * Ch()) << "space after byte 4";
    EXPECT_GT(shot.Count(highlight, HexCells(0, 15, 2)), 50) << "byte 5";
    EXPECT_EQ(shot.Count(highlight, HexCells(0, 17, 1)), 0) << "space after the last one";
    EXPECT_EQ(shot.Count(highlight, TextPane()), 0);
    EXPECT_EQ(shot.Count(highlight, Area(0, RowTop(1), shot.width(), shot.height())), 0);

    editor().caretPane = 1;
    Repaint();
    shot = Snap();
    EXPECT_EQ(shot.Count(highlight, HexPane()), 0);
    EXPECT_EQ(shot.Count(highlight, TextCells(0, 0, 2)), 0);
    EXPECT_EQ(shot.Count(highlight, TextCells(0, 2, 4)),
              4 * 7 * Ch() - shot.Count(GetSysColor(COLOR_HIGHLIGHTTEXT), TextCells(0, 2, 4)));
    EXPECT_EQ(shot.Count(highlight, TextCells(0, 6, 2)), 0);
}

TEST_F(ViewPaint, HighlightNeverCoversTheSpaceAfterARowsOrTheFilesLastByte) {
    Show(Letters(20));
    editor().selAnchor = 14; // through the end of row 1 into row 2
    editor().selEnd = 25;    // past the end: up to the last byte
    Repaint();
    const Capture shot = Snap();
    EXPECT_GT(shot.Count(highlight, HexCells(1, 18, 2)), 50) << "byte 14";
    EXPECT_EQ(shot.Count(highlight, HexCells(1, 20, 1)), 7 * Ch()) << "space after byte 14";
    EXPECT_GT(shot.Count(highlight, HexCells(1, 21, 2)), 50) << "byte 15";
    EXPECT_EQ(shot.Count(highlight, HexCells(1, 23, 1)), 0) << "space at the row's end";
    EXPECT_EQ(shot.Count(highlight, HexCells(2, 2, 1)), 7 * Ch()) << "space after byte 16";
    EXPECT_GT(shot.Count(highlight, HexCells(2, 9, 2)), 50) << "byte 19";
    EXPECT_EQ(shot.Count(highlight, HexCells(2, 11, 13)), 0) << "after the file's last byte";
}

TEST_F(ViewPaint, SelectionAboveTheViewIsNotShown) {
    Show(Letters(1000));
    SendMessageW(page.view(), WM_VSCROLL, SB_PAGEDOWN, 0);
    ASSERT_EQ(editor().topOffset, 96);
    editor().selAnchor = 0;
    editor().selEnd = 95;
    Repaint();
    EXPECT_EQ(Snap().Count(highlight, HexPane()), 0);

    editor().selEnd = 97; // reaches into the first visible row
    Repaint();
    const Capture shot = Snap();
    EXPECT_GT(shot.Count(highlight, HexCells(0, 0, 5)), 100);
    EXPECT_EQ(shot.Count(highlight, HexCells(0, 5, 19)), 0);
}

TEST_F(ViewPaint, ControlBytesShowAsSpaces) {
    std::vector<uint8_t> bytes(32);
    std::iota(bytes.begin(), bytes.end(), uint8_t{0});
    bytes.push_back('A');
    Show(bytes);
    const Capture shot = Snap();
    EXPECT_EQ(shot.CountOther(window, Area(editor().textColumnX, 0, shot.width(), RowTop(4))), 0);
    EXPECT_GT(shot.CountOther(window, TextCells(4, 0, 1)), 5);
}

TEST_F(ViewPaint, ScrollingMovesTheRowsUpByOnePitch) {
    Show(Letters(1000));
    const Capture before = Snap();
    SendMessageW(page.view(), WM_VSCROLL, SB_LINEDOWN, 0);
    UpdateWindow(page.view());
    const Capture after = Snap();
    const int rows = editor().visibleRows;
    // Row k after the scroll shows what row k + 1 showed before.
    EXPECT_TRUE(after.SameAs(before, Area(0, RowTop(0), after.width(), RowTop(rows - 1)),
                             POINT{0, RowTop(1)}));
    EXPECT_FALSE(
        after.SameAs(before, Area(0, RowTop(0), after.width(), RowTop(1)), POINT{0, RowTop(0)}));
}

// Leaves a picture of the view with a selection in the build tree (hex-view.bmp) for the docs.
TEST_F(ViewPaint, Screenshot) {
    std::vector<uint8_t> bytes;
    const char greeting[] = "propWeave hex view: addresses, hex and text side by side.";
    bytes.assign(greeting, greeting + sizeof(greeting) - 1);
    for (int i = 0; i < 64; ++i)
        bytes.push_back(static_cast<uint8_t>(i * 37 + 11));
    Show(bytes);
    editor().selAnchor = 13;
    editor().selEnd = 42;
    Repaint();
    const Capture shot = Snap();
    EXPECT_GT(shot.Count(highlight, HexPane()), 500);
    EXPECT_TRUE(shot.SaveBmp(L"hex-view.bmp"));
}
