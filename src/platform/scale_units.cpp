#include "platform/scale_units.h"

#include "platform/printer.h"

namespace dovrante {

double twipsPerUnit(ScaleMode scaleMode, double devicePixelsPerInch)
{
    switch (scaleMode) {
    case ScaleMode::Points:
        return 20.0;
    case ScaleMode::Pixels:
        return devicePixelsPerInch > 0 ? 1440.0 / devicePixelsPerInch : 1.0;
    case ScaleMode::Inches:
        return 1440.0;
    case ScaleMode::Millimetres:
        return 1440.0 / 25.4;
    case ScaleMode::Centimetres:
        return 1440.0 / 2.54;
    case ScaleMode::HiMetric:
        return 1440.0 / 2540.0;
    default:
        return 1.0;
    }
}

double convertLength(double value, ScaleMode fromMode, ScaleMode toMode, double devicePixelsPerInch)
{
    return value * twipsPerUnit(fromMode, devicePixelsPerInch) /
           twipsPerUnit(toMode, devicePixelsPerInch);
}

} // namespace dovrante
