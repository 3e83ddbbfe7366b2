#pragma once

#include "platform/program_location.h"

namespace dovrante {

// The running executable, found through the application object.
class QtProgramLocation final : public ProgramLocation {
public:
    std::string programFolder() const override;
    std::string baseName() const override;
    std::string executableName() const override;
};

} // namespace dovrante
