// Finding a thread's property sheet and one of its tabs by title. Shared by the launcher, the
// tests that drive the shell's dialog, and its benchmark.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <cwchar>

namespace sheetwindows {

struct Search {
    DWORD thread;
    HWND sheet;
};

inline BOOL CALLBACK MatchVisibleSheet(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (GetWindowThreadProcessId(window, nullptr) == search->thread && IsWindowVisible(window) &&
        wcscmp(name, L"#32770") == 0 && FindWindowExW(window, nullptr, WC_TABCONTROLW, nullptr)) {
        search->sheet = window;
        return FALSE;
    }
    return TRUE;
}

// The visible top-level dialog with a tab control that the thread runs; null when none.
inline HWND FindVisibleSheet(DWORD thread) {
    Search search{thread, nullptr};
    EnumWindows(MatchVisibleSheet, reinterpret_cast<LPARAM>(&search));
    return search.sheet;
}

// Index of the sheet's tab with this title; -1 when there is none.
inline int FindTabByTitle(HWND sheet, const wchar_t* title) {
    HWND tabs = FindWindowExW(sheet, nullptr, WC_TABCONTROLW, nullptr);
    const int count = tabs ? TabCtrl_GetItemCount(tabs) : 0;
    for (int i = 0; i < count; ++i) {
        wchar_t text[64] = {};
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = 64;
        if (TabCtrl_GetItem(tabs, i, &item) && wcscmp(text, title) == 0)
            return i;
    }
    return -1;
}

} // namespace sheetwindows
