#pragma once

#include "platform/picture.h"

#include <QByteArray>
#include <QImage>

#include <string>

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

    // The file the picture was read from, as it is, and its MIME type; empty when not kept.
    void keepFile(QByteArray bytes, std::string mimeType)
    {
        m_file = std::move(bytes);
        m_fileType = std::move(mimeType);
    }
    const QByteArray &file() const { return m_file; }
    const std::string &fileType() const { return m_fileType; }

private:
    QImage m_image;
    double m_pixelsPerInch;
    QByteArray m_file;
    std::string m_fileType;
};

// The image a picture holds, or null for a picture that holds none.
const QImage *imageOf(const Picture *picture);

} // namespace dovrante
