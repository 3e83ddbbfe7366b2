#pragma once

#include <thread>

namespace dovrante {

// Reads the desktop's font configuration on a thread of its own. The window's first captions
// need it, and reading it takes about as long as setting up the rest of the application, so it
// is read beside that. Wait for it (the thread joins when it is dropped) before the first widget
// with text is made, so that Qt does not read it a second time meanwhile.
std::jthread warmUpFontConfiguration();

} // namespace dovrante
