#pragma once

#include "platform/picture.h"
#include "platform/scale_units.h"
#include "platform/types.h"

#include <string>
#include <vector>

namespace dovrante {

// Colour modes and orientations, numbered as the printer driver numbers them.
enum class ColourMode : int {
    Monochrome = 1,
    FullColour = 2,
};

enum class Orientation : int {
    Portrait = 1,
    Landscape = 2,
};

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
    virtual ColourMode colourMode() const = 0;
    virtual void setColourMode(ColourMode mode) = 0;
    // The scale below describes the page in its new orientation.
    virtual void setOrientation(Orientation orientation) = 0;
    // The printable area in the current scale mode.
    virtual float scaleWidth() const = 0;
    virtual float scaleHeight() const = 0;
    virtual ScaleMode scaleMode() const = 0;
    // Converts a horizontal length between two scale modes.
    virtual float scaleX(double value, ScaleMode fromMode, ScaleMode toMode) const = 0;
    // Converts a vertical length between two scale modes.
    virtual float scaleY(double value, ScaleMode fromMode, ScaleMode toMode) const = 0;
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
