#include "services/cups_printers.h"

#include "services/cups_scheduler.h"

namespace dovrante {

std::vector<std::string> CupsInstalledPrinters::deviceNames() const
{
    return m_scheduler.answer().names;
}

std::string CupsProfile::profileString(const std::string &section, const std::string &key,
                                       const std::string &defaultValue) const
{
    if (section != "windows" || key != "device")
        return defaultValue;
    const CupsAnswer &answer = m_scheduler.answer();
    if (answer.defaultName.empty())
        return defaultValue;
    // The Windows entry reads "device name,driver,port".
    return answer.defaultName + "," + answer.defaultDriver + "," + answer.defaultUri;
}

} // namespace dovrante
