#pragma once

#include <string>

namespace dovrante {

// What the last capture took: text, a picture, nothing at all, or a clip in another clipboard
// format that the program cannot show, which then stands for itself by the format's number.
enum class ClipKind : int {
    // Before the first capture.
    None = -1,
    Text = 1,
    Picture = 2,
    Nothing = 99,
};

inline ClipKind clipKindOfFormat(int format)
{
    return static_cast<ClipKind>(format);
}

// The kind as the program has always written it: "1", "2", "99" or the format's number; empty
// before the first capture.
inline std::string clipKindText(ClipKind kind)
{
    return kind == ClipKind::None ? std::string() : std::to_string(static_cast<int>(kind));
}

} // namespace dovrante
