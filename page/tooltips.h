// The page's tooltip control: whole texts for the header fields and the file chooser, which
// are too narrow to show long names.
#pragma once

#include <windows.h>

// A tooltip window of this module (made inside its activation context); null on failure.
HWND CreatePageTooltip();

// Adds `control` of `page` as a tool showing `text`.
void AddTooltipTool(HWND tooltip, HWND page, HWND control, const wchar_t* text);

// Replaces the text of the tool for `control`.
void SetTooltipToolText(HWND tooltip, HWND page, HWND control, const wchar_t* text);
