#pragma once

#include "platform/picture.h"

#include <QImage>

namespace dovrante {

// A decoded image. Its HiMetric size makes one picture pixel one device pixel on screen:
// pixelsPerInch is the screen's logical DPI times its device pixel ratio.
class QtPicture final : public Picture {
public:
    QtPicture(QImage image, double pixelsPerInch)
        : m_image(std::move(image))
        , m_pixelsPerInch(pixelsPerInch)
    {}

    int widthHiMetric() const override;
    int heightHiMetric() const override;
    const QImage &image() const { return m_image; }

private:
    QImage m_image;
    double m_pixelsPerInch;
};

// The image a picture holds, or null for a picture that holds none.
const QImage *imageOf(const Picture *picture);

} // namespace dovrante
