// The page's two owner-drawn buttons that look like web links, and the pages they open.
#pragma once

#include <windows.h>

struct PageData;

// Draws a link button: its text underlined, coloured by its state, nothing else.
void DrawLinkButton(PageData& data, const DRAWITEMSTRUCT& item, const wchar_t* text);

// The link colour of a button in `state` (ODS_ flags).
COLORREF LinkColour(UINT state);

// Opens the web page of link button `id` in the default browser; not reported when it fails.
void OpenLinkPage(int id);
