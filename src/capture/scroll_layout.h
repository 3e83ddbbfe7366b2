#pragma once

#include <cstdint>

namespace dovrante {

// How one scroll bar is set up for a picture of `pictureLength` twips in a viewport of
// `viewportLength` twips.
struct ScrollSetup {
    std::int16_t max = 0;
    std::int16_t largeChange = 1;
    std::int16_t smallChange = 1;
    // Twips the picture moves per scroll unit: 1 unless the values would not fit in 16 bits.
    int unit = 1;

    bool operator==(const ScrollSetup &) const = default;
};

// The range is the overhang (negative when the picture is smaller), a page step is the viewport
// and an arrow step a hundredth of the picture, rounded half to even. When these do not fit in
// the bar's 16 bits, a coarser whole number of twips per unit is used, with the range rounded
// outwards so that the far edge can still be reached.
ScrollSetup computeScrollSetup(float pictureLength, float viewportLength);

// Where the picture's leading edge lies for a bar value: minus the value in twips, kept within
// the overhang when a coarse unit rounded the range outwards.
float pictureOffset(std::int16_t value, const ScrollSetup &setup, float overhang);

} // namespace dovrante
