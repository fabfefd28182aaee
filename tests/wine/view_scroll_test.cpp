// Scrolling and the caret as a user meets them: the scroll bar's range, page and position,
// where the caret stands, its size, and whether it is on the screen.
#include <gtest/gtest.h>

#include "support/pixels.h"
#include "support/test_window.h"

namespace {

class ViewScroll : public ::testing::Test {
  protected:
    void Load(size_t size) {
        page.Attach();
        std::vector<uint8_t> bytes(size);
        for (size_t i = 0; i < size; ++i)
            bytes[i] = static_cast<uint8_t>('0' + i % 10);
        ASSERT_EQ(editor().LoadFile(folder.Write(L"scroll.bin", bytes).c_str()), 0u);
    }
    void Show(size_t size) {
        Load(size);
        Repaint();
        ASSERT_EQ(editor().visibleRows, 12);
    }
    void Repaint() { page.Repaint(); }
    void VScroll(int code, int thumb = 0) {
        SendMessageW(page.view(), WM_VSCROLL, MAKEWPARAM(code, thumb), 0);
    }
    void Wheel(int delta) {
        SendMessageW(page.view(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(delta)), 0);
    }
    SCROLLINFO Bar() {
        SCROLLINFO info{};
        info.cbSize = sizeof(info);
        info.fMask = SIF_ALL;
        GetScrollInfo(page.view(), SB_VERT, &info);
        return info;
    }
    POINT CaretPos() {
        POINT p{-1, -1};
        GetCaretPos(&p);
        return p;
    }
    GUITHREADINFO Gui() {
        GUITHREADINFO info{};
        info.cbSize = sizeof(info);
        GetGUIThreadInfo(GetCurrentThreadId(), &info);
        return info;
    }
    // Ink of the window-text colour inside the caret's cell: the block caret inverts the
    // white cell, so a shown caret fills most of it.
    int DarkInCell(int x, int y) {
        const Capture shot(page.view());
        return shot.Count(RGB(0, 0, 0),
                          Area(x, y, x + editor().charWidth, y + editor().charHeight));
    }
    CHexEdit& editor() { return page.editor(); }

    TempFolder folder;
    TestPage page;
};

} // namespace

TEST_F(ViewScroll, BarCountsRowsWithTheEndRowIncluded) {
    Show(1000);
    const SCROLLINFO bar = Bar();
    EXPECT_EQ(bar.nMin, 0);
    EXPECT_EQ(bar.nMax, 125);
    EXPECT_EQ(bar.nPage, 12u);
    EXPECT_EQ(bar.nPos, 0);
}

// Every request moves the view and the bar together; downwards they stop where the row of the
// end position is the last row shown.
TEST_F(ViewScroll, RequestsMoveTheViewAndTheBarTogether) {
    Show(1000);
    const struct {
        int code;
        int32_t top;
    } steps[] = {
        {SB_LINEDOWN, 8}, {SB_LINEDOWN, 16},  {SB_LINEUP, 8},     {SB_PAGEDOWN, 104},
        {SB_BOTTOM, 912}, {SB_LINEDOWN, 912}, {SB_PAGEDOWN, 912}, {SB_PAGEUP, 816},
        {SB_TOP, 0},      {SB_LINEUP, 0},     {SB_PAGEUP, 0},
    };
    for (const auto& step : steps) {
        VScroll(step.code);
        EXPECT_EQ(editor().topOffset, step.top) << "code " << step.code;
        EXPECT_EQ(Bar().nPos, step.top / 8) << "code " << step.code;
    }
    for (int i = 0; i < 20; ++i)
        VScroll(SB_PAGEDOWN);
    EXPECT_EQ(editor().topOffset, 912); // row 1000 is the twelfth row from 912
}

TEST_F(ViewScroll, ThumbPositionChangesNothing) {
    Show(1000);
    VScroll(SB_LINEDOWN);
    VScroll(SB_LINEDOWN);
    UpdateWindow(page.view());
    VScroll(SB_THUMBPOSITION, 50);
    EXPECT_EQ(editor().topOffset, 16);
    EXPECT_EQ(Bar().nPos, 2);
    EXPECT_FALSE(GetUpdateRect(page.view(), nullptr, FALSE)) << "nothing to repaint";
}

TEST_F(ViewScroll, ThumbTrackFollowsTheBarNotTheMessage) {
    Show(1000);
    SetScrollPos(page.view(), SB_VERT, 7, FALSE);
    VScroll(SB_THUMBTRACK, 50);
    EXPECT_EQ(editor().topOffset, 56);
    EXPECT_EQ(Bar().nPos, 7);
}

TEST_F(ViewScroll, FileShorterThanAPageNeverScrolls) {
    Show(20);
    VScroll(SB_LINEDOWN);
    VScroll(SB_PAGEDOWN);
    VScroll(SB_BOTTOM);
    Wheel(-120);
    EXPECT_EQ(editor().topOffset, 0);
    EXPECT_EQ(Bar().nPos, 0);
}

