#pragma once

namespace dovrante {

// Twips in one unit of a printer's scale mode; a pixel is one dot of the device. Unknown modes
// count as twips.
double twipsPerUnit(int scaleMode, double devicePixelsPerInch);

// Converts a length from one scale mode to another on a device of the given resolution.
double convertLength(double value, int fromMode, int toMode, double devicePixelsPerInch);

} // namespace dovrante
