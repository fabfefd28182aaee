// Context help of the page's controls: a text popup through the HTML Help library, which is
// loaded on first use. Without the library nothing is shown and nothing is said.
#pragma once

#include <windows.h>

#include <cstdint>

// Shows the popup text of `control` (a child of the page), if it has one. `dropCount` is the
// number of selected items.
void ShowContextHelp(HWND control, uint32_t dropCount);
