// The "Hex Editor" page: its dialog procedure and the load of one file into its hex view.
#pragma once

#include <windows.h>

#include "page/page_host.h"

INT_PTR CALLBACK PageDlgProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Loads `path` into the host's editor (which enables its view on success, disables it on
// failure and leaves it as it was when the user cancelled) and repaints. Returns its code.
DWORD LoadIntoView(PageHost& host, HWND page, const wchar_t* path);
