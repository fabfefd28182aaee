// The page's three view sizes without a window: which controls each one hides, in which order
// they come back, and how tall the view gets when it fills the page.
#pragma once

#include <cstdint>

namespace viewsize {

// Control ids of the page, as the dialog template numbers them.
constexpr int kHeaderIcon = 1118;
constexpr int kNameLabel = 1119;
constexpr int kLocationLabel = 1120;
constexpr int kNameText = 1121;
constexpr int kLocationText = 1122;
constexpr int kHeaderLine = 1040;
constexpr int kViewLine = 1041;
constexpr int kFileChooser = 1117;
constexpr int kFileLabel = 1123;
constexpr int kHelpLabel = 1124;
constexpr int kHelpLink = 1054;
constexpr int kBanner = 1049;
constexpr int kModulesLink = 1053;
constexpr int kBannerLine = 1051;

// Shown again, in this order, when the page goes back to its normal layout.
constexpr int kShownInNormal[] = {
    kHeaderIcon,  kNameLabel, kLocationLabel, kNameText, kLocationText, kHeaderLine,  kViewLine,
    kFileChooser, kFileLabel, kHelpLabel,     kHelpLink, kBanner,       kModulesLink, kBannerLine};
// Hidden when the view fills the page, before the rest.
constexpr int kHiddenInFull[] = {kBanner, kModulesLink, kBannerLine};
// Hidden in both enlarged layouts: the header rows and the chooser and help rows.
constexpr int kHiddenInLarge[] = {kHeaderIcon,   kNameLabel,  kLocationLabel, kNameText,
                                  kLocationText, kHeaderLine, kViewLine,      kFileChooser,
                                  kFileLabel,    kHelpLabel,  kHelpLink};

// Height of the view when it fills the page, from screen coordinates: the page's top and
// bottom edges and the top of the "Name:" label. That is the page's height less twice the
// label's distance from the page's top.
inline int32_t FullHeight(int32_t pageTop, int32_t pageBottom, int32_t nameLabelTop) {
    return pageTop + pageBottom - 2 * nameLabelTop;
}

} // namespace viewsize
