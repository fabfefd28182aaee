// Rectangles of windows in another window's coordinates. Both corners are mapped together:
// in a mirrored (right-to-left) window a rectangle's left edge on the screen is its right edge
// in client coordinates, so converting one corner alone puts it sideways by its own width.
#pragma once

#include <windows.h>

// Maps `rect` from the coordinates of `from` to those of `to` (null: the screen).
bool MapRect(HWND from, HWND to, RECT& rect);

// The window rectangle of `window` in the client coordinates of `parent`.
bool WindowRectIn(HWND window, HWND parent, RECT& rect);
