#pragma once

#include <QObject>
#include <QPointer>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class QEvent;

namespace dovrante {

// While the window's thread is busy with something slow (CUPS asked, a print job made), the
// windows go on being painted and the keys and clicks that come meanwhile are held, to be
// delivered in their order once this object goes: none may start a second job inside this one.
// Escape and Ctrl+[ are not held: they end the program at once, as they always do.
class HeldInput final : public QObject {
public:
    // `beforeEnd` removes what the busy work leaves behind when Escape ends the program.
    explicit HeldInput(std::function<void()> beforeEnd = {});
    ~HeldInput() override;
    HeldInput(const HeldInput &) = delete;
    HeldInput &operator=(const HeldInput &) = delete;

    // Handles the events that are waiting, for at most that long.
    void handlePending(std::chrono::milliseconds atMost = std::chrono::milliseconds(0));
    // Handles events until `done` holds or the time, if any, is up; false when it ran out.
    bool waitUntil(const std::function<bool()> &done,
                   std::optional<std::chrono::milliseconds> timeout);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<void()> m_beforeEnd;
    std::vector<std::pair<QPointer<QObject>, std::unique_ptr<QEvent>>> m_held;
};

} // namespace dovrante
