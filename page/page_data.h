// The page's own record, kept in the dialog's DWLP_USER slot from WM_INITDIALOG to WM_DESTROY.
#pragma once

#include <windows.h>

#include <prsht.h>

struct PageData {
    PROPSHEETPAGEW* sheetPage; // its lParam names the host
    HWND tooltip;              // owned
    HBITMAP bannerBitmap;      // owned, made on first draw
    int bannerWidth;
    int bannerHeight;
    HFONT linkFont;                // owned, made on first draw
    HICON fileIcon;                // owned; null when the shown icon is the shared resource icon
    struct IconLookup* iconLookup; // held while the header icon is still being looked for
};

// Allocation of the page's blocks (PageData, the file list), zeroed; replaceable so that tests
// can make it fail.
using PageAllocator = void* (*)(size_t count, size_t size);
void SetPageAllocator(PageAllocator allocator); // null restores calloc
void* AllocatePageBlock(size_t count, size_t size);
