#include "hhctrl_standin.h"

#include <htmlhelp.h>

#include <cwchar>

namespace {
RecordedPopup g_record{};
}

extern "C" HWND WINAPI HtmlHelpW(HWND caller, LPCWSTR file, UINT command, DWORD_PTR data) {
    ++g_record.calls;
    g_record.command = command;
    g_record.caller = caller;
    g_record.hadFile = file != nullptr;
    if (command == HH_DISPLAY_TEXT_POPUP && data) {
        const auto* popup = reinterpret_cast<const HH_POPUP*>(data);
        g_record.cbStruct = popup->cbStruct;
        g_record.hinst = popup->hinst;
        g_record.idString = popup->idString;
        g_record.text[0] = L'\0';
        if (popup->pszText)
            wcsncpy(g_record.text, popup->pszText, 1023);
        g_record.pt = popup->pt;
        g_record.clrForeground = popup->clrForeground;
        g_record.clrBackground = popup->clrBackground;
        g_record.rcMargins = popup->rcMargins;
        g_record.hadFont = popup->pszFont != nullptr;
    }
    return nullptr;
}

extern "C" const RecordedPopup* WINAPI StandInRecord() {
    return &g_record;
}

extern "C" void WINAPI StandInClear() {
    g_record = RecordedPopup{};
}
