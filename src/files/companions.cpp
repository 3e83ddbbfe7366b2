#include "app/form1.h"
#include "files/outside_program.h"

namespace dovrante {

// Paths go to the programs as they are, blanks included; the launcher keeps them one argument.

void Form1::cmdBmpData_Click()
{
    startOutsideProgram(m_services.launcher, m_services.messageBox,
                        m_services.config.toolsFolder + "/Mervoxen", bmpDataFolder,
                        WindowStyle::MinimizedFocus);
}

void Form1::cmdIdeas_Click()
{
    startOutsideProgram(m_services.launcher, m_services.messageBox,
                        m_services.config.toolsFolder + "/Mervoxen", programFile(" Ideas.txt"),
                        WindowStyle::MinimizedFocus);
}

void Form1::cmdFolders_Click()
{
    // A bare name: the launcher looks beside the program first, then on the PATH.
    startOutsideProgram(m_services.launcher, m_services.messageBox, "Notepad3",
                        programFile(" Folders.txt"), WindowStyle::MaximizedFocus);
}

void Form1::cmdTxtData_Click()
{
    startOutsideProgram(m_services.launcher, m_services.messageBox, "Notepad3",
                        programFile(" Data.txt"), WindowStyle::MaximizedFocus);
}

} // namespace dovrante
