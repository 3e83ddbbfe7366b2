#include "services/qt_status_window_host.h"

#include "qt/qt_fonts.h"
#include "qt/qt_strings.h"
#include "qt/qt_units.h"
#include "services/held_input.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cmath>

namespace dovrante {

QtStatusWindowHost::QtStatusWindowHost(float twipsPerPixel, QScreen *screen)
    : m_toPixels(twipsPerPixel)
    , m_screen(screen ? screen : QGuiApplication::primaryScreen())
{}

QtStatusWindowHost::~QtStatusWindowHost() = default;

void QtStatusWindowHost::showAndPaint(const StatusWindowLook &look)
{
    if (!m_window) {
        // No owner: a window of its own beside the main window, not a dialog of it.
        m_window = std::make_unique<QWidget>(nullptr, Qt::Window | Qt::WindowTitleHint |
                                                          Qt::CustomizeWindowHint);
        m_window->setObjectName(QStringLiteral("DovrantS"));
        m_label = new QLabel(m_window.get());
        m_label->setObjectName(QStringLiteral("labStatus"));
        m_label->setTextFormat(Qt::PlainText);
        m_label->setAutoFillBackground(true);
        m_window->setAutoFillBackground(true);
    }
    m_window->setWindowTitle(toQt(look.caption));
    QPalette palette = m_window->palette();
    palette.setColor(QPalette::Window, toQColor(look.backColour));
    m_window->setPalette(palette);
    m_label->setPalette(palette);
    m_label->setFont(toQFont(look.labelFont));
    m_label->setText(toQt(look.labelCaption));
    // A long printer name widens the window rather than being cut off, up to the screen's width.
    const int left = m_toPixels(look.labelLeft);
    int labelWidth = std::max(m_toPixels(look.labelWidth),
                              m_label->fontMetrics().horizontalAdvance(m_label->text()) + 4);
    int windowWidth = std::max(m_toPixels(look.clientWidth), left + labelWidth + left);
    if (m_screen && windowWidth > m_screen->availableGeometry().width()) {
        windowWidth = m_screen->availableGeometry().width();
        labelWidth = windowWidth - 2 * left;
    }
    m_window->setFixedSize(windowWidth, m_toPixels(look.clientHeight));
    m_label->setGeometry(left, m_toPixels(look.labelTop), labelWidth, m_toPixels(look.labelHeight));

    if (m_screen) {
        m_window->setScreen(m_screen);
        QRect frame(QPoint(0, 0), m_window->size());
        frame.moveCenter(m_screen->geometry().center());
        m_window->move(frame.topLeft());
    }
    m_window->show();
    m_window->raise();

    // The print calls that follow hold the thread, so the window is painted now rather than in an
    // event loop that will not run until the job is handed over. Events go on being handled for a
    // moment after it is mapped: a window painted at once and then left alone was, now and then,
    // still blank under its window manager's frame for the whole job. User input is held, so that
    // a second click cannot start a second job inside this one. (Qt's own way of leaving input
    // for later, ExcludeUserInputEvents, leaves it stuck in Qt's queue until the next X event.)
    using namespace std::chrono_literals;
    HeldInput held;
    QElapsedTimer waited;
    waited.start();
    while (m_window->windowHandle() && !m_window->windowHandle()->isExposed() &&
           waited.elapsed() < 500)
        held.handlePending(20ms);
    const qint64 settled = waited.elapsed() + 150;
    while (waited.elapsed() < settled)
        held.handlePending(20ms);
    m_window->repaint();
    held.handlePending();
}

void QtStatusWindowHost::close()
{
    if (m_window)
        m_window->hide();
}

} // namespace dovrante
