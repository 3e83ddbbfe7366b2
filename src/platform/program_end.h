#pragma once

namespace dovrante {

// Ends the program from inside a handler.
class ProgramEnd {
public:
    virtual ~ProgramEnd() = default;
    ProgramEnd() = default;
    ProgramEnd(const ProgramEnd &) = delete;
    ProgramEnd &operator=(const ProgramEnd &) = delete;

    // Ends the program at once: every window closes and nothing is asked. The caller returns
    // straight after, so that no further step runs when the real program has not ended (tests).
    virtual void endProgram() = 0;
};

} // namespace dovrante
