#include "page/view_size_layout.h"

#include "hexedit/hex_edit.h"
#include "hexedit/window_rect.h"
#include "page/core/view_size_rules.h"
#include "resources/resource_ids.h"

namespace {

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
    // Back in the order they went.
    ShowControls(page, viewsize::kHiddenInLarge, SW_SHOW);
    ShowControls(page, viewsize::kHiddenInFull, SW_SHOW);
    return true;
}

bool ApplyLarge(HWND page, CHexEdit& editor, int mode) {
    HWND view = GetDlgItem(page, IDC_HEX_VIEW);
    RECT icon{}, helpLabel{}, viewRect{};
    if (!WindowRectIn(GetDlgItem(page, IDC_HEADER_ICON), page, icon) ||
        !WindowRectIn(GetDlgItem(page, IDC_HELP_LABEL), page, helpLabel) ||
        !WindowRectIn(view, page, viewRect))
        return false;
    const int width = viewRect.right - viewRect.left;
    if (mode == 2) {
        editor.normalLeft = viewRect.left;
        editor.normalTop = viewRect.top;
        editor.normalWidth = width;
        editor.normalHeight = viewRect.bottom - viewRect.top;
    }
    // Down to the help label's bottom edge.
    int height = helpLabel.bottom - icon.top;
    if (mode == 3) {
        // Measured on the screen, where the page's own edges are known.
        RECT pageRect{}, nameLabel{};
        if (!GetWindowRect(page, &pageRect) ||
            !GetWindowRect(GetDlgItem(page, IDC_NAME_LABEL), &nameLabel))
            return false;
        height = viewsize::FullHeight(pageRect.top, pageRect.bottom, nameLabel.top);
    }
    if (!MoveWindow(view, viewRect.left, icon.top, width, height, TRUE))
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
        // The next paint measures the font for the new size and makes the caret again. It
        // draws the whole view: the system keeps the old pixels of what stayed visible,
        // among them the blank strip below the old last whole row.
        editor.layoutStale = 1;
        editor.caretPending = 1;
        editor.Invalidate();
    }
    return moved;
}
