#pragma once

#include <string>

namespace dovrante {

// What the last capture took, as the program has always stored it: "1" text, "2" a picture, the
// number of another clipboard format as text, or "99" for an empty clipboard.
namespace ClipKind {
inline const std::string Text = "1";
inline const std::string Picture = "2";
inline const std::string Nothing = "99";

inline std::string ofFormat(int format)
{
    return std::to_string(format);
}
} // namespace ClipKind

} // namespace dovrante
