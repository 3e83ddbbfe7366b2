#include "services/held_input.h"

#include "qt/qt_key_codes.h"
#include "services/process_end.h"

#include <QCoreApplication>
#include <QKeyEvent>

#include <algorithm>

namespace dovrante {

namespace {

using namespace std::chrono_literals;

// Every hold in force, the innermost last: Escape clears up after all of them.
std::vector<HeldInput *> &holds()
{
    static std::vector<HeldInput *> active;
    return active;
}

bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
        return true;
    default:
        return false;
    }
}

// The keys with which the window's key handling ends the program.
bool endsTheProgram(const QKeyEvent &key)
{
    return virtualKeyCode(key) == KeyCode::Escape || typedCharacter(key) == EscapeCharacter;
}

} // namespace

HeldInput::HeldInput(std::function<void()> beforeEnd) : m_beforeEnd(std::move(beforeEnd))
{
    holds().push_back(this);
    // Installed last, it sees every event before the window's own filters do.
    QCoreApplication::instance()->installEventFilter(this);
}

HeldInput::~HeldInput()
{
    QCoreApplication::instance()->removeEventFilter(this);
    std::erase(holds(), this);
    for (auto &[receiver, event] : m_held)
        if (receiver)
            QCoreApplication::postEvent(receiver, event.release());
}

void HeldInput::handlePending(std::chrono::milliseconds atMost)
{
    QCoreApplication::processEvents(QEventLoop::AllEvents, static_cast<int>(atMost.count()));
}

bool HeldInput::waitUntil(const std::function<bool()> &done,
                          std::optional<std::chrono::milliseconds> timeout)
{
    const auto start = std::chrono::steady_clock::now();
    while (!done()) {
        if (timeout && std::chrono::steady_clock::now() - start >= *timeout)
            return false;
        handlePending(20ms);
    }
    return true;
}

bool HeldInput::eventFilter(QObject *watched, QEvent *event)
{
    // Input reaches a window first and its widgets through it: held there, it is held once.
    if (!isUserInput(event->type()) || !watched->isWindowType())
        return false;
    if (event->type() == QEvent::KeyPress && endsTheProgram(*static_cast<QKeyEvent *>(event))) {
        for (HeldInput *hold : holds())
            if (hold->m_beforeEnd)
                hold->m_beforeEnd();
        ProcessEnd().endProgram();
    }
    m_held.emplace_back(watched, event->clone());
    return true;
}

} // namespace dovrante
