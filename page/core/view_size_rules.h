// The page's three view sizes without a window: which controls each one hides (shown again
// in the same lists), and how tall the view gets when it fills the page.
#pragma once

#include <cstdint>

#include "resources/resource_ids.h"

namespace viewsize {

// Hidden when the view fills the page, before the rest.
constexpr int kHiddenInFull[] = {IDC_BANNER, IDC_MODULES_LINK, IDC_BANNER_LINE};
// Hidden in both enlarged layouts: the header rows and the chooser and help rows.
constexpr int kHiddenInLarge[] = {IDC_HEADER_ICON, IDC_NAME_LABEL,    IDC_LOCATION_LABEL,
                                  IDC_NAME_TEXT,   IDC_LOCATION_TEXT, IDC_HEADER_LINE,
                                  IDC_VIEW_LINE,   IDC_FILE_CHOOSER,  IDC_FILE_LABEL,
                                  IDC_HELP_LABEL,  IDC_HELP_LINK};

// Height of the view when it fills the page, from screen coordinates: the page's top and
// bottom edges and the top of the "Name:" label. That is the page's height less twice the
// label's distance from the page's top.
inline int32_t FullHeight(int32_t pageTop, int32_t pageBottom, int32_t nameLabelTop) {
    return pageTop + pageBottom - 2 * nameLabelTop;
}

} // namespace viewsize
