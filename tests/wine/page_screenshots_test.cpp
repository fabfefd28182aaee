// Pictures of the page in Wine's own Properties dialog for the docs: the three view sizes and
// the context menu open on its "&Hex Editor" and "&Copy" submenus. Left in the build tree as
// BMP files (page-view-1.bmp, page-view-2.bmp, page-view-3.bmp, page-menu.bmp).
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "resources/resource_ids.h"
#include "support/properties_driver.h"
#include "support/test_window.h"
#include "support/unix_files.h"

namespace {

// Copies a rectangle of the screen into a 24-bit BMP file.
bool SaveScreenArea(RECT area, const wchar_t* path) {
    const int w = area.right - area.left;
    const int h = area.bottom - area.top;
    if (w <= 0 || h <= 0)
        return false;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = h; // bottom row first, as the file stores it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, screen, area.left, area.top, SRCCOPY);
    GdiFlush();
    const DWORD stride = (static_cast<DWORD>(w) * 3 + 3) & ~3u;
    const DWORD imageSize = stride * static_cast<DWORD>(h);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + imageSize;
    info.bmiHeader.biSizeImage = imageSize;
    bool ok = false;
    if (FILE* out = _wfopen(path, L"wb")) {
        ok = fwrite(&file, sizeof(file), 1, out) == 1 &&
             fwrite(&info.bmiHeader, sizeof(info.bmiHeader), 1, out) == 1 &&
             fwrite(bits, imageSize, 1, out) == 1;
        fclose(out);
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ok;
}

std::vector<HWND> MenuWindowsOf(DWORD thread) {
    return VisibleThreadWindows(thread, L"#32768");
}

// Lets the sheet's thread handle what was sent and paint.
void Settle(HWND window) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
    Sleep(150);
}

RECT WindowArea(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

} // namespace

TEST(PageScreenshots, ViewSizesAndTheContextMenuInTheShellsDialog) {
    TempFolder folder;
    const char intro[] = "propWeave: a hex editor page in the file Properties dialog.\r\n";
    std::vector<uint8_t> bytes(intro, intro + sizeof(intro) - 1);
    for (size_t i = bytes.size(); i < 3000; ++i)
        bytes.push_back(static_cast<uint8_t>(i * 37 + 11));
    const std::wstring file = folder.Write(L"sample.bin", bytes);
    const DWORD thread = GetCurrentThreadId();
    std::vector<RECT> viewRects;
    size_t menusOpen = 0;
    bool saved = true;
    const HRESULT hr = OpenShellProperties({file}, [&](HWND sheet) {
        if (!sheet)
            return;
        HWND page = ShowHexPage(sheet);
        if (!page) {
            PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
            return;
        }
        HWND view = GetDlgItem(page, IDC_HEX_VIEW);
        Settle(sheet);
        const wchar_t* names[] = {L"page-view-1.bmp", L"page-view-2.bmp", L"page-view-3.bmp"};
        for (const wchar_t* name : names) {
            viewRects.push_back(WindowArea(view));
            saved = SaveScreenArea(WindowArea(sheet), name) && saved;
            DWORD_PTR result = 0;
            SendMessageTimeoutW(view, WM_KEYDOWN, VK_F11, 1, SMTO_NORMAL, 10000, &result);
            Settle(sheet);
        }
        // Back in the normal layout: right-click in the text pane, then open the submenus.
        RECT client{};
        GetClientRect(view, &client);
        PostMessageW(view, WM_RBUTTONUP, 0, MAKELPARAM(client.right - 30, 40));
        WaitFor([&] { return !MenuWindowsOf(thread).empty(); });
        HWND root = MenuWindowsOf(thread).empty() ? nullptr : MenuWindowsOf(thread).front();
        if (root) {
            PostMessageW(root, WM_CHAR, L'h', 1);
            WaitFor([&] { return MenuWindowsOf(thread).size() >= 2; });
            PostMessageW(root, WM_CHAR, L'c', 1);
            WaitFor([&] { return MenuWindowsOf(thread).size() >= 3; });
            Sleep(200);
            const std::vector<HWND> menus = MenuWindowsOf(thread);
            menusOpen = menus.size();
            RECT area = WindowArea(sheet);
            for (HWND m : menus) {
                const RECT r = WindowArea(m);
                area.left = std::min(area.left, r.left);
                area.top = std::min(area.top, r.top);
                area.right = std::max(area.right, r.right);
                area.bottom = std::max(area.bottom, r.bottom);
            }
            area.left = std::max(area.left, 0L);
            area.top = std::max(area.top, 0L);
            saved = SaveScreenArea(area, L"page-menu.bmp") && saved;
            for (int i = 0; i < 3; ++i)
                PostMessageW(root, WM_KEYDOWN, VK_ESCAPE, 1);
            WaitFor([&] { return MenuWindowsOf(thread).empty(); });
        }
        PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
        WaitFor([&] { return !IsWindow(sheet); }, 20000);
    });
    EXPECT_EQ(hr, S_OK);
    ASSERT_EQ(viewRects.size(), 3u);
    EXPECT_LT(viewRects[1].top, viewRects[0].top);       // mode 2 reaches up to the header
    EXPECT_GT(viewRects[2].bottom, viewRects[1].bottom); // mode 3 reaches down over the footer
    EXPECT_EQ(menusOpen, 3u);                            // the menu, "&Hex Editor" and "&Copy"
    EXPECT_TRUE(saved);
}
