#include "page/link_buttons.h"

#include <shellapi.h>

#include <string>

#include "hexedit/win32_handles.h"
#include "page/core/web_host.h"
#include "page/page_data.h"
#include "resources/resource_ids.h"

namespace {

constexpr size_t kMaxLinkText = 99;

// The underlined link font, as tall as the dialog font that the context holds.
HFONT MakeLinkFont(HDC dc) {
    TEXTMETRICW metrics{};
    if (!GetTextMetricsW(dc, &metrics))
        return nullptr;
    return CreateFontW(metrics.tmHeight, 0, 0, 0, FW_NORMAL, FALSE, TRUE, FALSE, 0, 0, 0,
                       PROOF_QUALITY, 0, L"MS Shell Dlg 2");
}

} // namespace

COLORREF LinkColour(UINT state) {
    if (state & ODS_SELECTED)
        return RGB(255, 0, 0);
    if (state & ODS_FOCUS)
        return RGB(0, 0, 204);
    return RGB(100, 139, 203);
}

void DrawLinkButton(PageData& data, const DRAWITEMSTRUCT& item, const wchar_t* text) {
    if (!data.linkFont)
        data.linkFont = MakeLinkFont(item.hDC);
    SetTextColor(item.hDC, LinkColour(item.itemState));
    SetBkMode(item.hDC, TRANSPARENT); // the page shows through, as behind a link
    ScopedSelectObject font(item.hDC, data.linkFont);
    RECT area{0, 0, 3000, 1000};
    DrawTextW(item.hDC, text, static_cast<int>(wcsnlen(text, kMaxLinkText)), &area, 0);
}

void OpenLinkPage(int id) {
    const std::wstring address = id == IDC_HELP_LINK ? web::HelpAddress() : web::ModulesAddress();
    ShellExecuteW(nullptr, L"open", address.c_str(), L"", nullptr, SW_SHOWNORMAL);
}
