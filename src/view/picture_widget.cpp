#include "view/picture_widget.h"

#include "qt/qt_picture.h"

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
    const QImage *image = imageOf(m_picture.get());
    if (!image)
        return;
    QPainter painter(this);
    painter.setClipRegion(event->region());
    // One picture pixel to one device pixel: on a scaled screen the painter's own scaling is
    // undone, so the image is copied as it is, never stretched.
    const qreal ratio = devicePixelRatioF();
    if (ratio != 1.0)
        painter.scale(1.0 / ratio, 1.0 / ratio);
    painter.drawImage(QPoint(0, 0), *image);
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
