// What the page reads and writes in the object that hosts it: the selection, the file list,
// the tooltip window and the editor. The shell extension object is one; the page finds it from
// its page parameter through a locator that the host registers, so this layer never needs to
// know the host's type.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <cstdint>

#include "hexedit/core/limits.h"
#include "hexedit/hex_edit.h"

struct PageHost {
    wchar_t firstPath[kPathCapacity] = {}; // item 0 of the selection
    HDROP hDrop = nullptr;                 // the selection, read with DragQueryFileW
    UINT dropCount = 0;
    HWND tooltipWnd = nullptr;
    CHexEdit editor;
    uint32_t* fileIndexes = nullptr; // selection index of each chooser entry
    int32_t fileIndexCount = 0;
    int32_t currentFile = 0; // chooser entry shown now
};

// Maps the page parameter (PROPSHEETPAGEW::lParam) to its host.
using PageHostLocator = PageHost* (*)(LPARAM pageParameter);
void RegisterPageHostLocator(PageHostLocator locator);
PageHost* PageHostFromParameter(LPARAM pageParameter);
