#include "services/qt_picture_files.h"

#include "qt/qt_strings.h"
#include "services/clip_decoding.h"

#include <QFile>
#include <QImageReader>
#include <QSaveFile>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dovrante {

namespace {

// Far larger than a 4K screenshot, and more than Qt makes again as a PNG in the time an owner is
// waited for.
constexpr qsizetype LargePictureBytes = 256 << 20;

} // namespace

Result<PicturePtr> decodePicture(QImageReader &reader, double pixelsPerInch,
                                 const std::string &what)
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
    return PicturePtr(std::make_shared<QtPicture>(std::move(image), pixelsPerInch));
}

Result<PicturePtr> QtPictureFiles::load(const std::string &path)
{
    const std::string what = "The picture " + path;
    // Not blocking, and only a regular file: opening a FIFO would wait for a writer for ever.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return Failure{what + " cannot be shown: " + std::strerror(errno)};
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return Failure{
            what + " cannot be shown: " +
            (S_ISDIR(status.st_mode) ? "it is a folder, not a file" : "it is not a regular file")};
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return Failure{what + " cannot be shown: " + fromQt(file.errorString())};
    }
    QImageReader reader(&file);
    const std::string type = "image/" + reader.format().toStdString();
    const Result<PicturePtr> picture = decodePicture(reader, m_pixelsPerInch, what);
    // A very large picture is offered on the clipboard as its file: made again, as a PNG say,
    // for every program that asks, it would come too late.
    const QImage *image = picture.ok() ? imageOf(picture.value().get()) : nullptr;
    if (image && image->sizeInBytes() > LargePictureBytes &&
        static_cast<std::uint64_t>(file.size()) <= MaxClipBytes && file.seek(0)) {
        auto kept = std::make_shared<QtPicture>(*image, m_pixelsPerInch);
        kept->keepFile(file.readAll(), type);
        return PicturePtr(std::move(kept));
    }
    return picture;
}

MaybeFailure QtPictureFiles::saveAsBitmap(const Picture &picture, const std::string &path)
{
    const auto *qtPicture = dynamic_cast<const QtPicture *>(&picture);
    if (!qtPicture || qtPicture->image().isNull())
        return Failure{"Cannot save " + path + ": there is no picture"};
    QSaveFile file(toQt(path));
    file.setDirectWriteFallback(false);
    // Unbuffered, so that a failing write is seen with its own reason (no space, file too large)
    // rather than Qt's "Unknown error" from a later flush.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return Failure{"Cannot save " + path + ": " + fromQt(file.errorString())};
    errno = 0;
    if (!qtPicture->image().save(&file, "BMP")) {
        const int writeError = errno;
        std::string reason = fromQt(file.errorString());
        if (writeError != 0 && (reason.empty() || reason == "Unknown error"))
            reason = std::strerror(writeError);
        file.cancelWriting();
        return Failure{"Cannot save " + path + ": " + (reason.empty() ? "write error" : reason)};
    }
    if (!file.commit())
        return Failure{"Cannot save " + path + ": " + fromQt(file.errorString())};
    return std::nullopt;
}

} // namespace dovrante
