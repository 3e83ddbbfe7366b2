#pragma once

#include "platform/screen.h"

class QScreen;

namespace dovrante {

// The primary screen; twips per pixel follow its logical DPI.
class QtScreen final : public Screen {
public:
    QtScreen();
    float widthTwips() const override;
    float heightTwips() const override;
    float twipsPerPixel() const override;
    // Device pixels in one logical pixel: above 1 on a scaled (HiDPI) screen.
    double devicePixelRatio() const;

private:
    QScreen *m_screen;
};

} // namespace dovrante
