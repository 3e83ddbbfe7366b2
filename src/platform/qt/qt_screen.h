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

private:
    QScreen *m_screen;
};

} // namespace dovrante
