#include "page/help_popup.h"

#include <htmlhelp.h>

#include <atomic>
#include <string>

#include "page/core/help_texts.h"

namespace {

using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);

// Loaded once and kept for the process: the popup windows belong to the library. Pages of
// several dialogs may ask at once, each on its own thread.
std::atomic<HtmlHelpFunction> g_htmlHelp{nullptr};

HtmlHelpFunction HtmlHelpEntry() {
    HtmlHelpFunction entry = g_htmlHelp.load();
    if (entry)
        return entry;
    HMODULE library = LoadLibraryW(L"hhctrl.ocx");
    if (!library)
        return nullptr;
    entry = reinterpret_cast<HtmlHelpFunction>(
        reinterpret_cast<void*>(GetProcAddress(library, "HtmlHelpW")));
    if (!entry) {
        FreeLibrary(library);
        return nullptr;
    }
    g_htmlHelp.store(entry);
    return entry;
}

} // namespace

void ShowContextHelp(HWND control, uint32_t dropCount) {
    const std::wstring text = help::PopupText(GetDlgCtrlID(control), dropCount);
    if (text.empty())
        return;
    RECT rect{};
    if (!GetWindowRect(control, &rect))
        return;
    HtmlHelpFunction htmlHelp = HtmlHelpEntry();
    if (!htmlHelp)
        return;
    const help::Anchor anchor = help::PopupAnchor(rect.left, rect.top, rect.bottom);
    HH_POPUP popup{};
    popup.cbStruct = sizeof(popup);
    popup.hinst = nullptr;
    popup.idString = 0;
    popup.pszText = text.c_str();
    popup.pt = POINT{anchor.x, anchor.y};
    popup.clrForeground = static_cast<COLORREF>(-1);
    popup.clrBackground = GetSysColor(COLOR_INFOBK);
    popup.rcMargins = RECT{10, 8, 10, 8};
    popup.pszFont = nullptr;
    htmlHelp(nullptr, nullptr, HH_DISPLAY_TEXT_POPUP, reinterpret_cast<DWORD_PTR>(&popup));
}
