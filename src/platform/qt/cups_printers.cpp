#include "platform/qt/cups_printers.h"

#include "platform/qt/qt_strings.h"

#include <QPrinterInfo>

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
    const QPrinterInfo printer = QPrinterInfo::defaultPrinter();
    if (printer.isNull())
        return defaultValue;
    return fromQt(printer.printerName() + QLatin1Char(',') + printer.makeAndModel() +
                  QLatin1Char(','));
}

} // namespace dovrante
