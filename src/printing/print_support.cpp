#include "printing/print_support.h"

#include <cmath>
#include <limits>

namespace dovrante {

namespace {

// The profile read fills a buffer of this size, NUL included.
constexpr std::size_t ProfileBufferSize = 254;

// Checks a quotient as the floating-point unit would before the result is used.
Result<double> divide(double dividend, double divisor)
{
    if (divisor == 0.0)
        return Failure{"division by zero"};
    const double quotient = dividend / divisor;
    if (std::isnan(quotient))
        return Failure{"invalid floating-point operation"};
    if (std::isinf(quotient))
        return Failure{"overflow"};
    return quotient;
}

// Rounds a length to the 4-byte float that the printer's conversions take.
Result<double> toSingle(double value)
{
    if (std::isnan(value))
        return Failure{"invalid floating-point operation"};
    if (std::fabs(value) > static_cast<double>(std::numeric_limits<float>::max()))
        return Failure{"overflow"};
    return static_cast<double>(static_cast<float>(value));
}

} // namespace

Orientation orientationForPicture(int widthHiMetric, int heightHiMetric)
{
    return heightHiMetric >= widthHiMetric ? Orientation::Portrait : Orientation::Landscape;
}

Result<PictureFit> fitPicture(int pictureWidth, int pictureHeight, double printableWidth,
                              double printableHeight)
{
    const Result<double> pictureRatio = divide(pictureWidth, pictureHeight);
    if (!pictureRatio.ok())
        return Failure{pictureRatio.error()};
    const Result<double> printableRatio = divide(printableWidth, printableHeight);
    if (!printableRatio.ok())
        return Failure{printableRatio.error()};

    if (pictureRatio.value() >= printableRatio.value()) {
        const Result<double> quotient = divide(printableWidth, pictureRatio.value());
        if (!quotient.ok())
            return Failure{quotient.error()};
        const Result<double> height = toSingle(quotient.value());
        if (!height.ok())
            return Failure{height.error()};
        return PictureFit{true, printableWidth, height.value()};
    }
    const Result<double> width = toSingle(printableHeight * pictureRatio.value());
    if (!width.ok())
        return Failure{width.error()};
    return PictureFit{false, width.value(), printableHeight};
}

MaybeFailure PrintPictureFitted(Printer &printer, const Picture &picture)
{
    const int height = picture.heightHiMetric();
    const int width = picture.widthHiMetric();
    printer.setOrientation(orientationForPicture(width, height));

    // Measured after the turn, so that the sizes describe the page as it now lies.
    const double printableWidth =
        printer.scaleX(printer.scaleWidth(), printer.scaleMode(), ScaleMode::HiMetric);
    const double printableHeight =
        printer.scaleY(printer.scaleHeight(), printer.scaleMode(), ScaleMode::HiMetric);
    const Result<PictureFit> fit = fitPicture(width, height, printableWidth, printableHeight);
    if (!fit.ok())
        return Failure{"the picture cannot be fitted to the page (" + fit.error() + ")"};

    const double outputWidth =
        printer.scaleX(fit.value().width, ScaleMode::HiMetric, printer.scaleMode());
    const double outputHeight =
        printer.scaleY(fit.value().height, ScaleMode::HiMetric, printer.scaleMode());
    printer.paintPicture(picture, 0, 0, outputWidth, outputHeight);
    return std::nullopt;
}

std::optional<std::string> FindDefaultPrinter(const LegacyProfile &profile,
                                              const InstalledPrinters &installed)
{
    std::string value = profile.profileString("windows", "device", ",,,");
    // What the profile read can hold, and only up to its first NUL.
    if (value.size() > ProfileBufferSize - 1)
        value.resize(ProfileBufferSize - 1);
    if (const auto nul = value.find('\0'); nul != std::string::npos)
        value.resize(nul);
    // An empty value has no fields at all, not one empty field.
    if (value.empty())
        return std::nullopt;

    const std::string deviceName = value.substr(0, value.find(','));
    for (const std::string &name : installed.deviceNames()) {
        if (name == deviceName)
            return name;
    }
    return std::nullopt;
}

} // namespace dovrante
