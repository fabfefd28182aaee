// The page's decorations on a real page: the three view sizes, the link buttons' colours and
// the banner's choice of bitmap from their pixels, the context-help popups through a stand-in
// HTML Help library that records what it was asked, and the chooser after a failed switch.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <htmlhelp.h>

#include <algorithm>

#include "hexedit/module_context.h"
#include "hhctrl_standin/hhctrl_standin.h"
#include "page/page_data.h"
#include "resources/resource_ids.h"
#include "server/shell_ext.h"
#include "support/message_box_recorder.h"
#include "support/pixels.h"
#include "support/properties_driver.h"
#include "support/test_window.h"
#include "support/unix_files.h"

namespace {

// A bitmap to draw an owner-drawn control into, filled with a colour nothing draws.
class Canvas {
  public:
    static constexpr COLORREF kUntouched = RGB(1, 2, 3);
    Canvas(int width, int height) : width_(width), height_(height) {
        HDC screen = GetDC(nullptr);
        dc_ = CreateCompatibleDC(screen);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        ReleaseDC(nullptr, screen);
        old_ = SelectObject(dc_, bitmap_);
        HBRUSH brush = CreateSolidBrush(kUntouched);
        RECT all{0, 0, width, height};
        FillRect(dc_, &all, brush);
        DeleteObject(brush);
    }
    ~Canvas() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    HDC dc() const { return dc_; }
    COLORREF At(int x, int y) const {
        GdiFlush();
        return GetPixel(dc_, x, y);
    }
    int Count(COLORREF colour) const {
        int n = 0;
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                n += At(x, y) == colour;
        return n;
    }

    // Pixels that are not a mix of the two colours.
    int CountOutsideBlend(COLORREF a, COLORREF b) const {
        auto between = [](int v, int x, int y) {
            return v >= std::min(x, y) - 2 && v <= std::max(x, y) + 2;
        };
        int n = 0;
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) {
                const COLORREF p = At(x, y);
                n += !(between(GetRValue(p), GetRValue(a), GetRValue(b)) &&
                       between(GetGValue(p), GetGValue(a), GetGValue(b)) &&
                       between(GetBValue(p), GetBValue(a), GetBValue(b)));
            }
        }
        return n;
    }

  private:
    int width_, height_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
};

// Asks the page to draw control `id` into the canvas, as the control itself would.
void DrawInto(HWND page, int id, const Canvas& canvas, UINT state, int width, int height) {
    DRAWITEMSTRUCT item{};
    item.CtlType = id == IDC_BANNER ? ODT_STATIC : ODT_BUTTON;
    item.CtlID = static_cast<UINT>(id);
    item.itemAction = ODA_DRAWENTIRE;
    item.itemState = state;
    item.hwndItem = GetDlgItem(page, id);
    item.hDC = canvas.dc();
    item.rcItem = RECT{0, 0, width, height};
    SelectObject(canvas.dc(), reinterpret_cast<HFONT>(SendMessageW(page, WM_GETFONT, 0, 0)));
    SendMessageW(page, WM_DRAWITEM, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&item));
}

bool Near(COLORREF a, COLORREF b, int tolerance) {
    return abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
           abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

class PageDecorations : public ::testing::Test {
  protected:
    CHexEdit& EditorOf(InProcessSheet& sheet) { return sheet.ext().editor; }
    TempFolder folder;
};

} // namespace

