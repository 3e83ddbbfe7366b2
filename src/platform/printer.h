#pragma once

#include "platform/picture.h"
#include "platform/types.h"

#include <string>
#include <vector>

namespace dovrante {

// Colour modes and orientations as the printer driver numbers them.
namespace PrinterValue {
constexpr int Monochrome = 1;
constexpr int Colour = 2;
constexpr int Portrait = 1;
constexpr int Landscape = 2;
} // namespace PrinterValue

// Coordinate units of a printer's scale.
namespace ScaleMode {
constexpr int Twips = 1;
constexpr int Points = 2;
constexpr int Pixels = 3;
constexpr int Inches = 5;
constexpr int Millimetres = 6;
constexpr int Centimetres = 7;
constexpr int HiMetric = 8;
} // namespace ScaleMode

// The current printer: one device held for the whole run, so a colour mode set early is the mode
// of the job printed later. Drawing calls may fail; the first failure is reported by endDoc().
class Printer {
public:
    virtual ~Printer() = default;
    Printer() = default;
    Printer(const Printer &) = delete;
    Printer &operator=(const Printer &) = delete;

    // The destination's name, empty when there is no printer.
    virtual std::string deviceName() const = 0;
    // 1 monochrome, 2 colour.
    virtual int colourMode() const = 0;
    virtual void setColourMode(int mode) = 0;
    // 1 portrait, 2 landscape; the scale below describes the page in its new orientation.
    virtual void setOrientation(int orientation) = 0;
    // The printable area in the current scale mode.
    virtual float scaleWidth() const = 0;
    virtual float scaleHeight() const = 0;
    virtual int scaleMode() const = 0;
    // Converts a horizontal length between two scale modes.
    virtual float scaleX(double value, int fromMode, int toMode) const = 0;
    // Converts a vertical length between two scale modes.
    virtual float scaleY(double value, int fromMode, int toMode) const = 0;
    // Draws the whole picture stretched into the rectangle, in the current scale mode.
    virtual void paintPicture(const Picture &picture, double left, double top, double width,
                              double height) = 0;
    // The font of text printed from now on.
    virtual void setFont(const FontSpec &font) = 0;
    // Prints the text from the top of the page, onto further pages as it needs.
    virtual void printText(const std::string &text) = 0;
    // Ends the document and hands the job to the spooler.
    virtual MaybeFailure endDoc() = 0;
};

// The printers installed on the system, in the system's order.
class InstalledPrinters {
public:
    virtual ~InstalledPrinters() = default;
    InstalledPrinters() = default;
    InstalledPrinters(const InstalledPrinters &) = delete;
    InstalledPrinters &operator=(const InstalledPrinters &) = delete;

    // Each installed printer's device name.
    virtual std::vector<std::string> deviceNames() const = 0;
};

// The legacy initialisation profile that names the default printer.
class LegacyProfile {
public:
    virtual ~LegacyProfile() = default;
    LegacyProfile() = default;
    LegacyProfile(const LegacyProfile &) = delete;
    LegacyProfile &operator=(const LegacyProfile &) = delete;

    // The entry's value, or defaultValue when the entry is missing.
    virtual std::string profileString(const std::string &section, const std::string &key,
                                      const std::string &defaultValue) const = 0;
};

} // namespace dovrante
