#pragma once

#include "platform/status_window_host.h"

namespace dovrante {

// The print status window as a small Qt window.
class QtStatusWindowHost final : public StatusWindowHost {
public:
    void showAndPaint(const StatusWindowLook &look) override;
};

} // namespace dovrante
