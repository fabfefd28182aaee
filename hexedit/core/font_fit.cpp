#include "hexedit/core/font_fit.h"

namespace fontfit {

bool KeepsStandardFont(int32_t w, int32_t h) {
    return w >= 295 && w <= 299 && h >= 170 && h <= 174;
}

int32_t AverageCharWidthFor(int32_t clientWidth, int32_t addressDigits) {
    return clientWidth / (33 + addressDigits);
}

} // namespace fontfit
