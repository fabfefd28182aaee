// The editor record as made, attached to a real placeholder, and its font choice.
#include <gtest/gtest.h>

#include "support/test_window.h"

namespace {

LOGFONTW FontOf(HFONT font) {
    LOGFONTW lf{};
    GetObjectW(font, sizeof(lf), &lf);
    return lf;
}

// A new editor, shown on a page with a file: the first digit typed overwrites the high digit of
// byte 0 in the hex pane, with nothing selected; without a file it holds no bytes at all.
TEST(EditorState, ANewEditorTypesOverTheFirstByteInTheHexPane) {
    TestPage page;
    CHexEdit& e = page.editor();
    EXPECT_EQ(e.buffer, nullptr);
    EXPECT_EQ(e.length, 0);
    TempFolder folder;
    const std::wstring path = folder.Write(L"abc.bin", {0x61, 0x62, 0x63});
    page.Attach();
    ASSERT_EQ(e.LoadFile(path.c_str()), 0u);
    SetFocus(page.view());
    page.Repaint();
    EXPECT_EQ(e.SelectionLength(), 0);
    SendMessageW(page.view(), WM_CHAR, L'7', 1);
    ASSERT_EQ(e.length, 3);
    EXPECT_EQ(std::vector<uint8_t>(e.buffer, e.buffer + 3),
              (std::vector<uint8_t>{0x71, 0x62, 0x63}));
    EXPECT_EQ(e.caretOffset, 0);
    EXPECT_EQ(e.caretPane, 3) << "on the low digit of the same byte";
    // The 12-pixel "Courier New" at the page's standard size.
    const LOGFONTW lf = FontOf(e.font);
    EXPECT_EQ(lf.lfHeight, -12);
    EXPECT_STREQ(lf.lfFaceName, L"Courier New");
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
