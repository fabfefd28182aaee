#include "hexedit/window_rect.h"

bool MapRect(HWND from, HWND to, RECT& rect) {
    // Zero is also the answer for two windows with the same origin.
    SetLastError(ERROR_SUCCESS);
    return MapWindowPoints(from, to, reinterpret_cast<POINT*>(&rect), 2) != 0 ||
           GetLastError() == ERROR_SUCCESS;
}

bool WindowRectIn(HWND window, HWND parent, RECT& rect) {
    return GetWindowRect(window, &rect) && MapRect(nullptr, parent, rect);
}
