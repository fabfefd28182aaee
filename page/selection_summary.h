// What the page shows about the selection: the header texts, the file list behind the chooser
// and the message for items whose attributes can't be read.
#pragma once

#include <windows.h>

#include <string>

#include "page/core/selection_text.h"
#include "page/page_host.h"

// Path of selection item `index` (empty when the drop has no such item).
std::wstring SelectionPath(const PageHost& host, UINT index);

// Reads the selection in one walk down its drop list. Fills host.fileIndexes (room for
// dropCount + 1 entries, already allocated; nothing is listed when it is null) and the chooser:
// one entry per readable file, in selection order. With `summarize` (several items) also gives
// the count text ("3 Files, 1 Folder") and the location text ("All in C:\Data\" or "Various
// Folders"), reporting unreadable items and counting them as files.
selection::SelectionTexts ReadSelection(PageHost& host, HWND chooser, bool summarize);

// Name and location texts of a single item.
void BuildSingleItemHeader(const PageHost& host, std::wstring& nameText,
                           std::wstring& locationText);

// Tells the user about an item whose attributes can't be read; at most four times per process.
void ReportAccessError(const std::wstring& path);
