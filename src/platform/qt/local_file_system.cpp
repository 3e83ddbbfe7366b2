#include "platform/qt/local_file_system.h"

#include "qt/qt_strings.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dovrante {

namespace {

Failure failure(const std::string &path, const std::string &reason)
{
    return Failure{"Cannot write " + path + ": " + reason};
}

} // namespace

MaybeFailure LocalFileSystem::append(const std::string &path, const std::string &bytes)
{
    // Not blocking: opening a FIFO for writing would otherwise wait for a reader for ever.
    const int fd =
        ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0644);
    if (fd < 0)
        return failure(path, errno == ENXIO ? "it is not a regular file" : std::strerror(errno));

    struct stat before {};
    if (::fstat(fd, &before) != 0 || !S_ISREG(before.st_mode)) {
        ::close(fd);
        return failure(path, "it is not a regular file");
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    // One write with O_APPEND: another program appending at the same time cannot land inside it.
    const ssize_t first = ::write(fd, bytes.data(), bytes.size());
    int writeError = errno;
    std::size_t done = first > 0 ? static_cast<std::size_t>(first) : 0;
    // A short write says nothing of why; writing the rest either finishes the entry or tells
    // (no space left, the file size limit).
    while (first >= 0 && done < bytes.size()) {
        const ssize_t more = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (more <= 0) {
            writeError = more < 0 ? errno : ENOSPC;
            break;
        }
        done += static_cast<std::size_t>(more);
    }
    MaybeFailure result;
    if (done != bytes.size()) {
        // Half an entry is taken back when it is still the last thing in the file.
        struct stat after {};
        if (done > 0 && ::fstat(fd, &after) == 0 &&
            after.st_size == before.st_size + static_cast<off_t>(done)) {
            [[maybe_unused]] const int ignored = ::ftruncate(fd, before.st_size);
        }
        result = failure(path, std::strerror(writeError));
    }
    if (::close(fd) != 0 && !result)
        result = failure(path, std::strerror(errno));
    return result;
}

MaybeFailure LocalFileSystem::writeWhole(const std::string &path, const std::string &bytes)
{
    // QSaveFile writes beside the target and renames over it only when everything is written.
    QSaveFile file(toQt(path));
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return failure(path, fromQt(file.errorString()));
    if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
        static_cast<qint64>(bytes.size())) {
        const std::string reason = fromQt(file.errorString());
        file.cancelWriting();
        return failure(path, reason);
    }
    if (!file.commit())
        return failure(path, fromQt(file.errorString()));
    return std::nullopt;
}

std::optional<int> LocalFileSystem::attributes(const std::string &path)
{
    // A folder is often named with its trailing "/"; its name is still the last component.
    const QFileInfo info(QDir::cleanPath(toQt(path)));
    if (!info.exists())
        return std::nullopt;
    int bits = info.isDir() ? FileAttribute::Directory : FileAttribute::Archive;
    if (::access(path.c_str(), W_OK) != 0)
        bits |= FileAttribute::ReadOnly;
    if (info.fileName().startsWith(QLatin1Char('.')))
        bits |= FileAttribute::Hidden;
    return bits;
}

} // namespace dovrante
