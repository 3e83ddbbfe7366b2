#include "files/outside_program.h"

namespace dovrante {

void startOutsideProgram(Launcher &launcher, MessageBox &messageBox, const std::string &program,
                         const std::string &argument, int windowStyle)
{
    if (const MaybeFailure failed = launcher.start(program, argument, windowStyle)) {
        const std::string commandLine = argument.empty() ? program : program + " " + argument;
        messageBox.show("Cannot start " + commandLine + ": " + failed->description);
    }
}

} // namespace dovrante
