#include "files/outside_program.h"

namespace dovrante {

void startOutsideProgram(const Form1Services &services, const std::string &program,
                         const std::string &argument, int windowStyle)
{
    if (const MaybeFailure failed = services.launcher.start(program, argument, windowStyle)) {
        const std::string commandLine = argument.empty() ? program : program + " " + argument;
        services.messageBox.show("Cannot start " + commandLine + ": " + failed->description);
    }
}

} // namespace dovrante
