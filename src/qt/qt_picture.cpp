#include "qt/qt_picture.h"

#include <cmath>

namespace dovrante {

namespace {

int toHiMetric(int pixels, double pixelsPerInch)
{
    return static_cast<int>(std::lround(pixels * 2540.0 / pixelsPerInch));
}

} // namespace

int QtPicture::widthHiMetric() const
{
    return toHiMetric(m_image.width(), m_pixelsPerInch);
}

int QtPicture::heightHiMetric() const
{
    return toHiMetric(m_image.height(), m_pixelsPerInch);
}

const QImage *imageOf(const Picture *picture)
{
    // On the desktop every picture is made by the Qt side (the picture loader, the clipboard) and
    // so is a QtPicture. The cast is still checked: the logic tests hand in pictures of their own.
    const auto *qtPicture = dynamic_cast<const QtPicture *>(picture);
    return qtPicture ? &qtPicture->image() : nullptr;
}

} // namespace dovrante
