#pragma once

#include "platform/picture.h"

#include <QImage>
#include <QImageReader>

namespace dovrante {

// A decoded image. Its HiMetric size makes one picture pixel one logical pixel on screen.
class QtPicture final : public Picture {
public:
    QtPicture(QImage image, double logicalDpi) : m_image(std::move(image)), m_dpi(logicalDpi) {}

    int widthHiMetric() const override;
    int heightHiMetric() const override;
    const QImage &image() const { return m_image; }

private:
    QImage m_image;
    double m_dpi;
};

// Decodes the reader's picture; fails with a description that starts with `what`.
Result<PicturePtr> decodePicture(QImageReader &reader, double logicalDpi, const std::string &what);

// Pictures read and written with Qt's image plugins.
class QtPictureFiles final : public PictureFiles {
public:
    explicit QtPictureFiles(double logicalDpi) : m_dpi(logicalDpi) {}
    Result<PicturePtr> load(const std::string &path) override;
    MaybeFailure saveAsBitmap(const Picture &picture, const std::string &path) override;

private:
    double m_dpi;
};

} // namespace dovrante
