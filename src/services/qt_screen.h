#pragma once

#include "platform/screen.h"

class QScreen;

namespace dovrante {

// The monitor that holds the mouse pointer at start, the one the person is looking at (the
// primary one when the pointer's monitor cannot be told); twips per pixel follow its logical DPI.
class QtScreen final : public Screen {
public:
    QtScreen();
    // The monitor itself, on which the window and its boxes open; null without any screen.
    QScreen *monitor() const { return m_screen; }
    float widthTwips() const override;
    float heightTwips() const override;
    float twipsPerPixel() const override;
    // Device pixels in one logical pixel: above 1 on a scaled (HiDPI) screen.
    double devicePixelRatio() const;

private:
    QScreen *m_screen;
};

} // namespace dovrante
