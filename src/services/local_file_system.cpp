#include "services/local_file_system.h"

#include "qt/qt_strings.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <array>
#include <cerrno>
#include <csignal>
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

// SIGTERM, SIGINT and SIGHUP that come while a file is written wait until it is whole: ending
// half-way would leave a partial entry in the data file. They then do what they would have done.
class EndingSignalsHeld {
public:
    EndingSignalsHeld()
    {
        struct sigaction hold {};
        hold.sa_handler = [](int signal) { s_caught = signal; };
        hold.sa_flags = SA_RESTART;
        ::sigemptyset(&hold.sa_mask);
        for (std::size_t i = 0; i < Signals.size(); ++i)
            ::sigaction(Signals[i], &hold, &m_previous[i]);
    }
    ~EndingSignalsHeld()
    {
        for (std::size_t i = 0; i < Signals.size(); ++i)
            ::sigaction(Signals[i], &m_previous[i], nullptr);
        if (const int signal = s_caught) {
            s_caught = 0;
            ::raise(signal);
        }
    }
    EndingSignalsHeld(const EndingSignalsHeld &) = delete;
    EndingSignalsHeld &operator=(const EndingSignalsHeld &) = delete;

private:
    static constexpr std::array<int, 3> Signals{SIGTERM, SIGINT, SIGHUP};
    static inline volatile std::sig_atomic_t s_caught = 0;
    std::array<struct sigaction, Signals.size()> m_previous{};
};

// Writes all the bytes; 0 when they are written, otherwise why not, with `done` how many were.
// A short write says nothing of why; writing the rest either finishes or tells (no space left,
// the file size limit).
int writeAll(int fd, const std::string &bytes, std::size_t &done)
{
    done = 0;
    while (done < bytes.size()) {
        const ssize_t more = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (more < 0 && errno == EINTR)
            continue;
        if (more <= 0)
            return more < 0 ? errno : ENOSPC;
        done += static_cast<std::size_t>(more);
    }
    return 0;
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
    const EndingSignalsHeld whole;
    std::size_t done = 0;
    const int writeError = writeAll(fd, bytes, done);
    MaybeFailure result;
    if (writeError != 0) {
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
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return failure(path, fromQt(file.errorString()));
    // Written here rather than through Qt, which says "Unknown error" for a write that stops
    // part-way (no space left, the file size limit).
    const EndingSignalsHeld whole;
    std::size_t done = 0;
    if (const int writeError = writeAll(file.handle(), bytes, done)) {
        file.cancelWriting();
        return failure(path, std::strerror(writeError));
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
