#include "platform/qt/qt_picture.h"

#include "platform/qt/qt_strings.h"

#include <QImageReader>
#include <QSaveFile>

#include <cmath>

namespace dovrante {

namespace {

int toHiMetric(int pixels, double dpi)
{
    return static_cast<int>(std::lround(pixels * 2540.0 / dpi));
}

} // namespace

int QtPicture::widthHiMetric() const
{
    return toHiMetric(m_image.width(), m_dpi);
}

int QtPicture::heightHiMetric() const
{
    return toHiMetric(m_image.height(), m_dpi);
}

Result<PicturePtr> decodePicture(QImageReader &reader, double logicalDpi, const std::string &what)
{
    // A picture beyond the reader's allocation limit fails with a vague "unable to read"; say
    // what is wrong instead.
    const QSize size = reader.size();
    const double megabytes = 4.0 * size.width() * size.height() / (1024.0 * 1024.0);
    if (size.isValid() && megabytes > QImageReader::allocationLimit()) {
        return Failure{what + " cannot be shown: at " + std::to_string(size.width()) + " x " +
                       std::to_string(size.height()) + " pixels it is too large (" +
                       std::to_string(static_cast<long long>(megabytes)) + " MB)."};
    }
    QImage image = reader.read();
    if (image.isNull())
        return Failure{what + " cannot be shown: " + fromQt(reader.errorString())};
    return PicturePtr(std::make_shared<QtPicture>(std::move(image), logicalDpi));
}

Result<PicturePtr> QtPictureFiles::load(const std::string &path)
{
    QImageReader reader(toQt(path));
    return decodePicture(reader, m_dpi, "The picture " + path);
}

MaybeFailure QtPictureFiles::saveAsBitmap(const Picture &picture, const std::string &path)
{
    const auto *qtPicture = dynamic_cast<const QtPicture *>(&picture);
    if (!qtPicture || qtPicture->image().isNull())
        return Failure{"Cannot save " + path + ": there is no picture"};
    QSaveFile file(toQt(path));
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return Failure{"Cannot save " + path + ": " + fromQt(file.errorString())};
    if (!qtPicture->image().save(&file, "BMP")) {
        const std::string reason = fromQt(file.errorString());
        file.cancelWriting();
        return Failure{"Cannot save " + path + ": " + (reason.empty() ? "write error" : reason)};
    }
    if (!file.commit())
        return Failure{"Cannot save " + path + ": " + fromQt(file.errorString())};
    return std::nullopt;
}

} // namespace dovrante
