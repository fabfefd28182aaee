// Which font the view gets for its client size.
#pragma once

#include <cstdint>

namespace fontfit {

// The 12-pixel font is made for the view at the page's standard size (297 x 172 client
// pixels); a client within 2 pixels of that keeps it.
bool KeepsStandardFont(int32_t clientWidth, int32_t clientHeight);

// Otherwise the font's average character width: one row is 41 character cells wide
// (9 address, 24 hex, 8 text), more when the address takes more than 8 digits.
int32_t AverageCharWidthFor(int32_t clientWidth, int32_t addressDigits = 8);

} // namespace fontfit
