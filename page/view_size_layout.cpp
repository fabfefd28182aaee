#include "page/view_size_layout.h"

#include "hexedit/hex_edit.h"
#include "page/core/view_size_rules.h"
#include "resources/resource_ids.h"

namespace {

bool TopLeftInPage(HWND page, HWND control, RECT& screen, POINT& client) {
    if (!GetWindowRect(control, &screen))
        return false;
    client = POINT{screen.left, screen.top};
    return ScreenToClient(page, &client) != FALSE;
}

void ShowControls(HWND page, const int* ids, size_t count, int show) {
    for (size_t i = 0; i < count; ++i)
        ShowWindow(GetDlgItem(page, ids[i]), show);
}

template <size_t N> void ShowControls(HWND page, const int (&ids)[N], int show) {
    ShowControls(page, ids, N, show);
}

bool ApplyNormal(HWND page, CHexEdit& editor) {
    if (!MoveWindow(GetDlgItem(page, IDC_HEX_VIEW), editor.normalLeft, editor.normalTop,
                    editor.normalWidth, editor.normalHeight, TRUE))
        return false;
    ShowControls(page, viewsize::kShownInNormal, SW_SHOW);
    return true;
}

bool ApplyLarge(HWND page, CHexEdit& editor, int mode) {
    RECT screen{};
    POINT iconTop{};
    if (!TopLeftInPage(page, GetDlgItem(page, IDC_HEADER_ICON), screen, iconTop))
        return false;
    RECT helpLabel{};
    if (!GetWindowRect(GetDlgItem(page, IDC_HELP_LABEL), &helpLabel))
        return false;
    POINT helpBottom{helpLabel.right, helpLabel.bottom};
    if (!ScreenToClient(page, &helpBottom))
        return false;
    HWND view = GetDlgItem(page, IDC_HEX_VIEW);
    RECT viewRect{};
    if (!GetWindowRect(view, &viewRect))
        return false;
    const int width = viewRect.right - viewRect.left;
    if (mode == 2) {
        editor.normalWidth = width;
        editor.normalHeight = viewRect.bottom - viewRect.top;
    }
    POINT viewTopLeft{viewRect.left, viewRect.top};
    if (!ScreenToClient(page, &viewTopLeft))
        return false;
    if (mode == 2) {
        editor.normalLeft = viewTopLeft.x;
        editor.normalTop = viewTopLeft.y;
    }
    int height = helpBottom.y - iconTop.y;
    if (mode == 3) {
        // Measured on the screen, where the page's own edges are known.
        RECT pageRect{}, nameLabel{};
        if (!GetWindowRect(page, &pageRect) ||
            !GetWindowRect(GetDlgItem(page, IDC_NAME_LABEL), &nameLabel))
            return false;
        height = viewsize::FullHeight(pageRect.top, pageRect.bottom, nameLabel.top);
    }
    if (!MoveWindow(view, viewTopLeft.x, iconTop.y, width, height, TRUE))
        return false;
    if (mode == 3)
        ShowControls(page, viewsize::kHiddenInFull, SW_HIDE);
    ShowControls(page, viewsize::kHiddenInLarge, SW_HIDE);
    return true;
}

} // namespace

bool ApplyViewSize(HWND page, CHexEdit& editor, int mode) {
    if (mode < 1 || mode > 3)
        return false;
    editor.HideEditCaret();
    const bool moved = mode == 1 ? ApplyNormal(page, editor) : ApplyLarge(page, editor, mode);
    if (moved) {
        // The next paint measures the font for the new size and makes the caret again.
        editor.layoutStale = 1;
        editor.caretPending = 1;
    }
    return moved;
}
