// The editor record as made, attached to a real placeholder, and its font choice.
#include <gtest/gtest.h>

#include "support/test_window.h"

namespace {

LOGFONTW FontOf(HFONT font) {
    LOGFONTW lf{};
    GetObjectW(font, sizeof(lf), &lf);
    return lf;
}

TEST(EditorState, StartsWithTheDocumentedValues) {
    CHexEdit e;
    EXPECT_EQ(e.buffer, nullptr);
    EXPECT_EQ(e.length, 0);
    EXPECT_EQ(e.topOffset, 0);
    EXPECT_EQ(e.caretOffset, 0);
    EXPECT_EQ(e.caretPane, 2);
    EXPECT_EQ(e.savedHexPane, 2);
    EXPECT_EQ(e.selAnchor, -1);
    EXPECT_EQ(e.selEnd, -1);
    EXPECT_EQ(e.bytesPerRow, 8);
    EXPECT_EQ(e.visibleRows, 5);
    EXPECT_EQ(e.charWidth, -1);
    EXPECT_EQ(e.charHeight, -1);
    EXPECT_EQ(e.layoutStale, 1);
    EXPECT_EQ(e.overwriteMode, 1);
    EXPECT_EQ(e.caretShown, 0);
    EXPECT_EQ(e.viewMode, 1);
    EXPECT_EQ(e.normalWidth, 318);
    EXPECT_EQ(e.normalHeight, 176);
    EXPECT_EQ(e.normalLeft, 20);
    EXPECT_EQ(e.normalTop, 60);
    EXPECT_EQ(e.originalWndProc, nullptr);
    EXPECT_EQ(e.hexPatternState, 0);
    EXPECT_EQ(e.textPatternActive, 0);
    EXPECT_EQ(e.modified, 0);
    EXPECT_EQ(e.caretPending, 0);
    EXPECT_EQ(e.caretMadeByPaint, 0);
    EXPECT_EQ(e.bookmarkSlot, -1);
    ASSERT_NE(e.font, nullptr);
    const LOGFONTW lf = FontOf(e.font);
    EXPECT_EQ(lf.lfHeight, -12);
    EXPECT_STREQ(lf.lfFaceName, L"Courier New");
    EXPECT_EQ(lf.lfCharSet, ANSI_CHARSET);
}

TEST(EditorState, AttachSubclassesThePlaceholder) {
    TestPage page;
    const LONG_PTR editProc = GetWindowLongPtrW(page.view(), GWLP_WNDPROC);
    page.Attach();
    EXPECT_EQ(GetWindowLongPtrW(page.view(), GWLP_WNDPROC),
              reinterpret_cast<LONG_PTR>(&CHexEdit::WindowProc));
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(page.editor().originalWndProc), editProc);
    EXPECT_EQ(page.editor().hwnd, page.view());
    EXPECT_EQ(page.editor().pageHwnd, page.page());
}

struct FontCase {
    int width;
    int height;
    bool keepsStandard;
    LONG averageWidth;
};

class EditorFont : public testing::TestWithParam<FontCase> {};

TEST_P(EditorFont, FitsTheClientSize) {
    const FontCase c = GetParam();
    TestPage page(c.width, c.height);
    RECT client{};
    GetClientRect(page.view(), &client);
    ASSERT_EQ(client.right, c.width);
    ASSERT_EQ(client.bottom, c.height);
    page.Attach();
    const LOGFONTW lf = FontOf(page.editor().font);
    EXPECT_STREQ(lf.lfFaceName, L"Courier New");
    if (c.keepsStandard) {
        EXPECT_EQ(lf.lfHeight, -12);
        EXPECT_EQ(lf.lfWidth, 0);
        return;
    }
    // Asked for by width; where the font mapper ignores the width, the tallest font whose
    // cell fits stands in. Either way one row of 41 cells fits the view.
    HDC dc = GetDC(page.view());
    HGDIOBJ previous = SelectObject(dc, page.editor().font);
    SIZE cell{};
    GetTextExtentPoint32W(dc, L"0", 1, &cell);
    SelectObject(dc, previous);
    ReleaseDC(page.view(), dc);
    EXPECT_LE(cell.cx, c.averageWidth);
    EXPECT_GE(cell.cx, c.averageWidth - 1);
    if (lf.lfHeight == 0) {
        EXPECT_EQ(lf.lfWidth, c.averageWidth);
    }
}

INSTANTIATE_TEST_SUITE_P(ClientSizes, EditorFont,
                         testing::Values(FontCase{297, 172, true, 0}, FontCase{296, 171, true, 0},
                                         FontCase{295, 174, true, 0}, FontCase{300, 172, false, 7},
                                         FontCase{297, 175, false, 7},
                                         FontCase{451, 260, false, 11}));

TEST(EditorState, CaretWaitsForTheFirstMeasurement) {
    TestPage page;
    page.Attach();
    CHexEdit& e = page.editor();
    ASSERT_EQ(e.charWidth, -1);
    e.RecreateCaret();
    EXPECT_EQ(e.caretPending, 1);
    EXPECT_EQ(e.caretShown, 0);
    e.PlaceCaret(0);
    e.SetCaretPixel(40, 40);
    EXPECT_EQ(e.caretX, 0);
    EXPECT_EQ(e.caretY, 0);
    e.ShowEditCaret();
    EXPECT_EQ(e.caretShown, 0);
    e.caretShown = 1;
    e.HideEditCaret();
    EXPECT_EQ(e.caretShown, 1);
}

} // namespace
