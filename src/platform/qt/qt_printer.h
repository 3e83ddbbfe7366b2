#pragma once

#include "platform/printer.h"

#include <memory>

class QPrinter;

namespace dovrante {

// The CUPS default destination, held for the whole run.
class QtPrinter final : public Printer {
public:
    QtPrinter();
    ~QtPrinter() override;

    std::string deviceName() const override;
    int colourMode() const override;
    void setColourMode(int mode) override;
    void setOrientation(int orientation) override;
    float scaleWidth() const override;
    float scaleHeight() const override;
    int scaleMode() const override;
    float scaleX(double value, int fromMode, int toMode) const override;
    float scaleY(double value, int fromMode, int toMode) const override;
    void paintPicture(const Picture &picture, double left, double top, double width,
                      double height) override;
    void setFont(const FontSpec &font) override;
    void printText(const std::string &text) override;
    MaybeFailure endDoc() override;

private:
    int m_colourMode = PrinterValue::Colour;
    int m_orientation = PrinterValue::Portrait;
};

} // namespace dovrante
