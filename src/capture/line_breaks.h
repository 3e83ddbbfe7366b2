#pragma once

#include <string>

namespace dovrante {

// The text with every line break (LF, CR or CR LF) written as CR LF, the way the text view
// reports its plain text.
std::string withCrLfBreaks(const std::string &text);

} // namespace dovrante
