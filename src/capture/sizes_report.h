#pragma once

#include "app/controls.h"

#include <string>

namespace dovrante {

// A single-precision value as the general number form writes it: no thousands separator, no
// trailing zeros, at most 7 significant digits, the user's decimal separator.
std::string generalNumber(float value);

// The picture controls' places as a tab-separated table with a header line, every line ended by
// CR LF.
std::string picturesSizesReport(const Control &picture1, const Control &picture2,
                                const Control &image1);

} // namespace dovrante
