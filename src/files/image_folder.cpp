#include "files/image_folder.h"

namespace dovrante {

std::string ImageFolder::read(ProgramLocation &program, SettingsStore &settings)
{
    std::string programFolder = program.programFolder();
    if (programFolder.empty() || programFolder.back() != '/')
        programFolder += '/';
    return settings.setting(Application, Section, Key, programFolder);
}

std::string ImageFolder::initialName(FileSystem &files, const std::string &folder,
                                     const std::string &fallbackFolder)
{
    // A folder that is also read-only, hidden or gone is not offered; the value is stored untested.
    const std::optional<int> bits = files.attributes(folder);
    if (bits && *bits == FileAttribute::Directory)
        return folder + "*.*";
    return fallbackFolder + "/*.*";
}

void ImageFolder::remember(SettingsStore &settings, const std::string &path,
                           const std::string &fileName)
{
    const std::size_t keep = path.size() >= fileName.size() ? path.size() - fileName.size() : 0;
    settings.saveSetting(Application, Section, Key, path.substr(0, keep));
}

} // namespace dovrante
