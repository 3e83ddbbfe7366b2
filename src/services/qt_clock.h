#pragma once

#include "platform/clock.h"

namespace dovrante {

// The system clock and the user's locale.
class QtClock final : public Clock {
public:
    DateTime now() override;
    std::string regionalDateTime(const DateTime &moment) override;
};

} // namespace dovrante
