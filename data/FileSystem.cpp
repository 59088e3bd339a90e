#include "data/FileSystem.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <filesystem>
#include <system_error>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace palinor {

namespace {

std::filesystem::path nativePath(const QString& path)
{
    return std::filesystem::path(path.toStdU16String());
}

#ifdef Q_OS_UNIX
QByteArray encoded(const QString& path)
{
    return QFile::encodeName(path);
}

FileProbe::Type typeOf(mode_t mode)
{
    using Type = FileProbe::Type;
    if (S_ISREG(mode)) {
        return Type::Regular;
    }
    if (S_ISDIR(mode)) {
        return Type::Folder;
    }
    if (S_ISFIFO(mode)) {
        return Type::Fifo;
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return Type::Device;
    }
    if (S_ISSOCK(mode)) {
        return Type::Socket;
    }
    return Type::Other;
}

bool sameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}
#endif

} // namespace

#ifdef Q_OS_UNIX

FileProbe probeFile(const QString& path, int headerBytes)
{
    FileProbe probe;
    struct stat named {};
    if (::stat(encoded(path).constData(), &named) != 0) {
        probe.type = errno == ENOENT ? FileProbe::Type::Missing : FileProbe::Type::Unreadable;
        probe.error = errno;
        return probe;
    }
    probe.type = typeOf(named.st_mode);
    if (probe.type != FileProbe::Type::Regular) {
        return probe;
    }
    // Non-blocking as well: the name may have been given to a pipe since it was looked at.
    const int handle = ::open(encoded(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (handle < 0) {
        probe.type = FileProbe::Type::Unreadable;
        probe.error = errno;
        return probe;
    }
    struct stat opened {};
    if (::fstat(handle, &opened) != 0 || !S_ISREG(opened.st_mode)) {
        probe.type = typeOf(opened.st_mode);
        ::close(handle);
        return probe;
    }
    probe.size = opened.st_size;
    probe.header.resize(headerBytes);
    qsizetype got = 0;
    while (got < headerBytes) {
        const ssize_t n = ::read(handle, probe.header.data() + got, size_t(headerBytes - got));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        got += n;
    }
    probe.header.truncate(got);
    ::close(handle);
    return probe;
}

HeldNewFile::HeldNewFile(const QString& path)
{
    const QByteArray name = encoded(path);
    const int handle = ::open(name.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (handle < 0) {
        error_ = errno;
        return;
    }
    // A cleanup may have removed the new name before the hold was taken: then it is not ours any more.
    struct stat opened {
    }, named{};
    if (::flock(handle, LOCK_EX) != 0 || ::fstat(handle, &opened) != 0 ||
        ::stat(name.constData(), &named) != 0 || !sameFile(opened, named)) {
        error_ = EAGAIN;
        ::close(handle);
        return;
    }
    handle_ = handle;
}

HeldNewFile::~HeldNewFile()
{
    if (handle_ >= 0) {
        ::close(handle_);
    }
}

void removeIfUnheld(const QString& path)
{
    const QByteArray name = encoded(path);
    const int handle = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
    if (handle < 0) {
        return;
    }
    struct stat opened {
    }, named{};
    if (::fstat(handle, &opened) == 0 && S_ISREG(opened.st_mode) && ::flock(handle, LOCK_EX | LOCK_NB) == 0 &&
        ::lstat(name.constData(), &named) == 0 && sameFile(opened, named)) {
        ::unlink(name.constData());
    }
    ::close(handle);
}

int copyToNewFile(const QString& from, const QString& to)
{
    const int source = ::open(encoded(from).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (source < 0) {
        return errno;
    }
    const int target = ::open(encoded(to).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (target < 0) {
        const int error = errno;
        ::close(source);
        return error;
    }
    int error = 0;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(source, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            error = errno;
            break;
        }
        if (n == 0) {
            break;
        }
        for (ssize_t written = 0; written < n && error == 0;) {
            const ssize_t w = ::write(target, buffer + written, size_t(n - written));
            if (w < 0 && errno != EINTR) {
                error = errno;
            }
            written += w > 0 ? w : 0;
        }
        if (error != 0) {
            break;
        }
    }
    // The copy is what the user falls back on: it must be on the disk before the original is touched.
    if (error == 0 && ::fsync(target) != 0) {
        error = errno;
    }
    if (::close(target) != 0 && error == 0) {
        error = errno;
    }
    ::close(source);
    if (error != 0) {
        ::unlink(encoded(to).constData());
    }
    return error;
}

#else

FileProbe probeFile(const QString& path, int headerBytes)
{
    FileProbe probe;
    const QFileInfo info(path);
    if (!info.exists()) {
        return probe;
    }
    if (info.isDir()) {
        probe.type = FileProbe::Type::Folder;
        return probe;
    }
    if (!info.isFile()) {
        probe.type = FileProbe::Type::Other;
        return probe;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        probe.type = FileProbe::Type::Unreadable;
        probe.error = EACCES;
        return probe;
    }
    probe.type = FileProbe::Type::Regular;
    probe.size = file.size();
    probe.header = file.read(headerBytes);
    return probe;
}

// Windows refuses to remove a file another process has open, which is hold enough.
HeldNewFile::HeldNewFile(const QString& path)
{
    file_ = std::make_unique<QFile>(path);
    if (!file_->open(QIODevice::ReadWrite | QIODevice::NewOnly)) {
        error_ = QFileInfo::exists(path) ? EEXIST : EACCES;
        file_.reset();
        return;
    }
    handle_ = 0;
}

HeldNewFile::~HeldNewFile() = default;

void removeIfUnheld(const QString& path)
{
    if (QFileInfo(path).isFile() && !QFileInfo(path).isSymLink()) {
        QFile::remove(path);
    }
}

int copyToNewFile(const QString& from, const QString& to)
{
    return QFile::copy(from, to) ? 0 : (QFileInfo::exists(to) ? EEXIST : EIO);
}

#endif

int linkWithoutReplacing(const QString& from, const QString& to)
{
    std::error_code error;
    std::filesystem::create_hard_link(nativePath(from), nativePath(to), error);
    if (!error) {
        return 0;
    }
    if (error == std::errc::file_exists || QFileInfo::exists(to) || QFileInfo(to).isSymLink()) {
        return EEXIST;
    }
    // Folders without hard links (FAT): only a short race with another copy of the program remains.
    std::filesystem::rename(nativePath(from), nativePath(to), error);
    return error ? error.value() : 0;
}

int moveToNewName(const QString& from, const QString& to)
{
    if (QFileInfo::exists(to) || QFileInfo(to).isSymLink()) {
        return EEXIST;
    }
    std::error_code error;
    std::filesystem::rename(nativePath(from), nativePath(to), error);
    return error ? error.value() : 0;
}

bool nameTaken(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

QString firstFreeName(const QString& stem, const QString& extension,
                      const std::function<bool(const QString& name)>& isFree)
{
    for (int n = 1;; ++n) {
        const QString name =
            n == 1 ? stem + extension : QStringLiteral("%1-%2%3").arg(stem).arg(n).arg(extension);
        if (isFree(name)) {
            return name;
        }
    }
}

} // namespace palinor
