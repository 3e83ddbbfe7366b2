#include "services/qt_screen.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

namespace dovrante {

QtScreen::QtScreen() : m_screen(QGuiApplication::screenAt(QCursor::pos()))
{
    if (!m_screen)
        m_screen = QGuiApplication::primaryScreen();
}

float QtScreen::twipsPerPixel() const
{
    const qreal dpi = m_screen ? m_screen->logicalDotsPerInch() : 96.0;
    return static_cast<float>(1440.0 / (dpi > 0 ? dpi : 96.0));
}

double QtScreen::devicePixelRatio() const
{
    const qreal ratio = m_screen ? m_screen->devicePixelRatio() : 1.0;
    return ratio > 0 ? ratio : 1.0;
}

float QtScreen::widthTwips() const
{
    return m_screen ? static_cast<float>(m_screen->geometry().width()) * twipsPerPixel() : 0.0f;
}

float QtScreen::heightTwips() const
{
    return m_screen ? static_cast<float>(m_screen->geometry().height()) * twipsPerPixel() : 0.0f;
}

} // namespace dovrante
