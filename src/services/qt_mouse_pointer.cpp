#include "services/qt_mouse_pointer.h"

#include <QCursor>
#include <QGuiApplication>

namespace dovrante {

void QtMousePointer::setPointer(int shape)
{
    const bool busy = shape == PointerShape::Hourglass;
    if (busy == m_busy)
        return;
    m_busy = busy;
    if (busy)
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    else
        QGuiApplication::restoreOverrideCursor();
}

} // namespace dovrante
