#pragma once

#include <string>

namespace dovrante {

// Folders fixed when the program is built.
struct Configuration {
    // The companion tools: the link program and a copy of this program.
    std::string toolsFolder;
    // Where the text Save As dialog starts.
    std::string textClipsFolder;
    // Where the picture dialogs start.
    std::string pictureStartFolder;
    // The top of the system drive: the picture dialogs' fallback when the stored folder fails.
    std::string fallbackFolder;
};

} // namespace dovrante
