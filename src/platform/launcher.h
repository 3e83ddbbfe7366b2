#pragma once

#include "platform/types.h"

#include <string>

namespace dovrante {

// Window styles a started program is asked to show its window in.
namespace WindowStyle {
constexpr int MinimizedFocus = 2;
constexpr int MaximizedFocus = 3;
} // namespace WindowStyle

// Starts other programs without waiting for them.
class Launcher {
public:
    virtual ~Launcher() = default;
    Launcher() = default;
    Launcher(const Launcher &) = delete;
    Launcher &operator=(const Launcher &) = delete;

    // Starts `program` with `argument` as its one argument (none when empty), never through a
    // shell. A bare program name is searched in the program's folder first, then on the PATH. A
    // failure describes only the reason: the caller knows the command line.
    virtual MaybeFailure start(const std::string &program, const std::string &argument,
                               int windowStyle) = 0;
};

} // namespace dovrante
