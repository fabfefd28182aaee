// What the page shows about the selection: the header texts, the file list behind the chooser
// and the message for items whose attributes can't be read.
#pragma once

#include <windows.h>

#include <string>

#include "page/page_host.h"

// Path of selection item `index` (empty when the drop has no such item).
std::wstring SelectionPath(const PageHost& host, UINT index);

// Count text ("3 Files, 1 Folder") and location text ("All in C:\Data\" or "Various Folders")
// of a selection of several items. Unreadable items are reported and counted as files.
void BuildSelectionSummary(const PageHost& host, std::wstring& countText,
                           std::wstring& locationText);

// Name and location texts of a single item.
void BuildSingleItemHeader(const PageHost& host, std::wstring& nameText,
                           std::wstring& locationText);

// Fills host.fileIndexes (room for dropCount + 1 entries, already allocated) and the chooser:
// one entry per selected file, in selection order.
void BuildFileList(PageHost& host, HWND chooser);

// Tells the user about an item whose attributes can't be read; at most four times per process.
void ReportAccessError(const std::wstring& path);
