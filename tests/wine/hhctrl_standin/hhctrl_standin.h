// A stand-in for the HTML Help library (hhctrl.ocx), placed beside the Wine tests: it shows
// nothing and records each text popup asked of it, so a test can read what the page sent.
#pragma once

#include <windows.h>

struct RecordedPopup {
    int calls;    // HtmlHelpW calls so far
    UINT command; // of the last call
    HWND caller;  // its window argument
    bool hadFile; // a file name was passed
    int cbStruct; // the HH_POPUP fields of the last text popup
    HINSTANCE hinst;
    UINT idString;
    wchar_t text[1024];
    POINT pt;
    COLORREF clrForeground;
    COLORREF clrBackground;
    RECT rcMargins;
    bool hadFont;
};

// Exported as "StandInRecord": the record, and "StandInClear" to start again.
using StandInRecordFunction = const RecordedPopup*(WINAPI*)();
using StandInClearFunction = void(WINAPI*)();
