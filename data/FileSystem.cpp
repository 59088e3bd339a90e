#include "data/FileSystem.h"

#include <QDateTime>
#include <QDeadlineTimer>
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
    if (S_ISLNK(mode)) {
        return Type::Link;
    }
    return Type::Other;
}

bool sameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

FileIdentity identity(const struct stat& file)
{
    return {quint64(file.st_dev), quint64(file.st_ino), qint64(file.st_size), int(file.st_mode & 0777)};
}

// Creates a file that must not exist, with exactly these permission bits, or those the umask leaves of
// 0666 when mode is -1.
int createNew(const QByteArray& name, int flags, int mode)
{
    const int handle = ::open(name.constData(), flags | O_CREAT | O_EXCL | O_CLOEXEC, mode < 0 ? 0666 : 0600);
    if (handle >= 0 && mode >= 0 && ::fchmod(handle, mode_t(mode)) != 0) {
        const int error = errno;
        ::close(handle);
        ::unlink(name.constData());
        errno = error;
        return -1;
    }
    return handle;
}
#endif

} // namespace

#ifdef Q_OS_UNIX

FileProbe probeFile(const QString& path, int headerBytes, Links links)
{
    FileProbe probe;
    const bool follow = links == Links::Follow;
    struct stat named {};
    if ((follow ? ::stat : ::lstat)(encoded(path).constData(), &named) != 0) {
        probe.type = errno == ENOENT ? FileProbe::Type::Missing : FileProbe::Type::Unreadable;
        probe.error = errno;
        return probe;
    }
    probe.type = typeOf(named.st_mode);
    if (probe.type != FileProbe::Type::Regular) {
        return probe;
    }
    // Non-blocking as well: the name may have been given to a pipe since it was looked at.
    const int handle = ::open(encoded(path).constData(),
                              O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | (follow ? 0 : O_NOFOLLOW));
    if (handle < 0) {
        probe.type = errno == ELOOP ? FileProbe::Type::Link : FileProbe::Type::Unreadable;
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

std::optional<FileIdentity> identityOf(const QString& path)
{
    struct stat named {};
    if (::stat(encoded(path).constData(), &named) != 0) {
        return std::nullopt;
    }
    return identity(named);
}

FileLock::FileLock(const QString& path, int timeoutMs)
{
    handle_ = ::open(encoded(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (handle_ < 0) {
        return;
    }
    // Polled, not waited for: a copy that never lets go must not freeze this one.
    const QDeadlineTimer deadline(timeoutMs);
    while (::flock(handle_, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) {
            return;
        }
        if (deadline.hasExpired()) {
            busy_ = true;
            return;
        }
        ::usleep(20000);
    }
    struct stat opened {};
    if (::fstat(handle_, &opened) == 0) {
        locked_ = identity(opened);
    }
}

FileLock::~FileLock()
{
    if (handle_ >= 0) {
        ::close(handle_);
    }
}

HeldNewFile::HeldNewFile(const QString& path, int mode)
{
    const QByteArray name = encoded(path);
    const int handle = createNew(name, O_RDWR, mode);
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

void HeldNewFile::releaseBeforeRename() {}

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

int copyToNewFile(const QString& from, const QString& to, Links links)
{
    const int source = ::open(encoded(from).constData(),
                              O_RDONLY | O_NONBLOCK | O_CLOEXEC | (links == Links::Follow ? 0 : O_NOFOLLOW));
    struct stat opened {};
    if (source < 0 || ::fstat(source, &opened) != 0) {
        const int error = errno;
        if (source >= 0) {
            ::close(source);
        }
        return error;
    }
    // Never more open than what it copies.
    const int target = createNew(encoded(to), O_WRONLY, int(opened.st_mode & 0777));
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

FileProbe probeFile(const QString& path, int headerBytes, Links links)
{
    FileProbe probe;
    const QFileInfo info(path);
    if (links == Links::Refuse && info.isSymLink()) {
        probe.type = FileProbe::Type::Link;
        return probe;
    }
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

std::optional<FileIdentity> identityOf(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        return std::nullopt;
    }
    // No inode here: the time of the last write stands in for it.
    return FileIdentity{0, quint64(info.lastModified().toMSecsSinceEpoch()), info.size(), -1};
}

FileLock::FileLock(const QString& path, int)
{
    locked_ = identityOf(path);
}

FileLock::~FileLock() = default;

// Windows refuses to remove a file another process has open, which is hold enough.
HeldNewFile::HeldNewFile(const QString& path, int)
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

void HeldNewFile::releaseBeforeRename()
{
    file_.reset();
}

void removeIfUnheld(const QString& path)
{
    if (QFileInfo(path).isFile() && !QFileInfo(path).isSymLink()) {
        QFile::remove(path);
    }
}

int copyToNewFile(const QString& from, const QString& to, Links links)
{
    if (links == Links::Refuse && QFileInfo(from).isSymLink()) {
        return ELOOP;
    }
    return QFile::copy(from, to) ? 0 : (QFileInfo::exists(to) ? EEXIST : EIO);
}

#endif

// The error as the system's error number of this program's messages: Windows' own codes are other numbers.
int errorNumber(const std::error_code& error)
{
    if (!error) {
        return 0;
    }
    const std::error_condition condition = error.default_error_condition();
    return condition.category() == std::generic_category() ? condition.value() : EIO;
}

int hardLink(const QString& from, const QString& to)
{
    std::error_code error;
    std::filesystem::create_hard_link(nativePath(from), nativePath(to), error);
    return error == std::errc::file_exists ? EEXIST : errorNumber(error);
}

int replaceName(const QString& from, const QString& to)
{
    std::error_code error;
    std::filesystem::rename(nativePath(from), nativePath(to), error);
    return errorNumber(error);
}

int linkWithoutReplacing(const QString& from, const QString& to)
{
    const int linked = hardLink(from, to);
    if (linked == 0) {
        return 0;
    }
    if (linked == EEXIST || nameTaken(to)) {
        return EEXIST;
    }
    // Folders without hard links (FAT): only a short race with another copy of the program remains.
    return replaceName(from, to);
}

int moveToNewName(const QString& from, const QString& to)
{
    return nameTaken(to) ? EEXIST : replaceName(from, to);
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
