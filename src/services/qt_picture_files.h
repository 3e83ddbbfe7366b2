#pragma once

#include "platform/picture.h"
#include "qt/qt_picture.h"

#include <QImageReader>

namespace dovrante {

// Decodes the reader's picture; fails with a description that starts with `what`.
Result<PicturePtr> decodePicture(QImageReader &reader, double pixelsPerInch,
                                 const std::string &what);

// Pictures read and written with Qt's image plugins.
class QtPictureFiles final : public PictureFiles {
public:
    explicit QtPictureFiles(double pixelsPerInch) : m_pixelsPerInch(pixelsPerInch) {}
    Result<PicturePtr> load(const std::string &path) override;
    MaybeFailure saveAsBitmap(const Picture &picture, const std::string &path) override;

private:
    double m_pixelsPerInch;
};

} // namespace dovrante
