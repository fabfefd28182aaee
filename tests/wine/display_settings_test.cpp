// The page as users with other display settings see it: in a mirrored sheet (Arabic and Hebrew
// Windows mirror the Properties dialog and every window in it), and at other DPIs. tools/test.sh
// runs the HighDpi tests again in a Wine session per DPI, naming it in PROPWEAVE_DPI.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "hexedit/nudge_control.h"
#include "hexedit/win32_handles.h"
#include "page/page_data.h"
#include "resources/resource_ids.h"
#include "server/shell_ext.h"
#include "support/pixels.h"
#include "support/properties_driver.h"
#include "support/test_window.h"
#include "support/unix_files.h"

namespace {

std::string Text(RECT r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "-" + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

// Windows made while it lives take the right-to-left layout, as in Explorer on such systems.
struct RightToLeft {
    RightToLeft() { SetProcessDefaultLayout(LAYOUT_RTL); }
    ~RightToLeft() { SetProcessDefaultLayout(0); }
};

// The sheet in front, all of it painted now.
void Paint(HWND sheet) {
    SetForegroundWindow(sheet);
    RedrawWindow(sheet, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    TestPage::Pump();
}

// Edit Bits as measured from a timer while it runs, which then closes it.
RECT g_editBits;
void CALLBACK MeasureAndCloseEditBits(HWND, UINT, UINT_PTR, DWORD) {
    for (HWND shown : VisibleThreadWindows(GetCurrentThreadId(), L"#32770"))
        if (WindowText(shown) == L"Edit Bits" && GetWindowRect(shown, &g_editBits))
            EndDialog(shown, IDCANCEL);
}

} // namespace

TEST(MirroredPage, ViewSizesLinksAndDialogsFollowTheMirroredLayout) {
    TempFolder folder;
    RightToLeft mirrored;
    InProcessSheet sheet({folder.Write(L"mirrored.bin", SeededBytes(4000, 1))});
    ASSERT_NE(sheet.page(), nullptr);
    ASSERT_TRUE(GetWindowLongPtrW(sheet.page(), GWL_EXSTYLE) & WS_EX_LAYOUTRTL);
    HWND view = sheet.control(IDC_HEX_VIEW);
    // Page coordinates of a mirrored page run from its right edge.
    EXPECT_EQ(Text(RectInParent(sheet.page(), view)), "11,56-329,218");
    for (const char* expected : {"11,11-329,269", "11,11-329,295", "11,56-329,218"}) {
        sheet.ext().editor.CycleViewSize();
        EXPECT_EQ(Text(RectInParent(sheet.page(), view)), expected);
    }
    EXPECT_EQ(Text(RectInParent(sheet.page(), sheet.control(IDC_MODULES_LINK))), "138,285-330,300");
    EXPECT_EQ(Text(RectInParent(sheet.page(), sheet.control(IDC_HELP_LINK))), "138,255-330,270");

    // Edit Bits, measured and closed from a timer while it runs, centred on the 318 x 162 view.
    g_editBits = RECT{};
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, MeasureAndCloseEditBits);
    sheet.ext().editor.ShowEditBitsDialog();
    KillTimer(nullptr, timer);
    RECT frame{};
    GetWindowRect(view, &frame);
    OffsetRect(&g_editBits, -frame.left, -frame.top);
    EXPECT_EQ(Text(g_editBits), "25,25-294,139");

    // Under Wine a dialog with an owner takes no layout from the process, so Edit Bits stays
    // left to right here; its "Old:" boxes move as this one does in a mirrored window, and in a
    // plain one at the screen's origin, which maps points to its client area by an offset of 0.
    for (const DWORD layout : {DWORD{LAYOUT_RTL}, DWORD{0}}) {
        SetProcessDefaultLayout(layout);
        HWND window = CreateWindowExW(0, L"#32770", L"", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr,
                                      nullptr, nullptr);
        SetProcessDefaultLayout(LAYOUT_RTL);
        HWND box = CreateWindowExW(0, L"Button", L"8", WS_CHILD | BS_AUTOCHECKBOX, 40, 14, 24, 15,
                                   window, reinterpret_cast<HMENU>(IDC_OLD_BIT7), nullptr, nullptr);
        NudgeControl(window, IDC_OLD_BIT7, -1, 0);
        EXPECT_EQ(Text(RectInParent(window, box)), "40,13-64,28") << layout;
        DestroyWindow(window);
    }
}

// What the user sees on the screen: the view's digits, and the banner with its tab at the left
// end, as in an unmirrored page.
TEST(MirroredPage, ViewAndBannerAreNotDrawnMirrorImage) {
    TempFolder folder;
    const std::wstring file = folder.Write(L"mirrored.bin", SeededBytes(4000, 1));
    std::unique_ptr<Capture> screens[2];
    RECT ones[2]{}, banner{};
    for (int mirrored = 0; mirrored < 2; ++mirrored) {
        SetProcessDefaultLayout(mirrored ? LAYOUT_RTL : 0);
        InProcessSheet sheet({file});
        SetProcessDefaultLayout(0);
        ASSERT_NE(sheet.page(), nullptr);
        Paint(sheet.sheet());
        screens[mirrored] = std::make_unique<Capture>(GetDesktopWindow());
        // The '1' of row 2's address "00000010".
        const CHexEdit& e = sheet.ext().editor;
        ones[mirrored] = RECT{6 * e.charWidth, 2 * e.charHeight, 7 * e.charWidth, 3 * e.charHeight};
        MapWindowPoints(sheet.control(IDC_HEX_VIEW), nullptr,
                        reinterpret_cast<POINT*>(&ones[mirrored]), 2);
        GetWindowRect(sheet.control(IDC_BANNER), &banner);
    }
    EXPECT_GT(screens[0]->CountOther(GetSysColor(COLOR_WINDOW), ones[0]), 0);
    EXPECT_TRUE(screens[0]->SameAs(*screens[1], ones[0], POINT{ones[1].left, ones[1].top}));
    EXPECT_EQ(banner.right - banner.left, 120); // the red-tabbed 120 x 16 bitmap
    EXPECT_EQ(screens[1]->At(banner.left + 6, (banner.top + banner.bottom) / 2), RGB(200, 30, 30));
}

TEST(HighDpi, EveryRowIsDrawnAfterEachViewSizeStepAndTheFontFits) {
    const char* named = getenv("PROPWEAVE_DPI");
    const int dpi = named && *named ? atoi(named) : 96;
    ASSERT_EQ(GetDeviceCaps(ScopedWindowDc(nullptr).get(), LOGPIXELSY), dpi);
    TempFolder folder;
    InProcessSheet sheet({folder.Write(L"dpi.bin", SeededBytes(8000, 3))});
    ASSERT_NE(sheet.page(), nullptr);
    HWND view = sheet.control(IDC_HEX_VIEW);
    const CHexEdit& e = sheet.ext().editor;
    Paint(sheet.sheet());
    std::string seen = "cell " + std::to_string(e.charWidth) + "x" + std::to_string(e.charHeight);
    for (int step = 1; step <= 3; ++step) {
        sheet.ext().editor.CycleViewSize();
        UpdateWindow(view);
        const Capture shot(view);
        seen += " " + std::to_string(shot.height() / e.charHeight);
        for (int row = 0; row < shot.height() / e.charHeight; ++row) // its address, grey on white
            EXPECT_GT(
                shot.CountOther(GetSysColor(COLOR_WINDOW), Area(0, row * e.charHeight, e.hexColumnX,
                                                                (row + 1) * e.charHeight)),
                0)
                << "row " << row << " after step " << step;
        // The row's last text cell ends inside the view.
        EXPECT_LE(e.textColumnX + 8 * e.charWidth, shot.width()) << "step " << step;
    }
    seen +=
        " banner " +
        std::to_string(
            reinterpret_cast<PageData*>(GetWindowLongPtrW(sheet.page(), DWLP_USER))->bannerWidth);
    // The cell, the rows shown after each step (sizes 2, 3, 1) and the banner bitmap's width.
    const std::pair<int, std::string> cases[] = {{96, "cell 7x14 18 20 11 banner 120"},
                                                 {120, "cell 9x17 18 20 11 banner 160"},
                                                 {144, "cell 10x19 19 20 11 banner 240"},
                                                 {192, "cell 14x27 18 20 11 banner 240"}};
    for (const auto& [caseDpi, expected] : cases) {
        if (caseDpi == dpi) {
            EXPECT_EQ(seen, expected);
        }
    }
    if (dpi == 144) { // the README's picture
        Paint(sheet.sheet());
        Capture(sheet.sheet()).SaveBmp(L"page-144dpi.bmp");
    }
}
