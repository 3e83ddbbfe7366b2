#pragma once

#include "platform/program_location.h"

#include <string>
#include <vector>

namespace dovrante {

// What the arguments ask for: --help (or -h) or --version, the first one found deciding. Any
// other argument is ignored: every start is the same.
enum class CommandLine { Start, Help, Version };
CommandLine readCommandLine(const std::vector<std::string> &arguments);

// The short usage --help prints: what the program does, its keys, where its files are.
std::string usageText(const ProgramLocation &program);

} // namespace dovrante
