#pragma once

#include "platform/launcher.h"
#include "platform/message_box.h"

#include <string>

namespace dovrante {

// Starts an outside program without waiting for it; when it cannot be started, tells the user
// the command line (program, one blank, argument) and the reason.
void startOutsideProgram(Launcher &launcher, MessageBox &messageBox, const std::string &program,
                         const std::string &argument, int windowStyle);

} // namespace dovrante
