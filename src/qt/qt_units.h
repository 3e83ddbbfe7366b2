#pragma once

#include "platform/types.h"

#include <QColor>
#include <QRect>

#include <algorithm>
#include <cmath>

namespace dovrante {

// The program's colours and twips as Qt takes them, for every window the program draws.

inline QColor toQColor(Colour colour)
{
    return QColor(colourRed(colour), colourGreen(colour), colourBlue(colour));
}

// Twips to whole pixels, rounded to the nearest, at a screen's twips per pixel.
class TwipsToPixels {
public:
    explicit TwipsToPixels(float twipsPerPixel) : m_twipsPerPixel(twipsPerPixel) {}

    int operator()(float twips) const
    {
        return static_cast<int>(std::lround(static_cast<double>(twips) / m_twipsPerPixel));
    }

    // A rectangle in twips; a negative size is an empty one.
    QRect rect(float left, float top, float width, float height) const
    {
        const TwipsToPixels &px = *this;
        return QRect(px(left), px(top), std::max(0, px(width)), std::max(0, px(height)));
    }

private:
    float m_twipsPerPixel;
};

} // namespace dovrante
