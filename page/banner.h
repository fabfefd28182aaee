// The banner at the page's foot: the module's artwork, the bitmap of the nearest size chosen
// once by the control's width and stretched onto it with halftoning.
#pragma once

#include <windows.h>

struct PageData;

void DrawBanner(HWND banner, PageData& data, const DRAWITEMSTRUCT& item);
