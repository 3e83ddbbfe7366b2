#include "platform/qt/cups_printers.h"

#include "platform/qt/qt_strings.h"

#include <QPrinterInfo>

#include <cups/cups.h>

namespace dovrante {

std::vector<std::string> CupsInstalledPrinters::deviceNames() const
{
    std::vector<std::string> names;
    for (const QString &name : QPrinterInfo::availablePrinterNames())
        names.push_back(fromQt(name));
    return names;
}

std::string CupsProfile::profileString(const std::string &section, const std::string &key,
                                       const std::string &defaultValue) const
{
    if (section != "windows" || key != "device")
        return defaultValue;
    cups_dest_t *destinations = nullptr;
    const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &destinations);
    const cups_dest_t *found = cupsGetDest(nullptr, nullptr, count, destinations);
    std::string value = defaultValue;
    if (found) {
        // The Windows entry reads "device name,driver,port".
        const auto option = [found](const char *name) {
            const char *text = cupsGetOption(name, found->num_options, found->options);
            return std::string(text ? text : "");
        };
        value = std::string(found->name) + "," + option("printer-make-and-model") + "," +
                option("device-uri");
    }
    cupsFreeDests(count, destinations);
    return value;
}

} // namespace dovrante
