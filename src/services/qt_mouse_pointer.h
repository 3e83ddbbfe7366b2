#pragma once

#include "platform/mouse_pointer.h"

namespace dovrante {

// The pointer shape over all of the program's windows.
class QtMousePointer final : public MousePointer {
public:
    void setPointer(int shape) override;

private:
    bool m_busy = false;
};

} // namespace dovrante
