#include "hexedit/nudge_control.h"

#include "hexedit/window_rect.h"

void NudgeControl(HWND window, int id, int dy, int dw) {
    HWND control = GetDlgItem(window, id);
    if (!control)
        return;
    RECT frame{};
    if (dy != 0 && WindowRectIn(control, window, frame))
        SetWindowPos(control, nullptr, frame.left, frame.top + dy, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (dw != 0 && GetWindowRect(control, &frame))
        SetWindowPos(control, nullptr, 0, 0, frame.right - frame.left + dw,
                     frame.bottom - frame.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}
