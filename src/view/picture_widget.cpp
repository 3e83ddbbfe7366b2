#include "view/picture_widget.h"

#include "platform/qt/qt_picture.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace dovrante {

void PictureWidget::setPicture(const PicturePtr &picture)
{
    if (picture == m_picture)
        return;
    m_picture = picture;
    update();
}

void PictureWidget::paintEvent(QPaintEvent *event)
{
    const auto *picture = dynamic_cast<const QtPicture *>(m_picture.get());
    if (!picture)
        return;
    QPainter painter(this);
    painter.setClipRegion(event->region());
    painter.drawImage(QPoint(0, 0), picture->image());
}

void PictureWidget::mousePressEvent(QMouseEvent *event)
{
    event->accept();
}

void PictureWidget::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
}

} // namespace dovrante
