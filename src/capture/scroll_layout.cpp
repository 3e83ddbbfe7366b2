#include "capture/scroll_layout.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace dovrante {

namespace {

constexpr double Limit = std::numeric_limits<std::int16_t>::max();

// Rounding to nearest with halves to even, as the bar's own conversion does.
double roundEven(double value)
{
    return std::nearbyint(value);
}

std::int16_t to16(double value)
{
    return static_cast<std::int16_t>(std::clamp(value, -Limit - 1, Limit));
}

} // namespace

ScrollSetup computeScrollSetup(float pictureLength, float viewportLength)
{
    const double picture = pictureLength;
    const double viewport = viewportLength;
    const double overhang = picture - viewport;
    const double step = picture / 100.0;

    ScrollSetup setup;
    const bool fits = roundEven(overhang) <= Limit && roundEven(overhang) >= -Limit - 1 &&
                      roundEven(viewport) <= Limit && roundEven(step) <= Limit;
    if (fits) {
        setup.max = to16(roundEven(overhang));
        setup.largeChange = to16(roundEven(viewport));
        setup.smallChange = to16(roundEven(step));
    } else {
        const double largest = std::max({std::abs(overhang), viewport, step});
        setup.unit = static_cast<int>(std::ceil(largest / Limit));
        const double unit = setup.unit;
        setup.max = to16(overhang >= 0 ? std::ceil(overhang / unit) : std::floor(overhang / unit));
        setup.largeChange = to16(roundEven(viewport / unit));
        setup.smallChange = to16(roundEven(step / unit));
    }
    // A bar does not take an arrow step of 0.
    if (setup.smallChange < 1)
        setup.smallChange = 1;
    if (setup.largeChange < 1)
        setup.largeChange = 1;
    return setup;
}

float pictureOffset(std::int16_t value, const ScrollSetup &setup, float overhang)
{
    if (setup.unit == 1) {
        // The negation is done on the 16-bit value: -(-32768) stays -32768.
        return value == std::numeric_limits<std::int16_t>::min() ? static_cast<float>(value)
                                                                 : -static_cast<float>(value);
    }
    const double moved = static_cast<double>(value) * setup.unit;
    const double low = std::min(0.0, static_cast<double>(overhang));
    const double high = std::max(0.0, static_cast<double>(overhang));
    return static_cast<float>(-std::clamp(moved, low, high));
}

} // namespace dovrante
