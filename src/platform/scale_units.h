#pragma once

namespace dovrante {

// Coordinate units of a printer's scale, numbered as the classic printer object numbers them.
enum class ScaleMode : int {
    Twips = 1,
    Points = 2,
    Pixels = 3,
    Inches = 5,
    Millimetres = 6,
    Centimetres = 7,
    HiMetric = 8,
};

// Twips in one unit of a printer's scale mode; a pixel is one dot of the device. Unknown modes
// count as twips.
double twipsPerUnit(ScaleMode scaleMode, double devicePixelsPerInch);

// Converts a length from one scale mode to another on a device of the given resolution.
double convertLength(double value, ScaleMode fromMode, ScaleMode toMode,
                     double devicePixelsPerInch);

} // namespace dovrante