TEST_F(ViewScroll, WheelMovesOneRowWhateverTheDelta) {
    Show(1000);
    Wheel(-360);
    EXPECT_EQ(editor().topOffset, 8);
    Wheel(-1);
    EXPECT_EQ(editor().topOffset, 16);
    Wheel(240);
    EXPECT_EQ(editor().topOffset, 8);
    Wheel(0);
    EXPECT_EQ(editor().topOffset, 8);
    EXPECT_EQ(Bar().nPos, 1);
}

TEST_F(ViewScroll, WithoutAFileNothingScrolls) {
    page.Attach();
    Repaint();
    VScroll(SB_LINEDOWN);
    VScroll(SB_BOTTOM);
    Wheel(-120);
    EXPECT_EQ(editor().topOffset, 0);
}

TEST_F(ViewScroll, EnsureVisibleBringsAnOffsetAThirdOfAPageDown) {
    Show(1000);
    editor().EnsureVisible(95); // on the last visible row: stays
    EXPECT_EQ(editor().topOffset, 0);
    editor().EnsureVisible(96); // first offset below the view
    EXPECT_EQ(editor().topOffset, 64);
    EXPECT_EQ(Bar().nPos, 8);
    editor().EnsureVisible(999);
    EXPECT_EQ(editor().topOffset, 912);
    EXPECT_EQ(Bar().nPos, 114);
}

TEST_F(ViewScroll, FocusPutsABlockCaretOnTheCaretsCell) {
    Show(1000);
    SetFocus(page.view());
    EXPECT_EQ(CaretPos().x, 66);
    EXPECT_EQ(CaretPos().y, 3);
    const GUITHREADINFO gui = Gui();
    EXPECT_EQ(gui.hwndCaret, page.view());
    EXPECT_EQ(gui.rcCaret.right - gui.rcCaret.left, 7);
    EXPECT_EQ(gui.rcCaret.bottom - gui.rcCaret.top, 14);

    editor().caretOffset = 10;
    editor().caretPane = 3;
    editor().PlaceCaret(10);
    EXPECT_EQ(CaretPos().x, 66 + 7 * 7);
    EXPECT_EQ(CaretPos().y, 17);
    EXPECT_EQ(editor().caretX, 66 + 7 * 7);
    editor().caretPane = 1;
    editor().PlaceCaret(10);
    EXPECT_EQ(CaretPos().x, 236 + 2 * 7);
}

TEST_F(ViewScroll, InsertModeCaretIsThin) {
    Show(1000);
    SetFocus(page.view());
    editor().overwriteMode = 0;
    editor().RecreateCaret();
    editor().PlaceCaret(editor().caretOffset);
    const GUITHREADINFO gui = Gui();
    EXPECT_EQ(gui.rcCaret.right - gui.rcCaret.left, 1) << "a bar one pixel wide for 7-pixel cells";
    EXPECT_EQ(gui.rcCaret.bottom - gui.rcCaret.top, 14);
}

TEST_F(ViewScroll, CaretLeavesTheScreenWithItsRowAndComesBack) {
    Show(1000);
    SetFocus(page.view());
    UpdateWindow(page.view());
    ASSERT_GT(DarkInCell(66, 3), 50);
    VScroll(SB_LINEDOWN);
    UpdateWindow(page.view());
    EXPECT_EQ(editor().caretShown, 0);
    EXPECT_LT(DarkInCell(66, 3), 40) << "no caret over the digits of offset 8";
    VScroll(SB_LINEUP);
    UpdateWindow(page.view());
    EXPECT_EQ(editor().caretShown, 1);
    EXPECT_EQ(CaretPos().y, 3);
    EXPECT_GT(DarkInCell(66, 3), 50);
}

TEST_F(ViewScroll, HideAndShowAreNeverStacked) {
    Show(1000);
    SetFocus(page.view());
    UpdateWindow(page.view());
    editor().HideEditCaret();
    editor().HideEditCaret();
    EXPECT_LT(DarkInCell(66, 3), 40);
    editor().ShowEditCaret();
    EXPECT_GT(DarkInCell(66, 3), 50) << "one show undoes any number of hides";
    editor().ShowEditCaret();
    editor().HideEditCaret();
    EXPECT_LT(DarkInCell(66, 3), 40) << "one hide undoes any number of shows";
}

TEST_F(ViewScroll, CaretWantedBeforeTheFirstPaintAppearsWithIt) {
    Load(1000);
    SetFocus(page.view());
    EXPECT_EQ(Gui().hwndCaret, nullptr) << "no caret before the font is measured";
    editor().PlaceCaret(0);
    editor().ShowEditCaret();
    editor().HideEditCaret();
    EXPECT_EQ(editor().caretShown, 0);

    editor().Invalidate();
    UpdateWindow(page.view());
    EXPECT_EQ(editor().caretMadeByPaint, 1);
    EXPECT_EQ(Gui().hwndCaret, page.view());
    EXPECT_EQ(CaretPos().x, 66);
    EXPECT_GT(DarkInCell(66, 3), 50) << "the caret is on the screen";

    SetFocus(page.button());
    EXPECT_EQ(Gui().hwndCaret, nullptr);
    EXPECT_EQ(editor().caretMadeByPaint, 0);
    EXPECT_TRUE(GetUpdateRect(page.view(), nullptr, FALSE)) << "losing the focus repaints";
}
