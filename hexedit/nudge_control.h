// Moves or widens one dialog control by a few pixels, for adjustments that dialog units cannot
// express.
#pragma once

#include <windows.h>

// Moves control `id` of dialog `window` down by dy pixels (keeping its size), then makes it dw
// pixels wider (keeping its position and height). A step whose window query fails is skipped.
void NudgeControl(HWND window, int id, int dy, int dw);
