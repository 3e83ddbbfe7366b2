#pragma once

#include "platform/status_window_host.h"
#include "qt/qt_units.h"

#include <memory>

class QLabel;
class QScreen;
class QWidget;

namespace dovrante {

// The print status window as a small window of its own in the middle of the screen.
class QtStatusWindowHost final : public StatusWindowHost {
public:
    // The window opens centred on `screen` (the primary screen when none is given).
    explicit QtStatusWindowHost(float twipsPerPixel, QScreen *screen = nullptr);
    ~QtStatusWindowHost() override;

    void showAndPaint(const StatusWindowLook &look) override;
    void close() override;

private:
    TwipsToPixels m_toPixels;
    QScreen *m_screen;
    std::unique_ptr<QWidget> m_window;
    QLabel *m_label = nullptr;
};

} // namespace dovrante
