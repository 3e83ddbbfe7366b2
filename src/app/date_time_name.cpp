#include "app/date_time_name.h"

#include <cstdio>

namespace dovrante {

std::string formatDateTimeName(const DateTime &m)
{
    char name[32];
    std::snprintf(name, sizeof name, "%04d%02d%02d %02d%02d%02d", m.year, m.month, m.day, m.hour,
                  m.minute, m.second);
    return name;
}

std::string formatYear(const DateTime &moment)
{
    char year[16];
    std::snprintf(year, sizeof year, "%04d", moment.year);
    return year;
}

} // namespace dovrante
