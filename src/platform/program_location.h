#pragma once

#include <string>

namespace dovrante {

// Where the running executable lives; the program's own files are named after it.
class ProgramLocation {
public:
    virtual ~ProgramLocation() = default;
    ProgramLocation() = default;
    ProgramLocation(const ProgramLocation &) = delete;
    ProgramLocation &operator=(const ProgramLocation &) = delete;

    // Folder of the running executable, links resolved, without a trailing separator.
    virtual std::string programFolder() const = 0;
    // The executable's file name without folder and without its last extension.
    virtual std::string baseName() const = 0;
    // The executable's file name without folder.
    virtual std::string executableName() const = 0;
};

} // namespace dovrante
