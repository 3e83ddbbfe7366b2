#pragma once

#include "platform/program_end.h"

namespace dovrante {

// Ends the process on the spot: no event loop, no further handler.
class ProcessEnd final : public ProgramEnd {
public:
    void endProgram() override;
};

} // namespace dovrante
