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

// Brings the sheet to the front and paints all of it now.
void Paint(HWND sheet) {
    SetForegroundWindow(sheet);
    RedrawWindow(sheet, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    TestPage::Pump();
}

// Windows made while it lives take the right-to-left layout, as in Explorer on such systems.
struct RightToLeft {
    RightToLeft() { SetProcessDefaultLayout(LAYOUT_RTL); }
    ~RightToLeft() { SetProcessDefaultLayout(0); }
};

class MirroredPage : public ::testing::Test {
  protected:
    TempFolder folder;
    const std::wstring file = folder.Write(L"mirrored.bin", SeededBytes(4000, 1));
};

} // namespace

TEST_F(MirroredPage, ViewSizesComeBackToTheFirstRectangle) {
    RightToLeft mirrored;
    InProcessSheet sheet({file});
    ASSERT_NE(sheet.page(), nullptr);
    ASSERT_TRUE(GetWindowLongPtrW(sheet.page(), GWL_EXSTYLE) & WS_EX_LAYOUTRTL);
    HWND view = sheet.control(IDC_HEX_VIEW);
    // Page coordinates of a mirrored page run from its right edge.
    EXPECT_EQ(Text(RectInParent(sheet.page(), view)), "11,56-329,218");
    for (const char* expected : {"11,11-329,269", "11,11-329,295", "11,56-329,218"}) {
        sheet.ext().editor.CycleViewSize();
        EXPECT_EQ(Text(RectInParent(sheet.page(), view)), expected);
    }
}

TEST_F(MirroredPage, LinksAndOldBitBoxesSitWhereTheMirroredLayoutPutsThem) {
    RightToLeft mirrored;
    InProcessSheet sheet({file});
    ASSERT_NE(sheet.page(), nullptr);
    EXPECT_EQ(Text(RectInParent(sheet.page(), sheet.control(IDC_MODULES_LINK))), "138,285-330,300");
    EXPECT_EQ(Text(RectInParent(sheet.page(), sheet.control(IDC_HELP_LINK))), "138,255-330,270");

    // Edit Bits, read and closed from a timer while it runs modally.
    static RECT dialogFrame;
    dialogFrame = RECT{};
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) {
        for (HWND dialog : VisibleThreadWindows(GetCurrentThreadId(), L"#32770")) {
            if (WindowText(dialog) == L"Edit Bits") {
                GetWindowRect(dialog, &dialogFrame);
                EndDialog(dialog, IDCANCEL);
            }
        }
    });
    sheet.ext().editor.ShowEditBitsDialog();
    KillTimer(nullptr, timer);
    // Centred on the view (318 x 162 pixels): as far from either side.
    RECT view{};
    GetWindowRect(sheet.control(IDC_HEX_VIEW), &view);
    OffsetRect(&dialogFrame, -view.left, -view.top);
    EXPECT_EQ(Text(dialogFrame), "25,25-294,139");

    // Under Wine a dialog with an owner takes no layout from the process, so Edit Bits stays
    // left to right here. Its "Old:" boxes are moved as this box is in a mirrored window.
    HWND window = CreateWindowExW(0, L"#32770", L"", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr,
                                  nullptr, nullptr);
    CreateWindowExW(0, L"Button", L"8", WS_CHILD | BS_AUTOCHECKBOX, 40, 14, 24, 15, window,
                    reinterpret_cast<HMENU>(IDC_OLD_BIT7), nullptr, nullptr);
    EXPECT_TRUE(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_LAYOUTRTL);
    NudgeControl(window, IDC_OLD_BIT7, -1, 0);
    EXPECT_EQ(Text(RectInParent(window, GetDlgItem(window, IDC_OLD_BIT7))), "40,13-64,28");
    DestroyWindow(window);
}

