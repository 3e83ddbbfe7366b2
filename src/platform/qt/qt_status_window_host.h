#pragma once

#include "platform/status_window_host.h"

#include <memory>

class QLabel;
class QWidget;

namespace dovrante {

// The print status window as a small window of its own in the middle of the screen.
class QtStatusWindowHost final : public StatusWindowHost {
public:
    explicit QtStatusWindowHost(float twipsPerPixel);
    ~QtStatusWindowHost() override;

    void showAndPaint(const StatusWindowLook &look) override;
    void close() override;

private:
    int toPixels(float twips) const;

    float m_twipsPerPixel;
    std::unique_ptr<QWidget> m_window;
    QLabel *m_label = nullptr;
};

} // namespace dovrante
