// The icon in the page's header: the item's own associated icon for one item (its type's at a
// path of 260 characters or more), the module's icon 151 for several.
//
// Finding an item's icon reads the file (the system looks for icons inside it first), which
// takes as long as the medium likes and, on a stalled share, for ever. So the lookup runs on a
// thread of its own. One that ends within a moment is waited for, and the page shows as it
// always has; a slower one posts its icon to the page when it comes.
#pragma once

#include <windows.h>

#include "page/page_host.h"

// Posted to the page by a lookup that outlasted the wait. wParam: the icon found, which the
// page then owns, or null when there is none to be had.
constexpr UINT WM_HEADERICON = WM_APP + 2;

struct HeaderIcon {
    HICON icon = nullptr; // null when none could be had, or while `pending`
    bool owned = false;   // the resource icon is shared, never destroyed
    bool pending = false; // still looking: WM_HEADERICON will bring it
};

HeaderIcon LoadHeaderIcon(HWND page, const PageHost& host);

// Destroys the icons that lookups posted to a page that is going away.
void DropPostedHeaderIcons(HWND page);
