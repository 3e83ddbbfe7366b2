#pragma once

#include "platform/clock.h"

#include <cstdio>
#include <string>

namespace dovrante {

// The name a picture gets from a moment: "yyyymmdd hhnnss" followed by ".jpg", as in
// 20261205 035044.jpg.
inline std::string dateTimeName(const DateTime &moment)
{
    char name[48];
    std::snprintf(name, sizeof name, "%04d%02d%02d %02d%02d%02d.jpg", moment.year, moment.month,
                  moment.day, moment.hour, moment.minute, moment.second);
    return name;
}

} // namespace dovrante