// What the user sees: the digits of the view, and the banner's artwork with its tab at the left
// end, read as in an unmirrored page.
TEST_F(MirroredPage, ViewAndBannerAreNotDrawnMirrorImage) {
    struct Seen {
        Capture screen{GetDesktopWindow()};
        POINT viewOrigin{};
        RECT banner{};
        SIZE cell{};
    };
    auto look = [&](InProcessSheet& sheet) {
        Paint(sheet.sheet());
        auto seen = std::make_unique<Seen>();
        RECT client{};
        GetClientRect(sheet.control(IDC_HEX_VIEW), &client);
        MapWindowPoints(sheet.control(IDC_HEX_VIEW), nullptr, reinterpret_cast<POINT*>(&client), 2);
        seen->viewOrigin = POINT{client.left, client.top};
        GetWindowRect(sheet.control(IDC_BANNER), &seen->banner);
        seen->cell = SIZE{sheet.ext().editor.charWidth, sheet.ext().editor.charHeight};
        return seen;
    };
    std::unique_ptr<Seen> plain, mirrored;
    {
        InProcessSheet sheet({file});
        ASSERT_NE(sheet.page(), nullptr);
        plain = look(sheet);
    }
    {
        RightToLeft rtl;
        InProcessSheet sheet({file});
        ASSERT_NE(sheet.page(), nullptr);
        mirrored = look(sheet);
    }
    // The '1' of row 2's address "00000010".
    const SIZE c = plain->cell;
    ASSERT_GT(c.cx, 0);
    const RECT one{plain->viewOrigin.x + 6 * c.cx, plain->viewOrigin.y + 2 * c.cy,
                   plain->viewOrigin.x + 7 * c.cx, plain->viewOrigin.y + 3 * c.cy};
    EXPECT_GT(plain->screen.CountOther(GetSysColor(COLOR_WINDOW), one), 0);
    EXPECT_TRUE(plain->screen.SameAs(
        mirrored->screen, one,
        POINT{mirrored->viewOrigin.x + 6 * c.cx, mirrored->viewOrigin.y + 2 * c.cy}));
    // The banner's 120 x 16 bitmap has its red tab on the left.
    const RECT& b = mirrored->banner;
    EXPECT_EQ(b.right - b.left, 120);
    EXPECT_EQ(mirrored->screen.At(b.left + 6, (b.top + b.bottom) / 2), RGB(200, 30, 30));
}

namespace {

// The DPI the session runs at, as tools/test.sh set it (96 when it did not).
int SessionDpi() {
    const char* dpi = getenv("PROPWEAVE_DPI");
    return dpi && *dpi ? atoi(dpi) : 96;
}

} // namespace

TEST(HighDpi, EveryRowIsDrawnAfterEachViewSizeStep) {
    const int dpi = SessionDpi();
    {
        ScopedWindowDc screen(nullptr);
        ASSERT_EQ(GetDeviceCaps(screen.get(), LOGPIXELSY), dpi);
    }
    TempFolder folder;
    InProcessSheet sheet({folder.Write(L"dpi.bin", SeededBytes(8000, 3))});
    ASSERT_NE(sheet.page(), nullptr);
    HWND view = sheet.control(IDC_HEX_VIEW);
    CHexEdit& editor = sheet.ext().editor;
    Paint(sheet.sheet());
    std::string seen = "cell " + std::to_string(editor.charWidth) + "x" +
                       std::to_string(editor.charHeight) + ", rows";
    for (int step = 0; step < 3; ++step) {
        editor.CycleViewSize();
        UpdateWindow(view);
        TestPage::Pump();
        const Capture shot(view);
        const int rows = shot.height() / editor.charHeight;
        seen += " " + std::to_string(rows);
        for (int row = 0; row < rows; ++row) // each address, grey on white
            EXPECT_GT(shot.CountOther(GetSysColor(COLOR_WINDOW),
                                      Area(0, row * editor.charHeight, editor.hexColumnX,
                                           (row + 1) * editor.charHeight)),
                      0)
                << "row " << row << " after step " << step + 1;
        // The font fits: the text column's last cell ends inside the view.
        EXPECT_LE(editor.textColumnX + 8 * editor.charWidth, shot.width());
    }
    auto* data = reinterpret_cast<PageData*>(GetWindowLongPtrW(sheet.page(), DWLP_USER));
    seen += ", banner " + std::to_string(data->bannerWidth);
    struct Case {
        int dpi;
        const char* seen;
    };
    const Case cases[] = {
        {96, "cell 7x14, rows 18 20 11, banner 120"},
        {120, "cell 9x17, rows 18 20 11, banner 160"},
        {144, "cell 10x19, rows 19 20 11, banner 240"},
        {192, "cell 14x27, rows 18 20 11, banner 240"},
    };
    for (const Case& c : cases) {
        if (c.dpi == dpi) {
            EXPECT_EQ(seen, c.seen);
        }
    }
    if (dpi == 144) // the README's picture
        Capture(sheet.sheet()).SaveBmp(L"page-144dpi.bmp");
}
