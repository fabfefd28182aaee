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

// Posted to the page by a lookup that outlasted the wait, once it has ended: the icon is to be
// taken from the lookup (TakeFoundIcon).
constexpr UINT WM_HEADERICON = WM_APP + 2;

// A lookup still going on when the page was shown; the page holds it until it goes.
struct IconLookup;

struct HeaderIcon {
    HICON icon = nullptr;          // null when none could be had, or while pending
    bool owned = false;            // the resource icon is shared, never destroyed
    IconLookup* pending = nullptr; // still looking: WM_HEADERICON tells when it has ended
};

HeaderIcon LoadHeaderIcon(HWND page, const PageHost& host);

// Whether a pending lookup has ended; then `icon` is what it found (null for none), now the
// caller's.
bool TakeFoundIcon(IconLookup* lookup, HICON* icon);

// The page's hold on a pending lookup; an icon nobody took goes with the lookup.
void ReleaseIconLookup(IconLookup* lookup);
