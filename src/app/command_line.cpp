#include "app/command_line.h"

#include "app/form1.h"

namespace dovrante {

CommandLine readCommandLine(const std::vector<std::string> &arguments)
{
    for (const std::string &argument : arguments) {
        if (argument == "--help" || argument == "-h")
            return CommandLine::Help;
        if (argument == "--version")
            return CommandLine::Version;
    }
    return CommandLine::Start;
}

std::string usageText(const ProgramLocation &program)
{
    return "Usage: " + program.executableName() +
           " [--help | --version]\n"
           "\n"
           "Shows, files and prints whatever lies on the clipboard: copy a screenshot or some "
           "text,\nthen start it. It fills the screen with the clip; other arguments are "
           "ignored.\n"
           "\n"
           "Keys: Escape ends the program at once, F5 takes the clipboard again, F2 names "
           "the clip,\nCtrl+O opens a picture file, Enter or Space presses the focused "
           "button.\n"
           "\n"
           "Its files lie beside it:\n  " +
           programFileOf(program, " Data.txt") + "   every text taken, dated\n  " +
           programFileOf(program, " Ideas.txt") + "   your ideas (Ideas)\n  " +
           programFileOf(program, " Folders.txt") + "   your folder names (F)\n  " +
           pictureFolderOf(program) +
           "/   pictures saved with S\n"
           "and the folder of the last picture opened or saved in "
           "~/.config/Dovrante/Dovrante.conf.\n";
}

} // namespace dovrante