TEST_F(PageDecorations, ViewSizeCycleComesBackToTheNormalLayout) {
    const std::wstring file = folder.Write(L"sizes.bin", SeededBytes(4000, 1));
    InProcessSheet sheet({file});
    ASSERT_NE(sheet.page(), nullptr);
    HWND page = sheet.page();
    HWND view = sheet.control(IDC_HEX_VIEW);
    CHexEdit& editor = EditorOf(sheet);
    const RECT normal = RectInParent(page, view);
    const RECT icon = RectInParent(page, sheet.control(IDC_HEADER_ICON));
    const RECT help = RectInParent(page, sheet.control(IDC_HELP_LABEL));

    const std::vector<int> large = {1118, 1119, 1120, 1121, 1122, 1040,
                                    1041, 1117, 1123, 1124, 1054};
    const std::vector<int> footer = {1049, 1053, 1051};
    auto expectShown = [&](const std::vector<int>& ids, bool shown) {
        for (int id : ids)
            EXPECT_EQ(IsWindowVisible(sheet.control(id)) != FALSE, shown) << id;
    };
    // After a step the view is drawn whole, as a full redraw would draw it, and the scroll
    // bar's thumb spans the whole rows that fit its new height.
    auto expectRedrawnWhole = [&] {
        UpdateWindow(view);
        const Capture shown(view);
        RedrawWindow(view, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        const Capture redrawn(view);
        EXPECT_TRUE(shown.SameAs(redrawn, Area(0, 0, shown.width(), shown.height()), {0, 0}));
        SCROLLINFO bar{};
        bar.cbSize = sizeof(bar);
        bar.fMask = SIF_PAGE;
        ASSERT_TRUE(GetScrollInfo(view, SB_VERT, &bar));
        EXPECT_EQ(bar.nPage, static_cast<UINT>(shown.height() / editor.charHeight));
    };

    // 1 -> 2: over the header and the chooser and help rows; the banner row stays.
    UpdateWindow(view);
    editor.CycleViewSize();
    EXPECT_EQ(editor.viewMode, 2);
    RECT r = RectInParent(page, view);
    EXPECT_EQ(r.left, normal.left);
    EXPECT_EQ(r.right, normal.right);
    EXPECT_EQ(r.top, icon.top);
    EXPECT_EQ(r.bottom, help.bottom);
    EXPECT_EQ(editor.normalLeft, normal.left);
    EXPECT_EQ(editor.normalTop, normal.top);
    EXPECT_EQ(editor.normalWidth, normal.right - normal.left);
    EXPECT_EQ(editor.normalHeight, normal.bottom - normal.top);
    expectRedrawnWhole();
    expectShown(large, false);
    expectShown(footer, true);

    // 2 -> 3: nearly the whole page, less twice the "Name:" label's distance from its top: 284
    // pixels in this sheet.
    editor.CycleViewSize();
    EXPECT_EQ(editor.viewMode, 3);
    r = RectInParent(page, view);
    EXPECT_EQ(r.top, icon.top);
    EXPECT_EQ(r.bottom - r.top, 284);
    EXPECT_EQ(r.left, normal.left);
    EXPECT_EQ(r.right, normal.right);
    expectShown(large, false);
    expectShown(footer, false);

    // 3 -> 1: exactly the normal rectangle, every control back, the font fitted again.
    UpdateWindow(view);
    editor.CycleViewSize();
    EXPECT_EQ(editor.viewMode, 1);
    expectRedrawnWhole();
    r = RectInParent(page, view);
    EXPECT_EQ(r.left, normal.left);
    EXPECT_EQ(r.top, normal.top);
    EXPECT_EQ(r.right, normal.right);
    EXPECT_EQ(r.bottom, normal.bottom);
    expectShown(large, true);
    expectShown(footer, true);
}

TEST_F(PageDecorations, LinkColoursFollowTheButtonState) {
    InProcessSheet sheet({folder.Write(L"links.bin", SeededBytes(10, 1))});
    ASSERT_NE(sheet.page(), nullptr);
    struct Case {
        UINT state;
        COLORREF colour;
    };
    const Case cases[] = {
        {ODS_SELECTED, RGB(255, 0, 0)},
        {ODS_SELECTED | ODS_FOCUS, RGB(255, 0, 0)},
        {ODS_FOCUS, RGB(0, 0, 204)},
        {0, RGB(100, 139, 203)},
    };
    for (int id : {IDC_MODULES_LINK, IDC_HELP_LINK}) {
        for (const Case& c : cases) {
            Canvas canvas(200, 20);
            DrawInto(sheet.page(), id, canvas, c.state, 200, 20);
            // Text and its underline in the state's colour (smoothed edges mix it with what
            // was there), nothing else: no background, no focus rectangle.
            EXPECT_GT(canvas.Count(c.colour), 60) << id << " state " << c.state;
            EXPECT_EQ(canvas.CountOutsideBlend(Canvas::kUntouched, c.colour), 0)
                << id << " state " << c.state;
        }
    }
    PageData* data = reinterpret_cast<PageData*>(GetWindowLongPtrW(sheet.page(), DWLP_USER));
    ASSERT_NE(data, nullptr);
    LOGFONTW font{};
    ASSERT_NE(GetObjectW(data->linkFont, sizeof(font), &font), 0);
    EXPECT_TRUE(font.lfUnderline);
    EXPECT_EQ(font.lfWeight, 400);
    EXPECT_STREQ(font.lfFaceName, L"MS Shell Dlg 2");
}

TEST_F(PageDecorations, BannerBitmapIsChosenByTheControlWidth) {
    // The tab colour of each size, as tools/artwork/make_banner.py paints it.
    struct Case {
        int width;
        int id;
        int bitmapWidth, bitmapHeight;
        COLORREF tab;
    };
    const Case cases[] = {
        {120, 163, 120, 16, RGB(200, 30, 30)},   {160, 165, 160, 20, RGB(250, 200, 0)},
        {200, 166, 200, 25, RGB(150, 40, 190)},  {230, 164, 240, 31, RGB(30, 170, 60)},
        {300, 167, 620, 80, RGB(250, 250, 250)},
    };
    const std::wstring file = folder.Write(L"banner.bin", SeededBytes(10, 1));
    for (const Case& c : cases) {
        InProcessSheet sheet({file});
        ASSERT_NE(sheet.page(), nullptr);
        HWND banner = sheet.control(IDC_BANNER);
        auto* data = reinterpret_cast<PageData*>(GetWindowLongPtrW(sheet.page(), DWLP_USER));
        ASSERT_NE(data, nullptr);
        // The page drew its banner once already; the choice is kept for the page's life, so
        // start it again for the new width.
        SetWindowPos(banner, nullptr, 0, 0, c.width, 16, SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW);
        if (data->bannerBitmap)
            DeleteObject(data->bannerBitmap);
        data->bannerBitmap = nullptr;
        Canvas canvas(c.width, 16);
        DrawInto(sheet.page(), IDC_BANNER, canvas, 0, c.width, 16);
        EXPECT_NE(data->bannerBitmap, nullptr) << c.width;
        EXPECT_EQ(data->bannerWidth, c.bitmapWidth) << c.width;
        EXPECT_EQ(data->bannerHeight, c.bitmapHeight) << c.width;
        // The tab covers the left tenth: its middle shows the size's own colour.
        const COLORREF seen = canvas.At(c.width / 20, 8);
        EXPECT_TRUE(Near(seen, c.tab, 24)) << "width " << c.width << " shows " << std::hex << seen;
        // The whole control is covered.
        EXPECT_EQ(canvas.Count(Canvas::kUntouched), 0) << c.width;
    }
}

TEST_F(PageDecorations, BannerWithoutItsBitmapShowsThePageBackgroundAndTriesAgain) {
    InProcessSheet sheet({folder.Write(L"banner.bin", SeededBytes(10, 1))});
    ASSERT_NE(sheet.page(), nullptr);
    auto* data = reinterpret_cast<PageData*>(GetWindowLongPtrW(sheet.page(), DWLP_USER));
    ASSERT_NE(data, nullptr);
    if (data->bannerBitmap) {
        DeleteObject(data->bannerBitmap);
        data->bannerBitmap = nullptr;
    }
    // A module without the bitmaps.
    SetModuleInstance(GetModuleHandleW(L"kernel32.dll"));
    {
        Canvas canvas(120, 16);
        DrawInto(sheet.page(), IDC_BANNER, canvas, 0, 120, 16);
        EXPECT_EQ(data->bannerBitmap, nullptr);
        EXPECT_EQ(canvas.Count(GetSysColor(COLOR_BTNFACE)), 120 * 16);
    }
    SetModuleInstance(GetModuleHandleW(nullptr));
    Canvas canvas(120, 16);
    DrawInto(sheet.page(), IDC_BANNER, canvas, 0, 120, 16);
    EXPECT_NE(data->bannerBitmap, nullptr);
    EXPECT_TRUE(Near(canvas.At(6, 8), RGB(200, 30, 30), 24));
}

namespace {

// The stand-in HTML Help library beside the test program; the test run makes Wine prefer it.
struct StandIn {
    StandIn() {
        // The page loads the library on first use; load it here as well to reach its record.
        module = LoadLibraryW(L"hhctrl.ocx");
        if (module) {
            record = reinterpret_cast<StandInRecordFunction>(
                reinterpret_cast<void*>(GetProcAddress(module, "StandInRecord")));
            clear = reinterpret_cast<StandInClearFunction>(
                reinterpret_cast<void*>(GetProcAddress(module, "StandInClear")));
        }
    }
    bool Ready() const { return record && clear; }
    HMODULE module = nullptr;
    StandInRecordFunction record = nullptr;
    StandInClearFunction clear = nullptr;
};

void AskHelp(HWND page, HWND control) {
    HELPINFO info{};
    info.cbSize = sizeof(info);
    info.iContextType = HELPINFO_WINDOW;
    info.iCtrlId = GetDlgCtrlID(control);
    info.hItemHandle = control;
    GetCursorPos(&info.MousePos);
    SendMessageW(page, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
}

// A right click on the page's background over the control's middle.
void RightClickOver(HWND page, HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    const POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    SendMessageW(page, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(page), MAKELPARAM(p.x, p.y));
}

} // namespace

TEST_F(PageDecorations, HelpPopupsCarryTheControlTextAnchorColoursAndMargins) {
    StandIn help;
    ASSERT_TRUE(help.Ready()) << "the HTML Help stand-in did not load (hhctrl.ocx override)";
    InProcessSheet sheet({folder.Write(L"help.bin", SeededBytes(10, 1))});
    ASSERT_NE(sheet.page(), nullptr);
    HWND page = sheet.page();

    help.clear();
    HWND label = sheet.control(IDC_NAME_LABEL);
    AskHelp(page, label);
    const RecordedPopup* r = help.record();
    ASSERT_EQ(r->calls, 1);
    EXPECT_EQ(r->command, static_cast<UINT>(HH_DISPLAY_TEXT_POPUP));
    EXPECT_EQ(r->caller, nullptr);
    EXPECT_FALSE(r->hadFile);
    EXPECT_EQ(r->cbStruct, static_cast<int>(sizeof(HH_POPUP)));
    EXPECT_EQ(r->hinst, nullptr);
    EXPECT_EQ(r->idString, 0u);
    EXPECT_STREQ(r->text, L"Displays the name of the file or folder.");
    RECT rect{};
    GetWindowRect(label, &rect);
    EXPECT_EQ(r->pt.x, rect.left);
    EXPECT_EQ(r->pt.y - rect.top, 14) << "8 below the middle of the label";
    EXPECT_EQ(r->clrForeground, static_cast<COLORREF>(-1));
    EXPECT_EQ(r->clrBackground, GetSysColor(COLOR_INFOBK));
    EXPECT_EQ(r->rcMargins.left, 10);
    EXPECT_EQ(r->rcMargins.top, 8);
    EXPECT_EQ(r->rcMargins.right, 10);
    EXPECT_EQ(r->rcMargins.bottom, 8);
    EXPECT_FALSE(r->hadFont);

    // A separator line has no popup.
    help.clear();
    RightClickOver(page, sheet.control(IDC_HEADER_LINE));
    AskHelp(page, sheet.control(IDC_BANNER_LINE));
    EXPECT_EQ(help.record()->calls, 0);

    // The disabled chooser (one file) still explains itself.
    ASSERT_FALSE(IsWindowEnabled(sheet.control(IDC_FILE_CHOOSER)));
    help.clear();
    RightClickOver(page, sheet.control(IDC_FILE_CHOOSER));
    EXPECT_EQ(help.record()->calls, 1);
    EXPECT_STREQ(help.record()->text,
                 L"Displays the name of the file which currently is being edited and allows "
                 L"select another file to edit.\nIf there is only one file selected this control "
                 L"is disabled.\n\nShortcut: (Alt+F)");

    // A control's own right click (Shift+F10 on a link) explains that control.
    help.clear();
    SendMessageW(page, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(sheet.control(IDC_MODULES_LINK)),
                 MAKELPARAM(-1, -1));
    EXPECT_STREQ(help.record()->text,
                 L"Uses your default internet browser to open website www.example.com");

    // The banner names the vendor's web host.
    help.clear();
    AskHelp(page, sheet.control(IDC_BANNER));
    EXPECT_STREQ(help.record()->text, L"Kestrow propWeave Module.\nFor more information and free "
                                      L"updates visit www.example.com");
}

namespace {

// A stand-in browser: the http protocol's open command writes the address it is handed to a
// file, so a test sees which page a link opened. The prefix's own command comes back after.
class StandInBrowser {
  public:
    explicit StandInBrowser(std::wstring record) : record_(std::move(record)) {
        RegCreateKeyExW(HKEY_CLASSES_ROOT, L"http\\shell\\open\\command", 0, nullptr, 0,
                        KEY_ALL_ACCESS, nullptr, &key_, nullptr);
        DWORD size = sizeof(old_) - sizeof(wchar_t);
        had_ = RegQueryValueExW(key_, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(old_),
                                &size) == ERROR_SUCCESS;
        Set(L"C:\\windows\\system32\\cmd.exe /c echo %1>\"" + record_ + L"\"");
    }
    ~StandInBrowser() {
        had_ ? Set(old_) : void(RegDeleteValueW(key_, nullptr));
        RegCloseKey(key_);
    }
    // The address opened last, waited for up to ten seconds.
    std::string Opened() const {
        std::vector<uint8_t> text;
        for (int waited = 0; text.empty() && waited < 10000; waited += 50) {
            Sleep(50);
            text = ReadAll(record_);
        }
        DeleteFileW(record_.c_str());
        while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' '))
            text.pop_back();
        return std::string(text.begin(), text.end());
    }

  private:
    void Set(const std::wstring& command) {
        RegSetValueExW(key_, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                       static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    }
    std::wstring record_;
    HKEY key_ = nullptr;
    bool had_ = false;
    wchar_t old_[1024] = {};
};

} // namespace

TEST_F(PageDecorations, EachLinkOpensItsOwnPage) {
    StandInBrowser browser(folder.Path(L"opened.txt"));
    InProcessSheet sheet({folder.Write(L"links.bin", SeededBytes(10, 1))});
    ASSERT_NE(sheet.page(), nullptr);
    SendMessageW(sheet.control(IDC_MODULES_LINK), BM_CLICK, 0, 0);
    EXPECT_EQ(browser.Opened(), "http://www.example.com/kb/?kphm");
    SendMessageW(sheet.control(IDC_HELP_LINK), BM_CLICK, 0, 0);
    EXPECT_EQ(browser.Opened(), "http://www.example.com/kb/?kphh");
}

TEST_F(PageDecorations, NameHelpTellsOfTheCountForSeveralItems) {
    StandIn help;
    ASSERT_TRUE(help.Ready());
    InProcessSheet sheet({folder.Write(L"one.bin", SeededBytes(10, 1)),
                          folder.Write(L"two.bin", SeededBytes(10, 2))});
    ASSERT_NE(sheet.page(), nullptr);
    help.clear();
    AskHelp(sheet.page(), sheet.control(IDC_NAME_TEXT));
    EXPECT_STREQ(help.record()->text, L"Shows how many files and folders were selected when you "
                                      L"choose to look at the properties.");
}

TEST_F(PageDecorations, FailedSwitchShowsThePreviousFileAgain) {
    const std::vector<uint8_t> small = SeededBytes(300, 5);
    const std::wstring first = folder.Write(L"first.bin", small);
    const std::wstring locked = folder.Write(L"locked.bin", SeededBytes(30, 7));
    // Held by another program that shares nothing: it cannot be loaded.
    UniqueFile holder(CreateFileW(locked.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder);
    MessageBoxRecorder boxes;
    InProcessSheet sheet({first, locked});
    ASSERT_NE(sheet.page(), nullptr);
    CHexEdit& editor = EditorOf(sheet);
    ASSERT_EQ(editor.length, 300);

    HWND chooser = sheet.control(IDC_FILE_CHOOSER);
    SendMessageW(chooser, CB_SETCURSEL, 1, 0);
    SendMessageW(sheet.page(), WM_COMMAND, MAKEWPARAM(IDC_FILE_CHOOSER, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(chooser));

    // The user was told; the chooser, the editor and the view all show the first file again.
    const std::vector<RecordedBox> shown = MessageBoxesOnly(boxes);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text.rfind(L"There was an error reading file - ", 0), 0u);
    EXPECT_EQ(SendMessageW(chooser, CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(sheet.ext().currentFile, 0);
    EXPECT_EQ(std::wstring(editor.filePath), first);
    ASSERT_EQ(editor.length, 300);
    EXPECT_EQ(EditorBytes(editor), small);
    EXPECT_EQ(editor.modified, 0);
    EXPECT_TRUE(IsWindowEnabled(sheet.control(IDC_HEX_VIEW)));
    EXPECT_EQ(ReadAll(first), small);
}

TEST_F(PageDecorations, FailedSwitchShowsNothingWhenThePreviousFileIsGoneToo) {
    const std::wstring first = folder.Write(L"first.bin", SeededBytes(300, 5));
    const std::wstring locked = folder.Write(L"locked.bin", SeededBytes(30, 7));
    UniqueFile holder(CreateFileW(locked.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder);
    MessageBoxRecorder boxes;
    InProcessSheet sheet({first, locked});
    ASSERT_NE(sheet.page(), nullptr);
    ASSERT_TRUE(DeleteFileW(first.c_str()));

    HWND chooser = sheet.control(IDC_FILE_CHOOSER);
    SendMessageW(chooser, CB_SETCURSEL, 1, 0);
    SendMessageW(sheet.page(), WM_COMMAND, MAKEWPARAM(IDC_FILE_CHOOSER, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(chooser));

    // Both failures are told; the view shows nothing and the chooser names the entry before.
    const std::vector<RecordedBox> shown = MessageBoxesOnly(boxes);
    ASSERT_EQ(shown.size(), 2u);
    for (const RecordedBox& box : shown)
        EXPECT_EQ(box.text.rfind(L"There was an error reading file - ", 0), 0u);
    EXPECT_EQ(SendMessageW(chooser, CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(sheet.ext().currentFile, 0);
    EXPECT_EQ(EditorOf(sheet).length, 0);
    EXPECT_FALSE(IsWindowEnabled(sheet.control(IDC_HEX_VIEW)));
}
