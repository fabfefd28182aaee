// The page's three view sizes: 1 the normal page, 2 the view also over the header and the
// chooser and help rows, 3 the view over nearly the whole page.
#pragma once

#include <windows.h>

class CHexEdit;

// Lays the page out for `mode`. Stops at the first window query or move that fails, with
// nothing further changed; returns whether the layout was completed.
bool ApplyViewSize(HWND page, CHexEdit& editor, int mode);
