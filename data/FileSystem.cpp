#include "data/FileSystem.h"

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
#else
#include <QDir>
#include <algorithm>
#include <string>
#include <vector>
#include <windows.h>
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
    const int handle = ::open(encoded(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (handle < 0) {
        return;
    }
    handle_ = handle;
    // Polled, not waited for: a copy that never lets go must not freeze this one.
    const QDeadlineTimer deadline(timeoutMs);
    while (::flock(handle, LOCK_EX | LOCK_NB) != 0) {
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
    if (::fstat(handle, &opened) == 0) {
        locked_ = identity(opened);
    }
}

FileLock::~FileLock()
{
    if (handle_ != -1) {
        ::close(int(handle_));
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
    if (handle_ != -1) {
        ::close(int(handle_));
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

// Windows: handles opened so that other programs may go on reading, writing, renaming and removing the file,
// as on POSIX; a lock far beyond the end of a file stands for flock, since Windows' byte locks would stop
// others from reading the bytes they cover.
namespace {

constexpr quint64 kLockOffset = quint64(1) << 62;

std::wstring wide(const QString& path)
{
    return QDir::toNativeSeparators(path).toStdWString();
}

// Windows' error code as the system's error number of this program's messages.
int errorNumberOf(DWORD code)
{
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return EACCES;
    case ERROR_WRITE_PROTECT:
        return EROFS;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_FILENAME_EXCED_RANGE:
        return ENAMETOOLONG;
    case ERROR_CANT_RESOLVE_FILENAME:
        return ELOOP;
    default:
        return EIO;
    }
}

int lastError()
{
    return errorNumberOf(::GetLastError());
}

// With Refuse, a link is opened as itself, never followed. Folders open too, for their identity.
HANDLE openFile(const QString& path, DWORD access, DWORD creation, Links links = Links::Follow)
{
    const DWORD flags = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_BACKUP_SEMANTICS |
                        (links == Links::Refuse ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
    return ::CreateFileW(wide(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, creation, flags, nullptr);
}

std::optional<BY_HANDLE_FILE_INFORMATION> informationOf(HANDLE handle)
{
    BY_HANDLE_FILE_INFORMATION information{};
    if (::GetFileInformationByHandle(handle, &information) == 0) {
        return std::nullopt;
    }
    return information;
}

FileIdentity identity(const BY_HANDLE_FILE_INFORMATION& file)
{
    return {file.dwVolumeSerialNumber, (quint64(file.nFileIndexHigh) << 32) | file.nFileIndexLow,
            qint64((quint64(file.nFileSizeHigh) << 32) | file.nFileSizeLow), -1};
}

FileProbe::Type typeOf(HANDLE handle, const BY_HANDLE_FILE_INFORMATION& file)
{
    using Type = FileProbe::Type;
    if (file.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        return Type::Link; // opened as itself: a symbolic link, a junction, a socket
    }
    if (file.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        return Type::Folder;
    }
    switch (::GetFileType(handle)) {
    case FILE_TYPE_DISK:
        return Type::Regular;
    case FILE_TYPE_PIPE:
        return Type::Fifo;
    case FILE_TYPE_CHAR:
        return Type::Device;
    default:
        return Type::Other;
    }
}

// Whether another handle holds the file's lock; takes it when free.
bool takeLock(HANDLE handle)
{
    OVERLAPPED at{};
    at.Offset = DWORD(kLockOffset);
    at.OffsetHigh = DWORD(kLockOffset >> 32);
    return ::LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at) != 0;
}

struct Closer {
    void operator()(HANDLE handle) const { ::CloseHandle(handle); }
};
using Handle = std::unique_ptr<void, Closer>;

Handle owned(HANDLE handle)
{
    return Handle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

// Removes the very file the handle has open, whatever holds its name now.
void removeThrough(HANDLE handle)
{
    FILE_DISPOSITION_INFO remove{TRUE};
    ::SetFileInformationByHandle(handle, FileDispositionInfo, &remove, sizeof remove);
}

} // namespace

FileProbe probeFile(const QString& path, int headerBytes, Links links)
{
    FileProbe probe;
    const Handle file = owned(openFile(path, GENERIC_READ, OPEN_EXISTING, links));
    const auto information = file ? informationOf(file.get()) : std::nullopt;
    if (!information) {
        probe.error = lastError();
        // A link refused as itself can be unopenable, as a socket is.
        probe.type = probe.error == ENOENT                                   ? FileProbe::Type::Missing
                     : links == Links::Refuse && QFileInfo(path).isSymLink() ? FileProbe::Type::Link
                                                                             : FileProbe::Type::Unreadable;
        return probe;
    }
    probe.type = typeOf(file.get(), *information);
    if (probe.type != FileProbe::Type::Regular) {
        return probe;
    }
    probe.size = identity(*information).size;
    probe.header.resize(headerBytes);
    DWORD got = 0;
    for (DWORD n = 1; got < DWORD(headerBytes) && n > 0; got += n) {
        if (::ReadFile(file.get(), probe.header.data() + got, DWORD(headerBytes) - got, &n, nullptr) == 0) {
            break;
        }
    }
    probe.header.truncate(got);
    return probe;
}

std::optional<FileIdentity> identityOf(const QString& path)
{
    const Handle file = owned(openFile(path, FILE_READ_ATTRIBUTES, OPEN_EXISTING));
    const auto information = file ? informationOf(file.get()) : std::nullopt;
    return information ? std::optional(identity(*information)) : std::nullopt;
}

// A mutex named after the file, not a lock on it: Windows would not let the name of a file open here be given
// to another file, which is what an import does.
FileLock::FileLock(const QString& path, int timeoutMs)
{
    const std::optional<FileIdentity> file = identityOf(path);
    if (!file) {
        return;
    }
    const std::wstring name =
        L"Local\\Palinor-" + std::to_wstring(file->device) + L"-" + std::to_wstring(file->inode);
    const HANDLE mutex = ::CreateMutexW(nullptr, FALSE, name.c_str());
    if (mutex == nullptr) {
        return;
    }
    handle_ = qintptr(mutex);
    // A copy killed while holding it lets it go: it is then "abandoned", and taken.
    switch (::WaitForSingleObject(mutex, DWORD(std::max(timeoutMs, 0)))) {
    case WAIT_OBJECT_0:
    case WAIT_ABANDONED:
        locked_ = identityOf(path);
        break;
    case WAIT_TIMEOUT:
        busy_ = true;
        break;
    default:
        break;
    }
}

FileLock::~FileLock()
{
    if (handle_ != -1) {
        ::ReleaseMutex(HANDLE(handle_)); // refused when not taken
        ::CloseHandle(HANDLE(handle_));
    }
}

HeldNewFile::HeldNewFile(const QString& path, int)
{
    const HANDLE handle = openFile(path, GENERIC_READ | GENERIC_WRITE, CREATE_NEW);
    if (handle == INVALID_HANDLE_VALUE) {
        error_ = lastError();
        return;
    }
    // A cleanup may have removed the new name before the hold was taken: then it is not ours any more.
    const auto information = informationOf(handle);
    if (!takeLock(handle) || !information || identityOf(path) != identity(*information)) {
        error_ = EAGAIN;
        ::CloseHandle(handle);
        return;
    }
    handle_ = qintptr(handle);
}

HeldNewFile::~HeldNewFile()
{
    if (handle_ != -1) {
        ::CloseHandle(HANDLE(handle_));
    }
}

void removeIfUnheld(const QString& path)
{
    const Handle file = owned(openFile(path, GENERIC_READ | DELETE, OPEN_EXISTING, Links::Refuse));
    const auto information = file ? informationOf(file.get()) : std::nullopt;
    // Removed through the handle that was looked at and locked: never another file given the name since.
    if (information && typeOf(file.get(), *information) == FileProbe::Type::Regular && takeLock(file.get())) {
        removeThrough(file.get());
    }
}

int copyToNewFile(const QString& from, const QString& to, Links links)
{
    const Handle source = owned(openFile(from, GENERIC_READ, OPEN_EXISTING, links));
    const auto information = source ? informationOf(source.get()) : std::nullopt;
    if (!information) {
        return lastError();
    }
    if (typeOf(source.get(), *information) != FileProbe::Type::Regular) {
        return information->dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT ? ELOOP : EINVAL;
    }
    const HANDLE made = ::CreateFileW(wide(to).c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (made == INVALID_HANDLE_VALUE) {
        return lastError();
    }
    const Handle target(made);
    int error = 0;
    std::vector<char> buffer(65536);
    for (DWORD n = 1; n > 0 && error == 0;) {
        DWORD written = 0;
        if (::ReadFile(source.get(), buffer.data(), DWORD(buffer.size()), &n, nullptr) == 0 ||
            ::WriteFile(target.get(), buffer.data(), n, &written, nullptr) == 0 || written != n) {
            error = lastError();
        }
    }
    // The copy is what the user falls back on: it must be on the disk before the original is touched.
    if (error == 0 && ::FlushFileBuffers(target.get()) == 0) {
        error = lastError();
    }
    if (error != 0) {
        removeThrough(target.get());
    }
    return error;
}

#endif

// The error as the system's error number of this program's messages: Windows' own codes are other numbers.
int errorNumber(const std::error_code& error)
{
    if (!error) {
        return 0;
    }
    const std::error_condition condition = error.default_error_condition();
    if (condition.category() == std::generic_category()) {
        return condition.value();
    }
#ifndef Q_OS_UNIX
    if (error.category() == std::system_category()) {
        return errorNumberOf(DWORD(error.value()));
    }
#endif
    return EIO;
}

int hardLink(const QString& from, const QString& to)
{
    std::error_code error;
    std::filesystem::create_hard_link(nativePath(from), nativePath(to), error);
    return errorNumber(error);
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
