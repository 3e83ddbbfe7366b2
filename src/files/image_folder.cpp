#include "files/image_folder.h"

namespace dovrante {

std::string ImageFolder::read(const Form1Services &services)
{
    std::string programFolder = services.program.programFolder();
    if (programFolder.empty() || programFolder.back() != '/')
        programFolder += '/';
    return services.settings.setting(Application, Section, Key, programFolder);
}

std::string ImageFolder::initialName(const Form1Services &services, const std::string &folder)
{
    // A folder that is also read-only, hidden or gone is not offered; the value is stored untested.
    const std::optional<int> bits = services.files.attributes(folder);
    if (bits && *bits == FileAttribute::Directory)
        return folder + "*.*";
    return services.config.fallbackFolder + "/*.*";
}

void ImageFolder::remember(const Form1Services &services, const std::string &path,
                           const std::string &fileName)
{
    const std::size_t keep = path.size() >= fileName.size() ? path.size() - fileName.size() : 0;
    services.settings.saveSetting(Application, Section, Key, path.substr(0, keep));
}

} // namespace dovrante
