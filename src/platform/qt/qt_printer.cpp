#include "platform/qt/qt_printer.h"

namespace dovrante {

QtPrinter::QtPrinter() = default;
QtPrinter::~QtPrinter() = default;

std::string QtPrinter::deviceName() const
{
    return {};
}

int QtPrinter::colourMode() const
{
    return m_colourMode;
}

void QtPrinter::setColourMode(int mode)
{
    m_colourMode = mode;
}

void QtPrinter::setOrientation(int orientation)
{
    m_orientation = orientation;
}

float QtPrinter::scaleWidth() const
{
    return 0;
}

float QtPrinter::scaleHeight() const
{
    return 0;
}

int QtPrinter::scaleMode() const
{
    return ScaleMode::Twips;
}

float QtPrinter::scaleX(double value, int, int) const
{
    return static_cast<float>(value);
}

float QtPrinter::scaleY(double value, int, int) const
{
    return static_cast<float>(value);
}

void QtPrinter::paintPicture(const Picture &, double, double, double, double) {}

void QtPrinter::setFont(const FontSpec &) {}

void QtPrinter::printText(const std::string &) {}

MaybeFailure QtPrinter::endDoc()
{
    return Failure{"Printing is not available"};
}

} // namespace dovrante
