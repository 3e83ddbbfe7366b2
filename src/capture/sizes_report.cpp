#include "capture/sizes_report.h"

#include <cstdio>

namespace dovrante {

std::string generalNumber(float value)
{
    // %g follows the C locale, which the desktop application sets to the user's.
    char text[48];
    std::snprintf(text, sizeof text, "%.7g", static_cast<double>(value));
    return text;
}

std::string picturesSizesReport(const Control &picture1, const Control &picture2,
                                const Control &image1)
{
    std::string report = " \tTop\tLeft\tHeight\tWidth\r\n";
    const auto line = [&report](const char *name, const Control &c) {
        report += std::string(name) + "\t" + generalNumber(c.top) + "\t" + generalNumber(c.left) +
                  "\t" + generalNumber(c.height) + "\t" + generalNumber(c.width) + "\r\n";
    };
    line("Picture1:", picture1);
    line("Picture2:", picture2);
    line("Image1:", image1);
    return report;
}

} // namespace dovrante
