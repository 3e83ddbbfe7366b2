#pragma once

#include "app/configuration.h"
#include "platform/clipboard.h"
#include "platform/clock.h"
#include "platform/file_dialog.h"
#include "platform/file_system.h"
#include "platform/font_dialog.h"
#include "platform/launcher.h"
#include "platform/message_box.h"
#include "platform/mouse_pointer.h"
#include "platform/picture.h"
#include "platform/printer.h"
#include "platform/program_end.h"
#include "platform/program_location.h"
#include "platform/screen.h"
#include "platform/settings_store.h"
#include "platform/status_window_host.h"

namespace dovrante {

// The desktop services the main window reaches, built once in main() (or as fakes in tests).
struct Form1Services {
    Screen &screen;
    ProgramLocation &program;
    Clipboard &clipboard;
    PictureFiles &pictures;
    Printer &printer;
    InstalledPrinters &installedPrinters;
    LegacyProfile &profile;
    SettingsStore &settings;
    FileDialog &fileDialog;
    FontDialog &fontDialog;
    MessageBox &messageBox;
    FileSystem &files;
    Launcher &launcher;
    Clock &clock;
    MousePointer &pointer;
    ProgramEnd &programEnd;
    StatusWindowHost &statusWindow;
    Configuration config;
};

} // namespace dovrante
