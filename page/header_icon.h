// The icon in the page's header: the item's own associated icon for one item (its type's at a
// path of 260 characters or more), the module's icon 151 for several.
#pragma once

#include <windows.h>

#include "page/page_host.h"

// The icon to show and whether the caller owns it (the resource icon is shared, never
// destroyed). Null when none could be had.
HICON LoadHeaderIcon(const PageHost& host, bool* owned);
