#pragma once

#include <string>

namespace dovrante {

// One entry of the text data file: the date-and-time line, a short separator, the text and a
// rule of 79 hyphens, every line ended by CR LF.
std::string textDataEntry(const std::string &dateTimeLine, const std::string &text);

} // namespace dovrante
