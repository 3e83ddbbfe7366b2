#pragma once

#include "platform/launcher.h"
#include "platform/program_location.h"

namespace dovrante {

// Starts programs as detached processes, the program and its argument kept apart.
class ProcessLauncher final : public Launcher {
public:
    explicit ProcessLauncher(const ProgramLocation &location) : m_location(location) {}
    MaybeFailure start(const std::string &program, const std::string &argument,
                       int windowStyle) override;

private:
    const ProgramLocation &m_location;
};

} // namespace dovrante
