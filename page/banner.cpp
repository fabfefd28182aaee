#include "page/banner.h"

#include "hexedit/module_context.h"
#include "hexedit/win32_handles.h"
#include "page/core/banner_choice.h"
#include "page/page_data.h"

namespace {

// Stretch mode set for the scope's duration and put back afterwards.
class ScopedStretchMode {
  public:
    ScopedStretchMode(HDC dc, int mode) : dc_(dc), previous_(SetStretchBltMode(dc, mode)) {}
    ~ScopedStretchMode() {
        if (previous_)
            SetStretchBltMode(dc_, previous_);
    }
    ScopedStretchMode(const ScopedStretchMode&) = delete;
    ScopedStretchMode& operator=(const ScopedStretchMode&) = delete;

  private:
    HDC dc_;
    int previous_;
};

} // namespace

void DrawBanner(HWND banner, PageData& data, const DRAWITEMSTRUCT& item) {
    RECT window{};
    if (!GetWindowRect(banner, &window))
        window = RECT{};
    const int w = window.right - window.left;
    const int h = window.bottom - window.top;
    if (!data.bannerBitmap) {
        const banner::Choice choice = banner::ChooseBitmap(w);
        data.bannerWidth = choice.width;
        data.bannerHeight = choice.height;
        data.bannerBitmap = static_cast<HBITMAP>(
            LoadImageW(ModuleInstance(), MAKEINTRESOURCEW(choice.id), IMAGE_BITMAP, choice.width,
                       choice.height, LR_DEFAULTCOLOR));
    }
    // Until the bitmap loads, the control shows the page's own background.
    if (!data.bannerBitmap) {
        FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
        return;
    }
    UniqueMemoryDc memory(CreateCompatibleDC(item.hDC));
    if (!memory)
        return;
    ScopedSelectObject select(memory.get(), data.bannerBitmap);
    ScopedStretchMode halftone(item.hDC, HALFTONE);
    // The artwork is not mirrored with a right-to-left page.
    StretchBlt(item.hDC, 0, 0, w, h, memory.get(), 0, 0, data.bannerWidth, data.bannerHeight,
               SRCCOPY | NOMIRRORBITMAP);
}
