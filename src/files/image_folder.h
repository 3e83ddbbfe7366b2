#pragma once

#include "platform/file_system.h"
#include "platform/program_location.h"
#include "platform/settings_store.h"

#include <string>

namespace dovrante {

// The folder the picture dialogs start in, kept between runs: ending in "/", absent until the
// first picture is opened or saved under a chosen name.
namespace ImageFolder {
constexpr const char *Application = "Dovrante";
constexpr const char *Section = "Setting";
constexpr const char *Key = "ImageFolder";

// The stored folder, or the program's folder with one "/" at its end when none is stored.
std::string read(ProgramLocation &program, SettingsStore &settings);
// The dialog's first name: the folder and "*.*" when it is a plain folder (attributes exactly 16),
// otherwise the fallback folder and "*.*".
std::string initialName(FileSystem &files, const std::string &folder,
                        const std::string &fallbackFolder);
// Stores the chosen file's folder: its path without the last `fileName.size()` characters.
void remember(SettingsStore &settings, const std::string &path, const std::string &fileName);
} // namespace ImageFolder

} // namespace dovrante
