#pragma once

#include "platform/clock.h"

#include <string>

namespace dovrante {

// The moment as "yyyymmdd hhnnss": 5 December 2026 at 03:50:44 is "20261205 035044".
std::string formatDateTimeName(const DateTime &moment);

// The four-digit year of the moment, as "yyyy" formats it.
std::string formatYear(const DateTime &moment);

} // namespace dovrante
