#pragma once
// The few file operations the score file needs beyond Qt's: looking at a name without ever blocking,
// creating a file that a cleanup by another copy of the program leaves alone, copying with the cause of a
// failure.

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

namespace palinor {

// What is found under a name.
struct FileProbe {
    enum class Type { Missing, Regular, Folder, Fifo, Device, Socket, Link, Other, Unreadable };
    Type type = Type::Missing;
    int error = 0; // the system's error number when Unreadable
    qint64 size = 0;
    QByteArray header; // the first bytes of a regular file
};

enum class Links { Follow, Refuse };

// Opens nothing but a regular file, so a named pipe or a device never blocks the program. With Refuse, a
// symbolic link is reported as one and never read through.
FileProbe probeFile(const QString& path, int headerBytes, Links links = Links::Follow);

// Which file a name leads to, and its size: a file renamed or replaced since is told apart.
struct FileIdentity {
    quint64 device = 0, inode = 0;
    qint64 size = -1;
    int mode = -1; // permission bits; -1 where the system has none
    bool operator==(const FileIdentity&) const = default;
};
// Nothing when the name leads to no file.
std::optional<FileIdentity> identityOf(const QString& path);

// Holds an exclusive lock on an existing file, shared by every copy of the program, until destroyed. Waits
// up to timeoutMs for another copy that holds it. Others may still read and write the file.
class FileLock {
public:
    FileLock(const QString& path, int timeoutMs);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    // The locked file as it was when the lock was taken; nothing when it could not be opened or locked.
    const std::optional<FileIdentity>& locked() const { return locked_; }
    // Another copy held it for the whole wait.
    bool busy() const { return busy_; }

private:
    qintptr handle_ = -1; // a file descriptor, or Windows' handle
    bool busy_ = false;
    std::optional<FileIdentity> locked_;
};

// A new file, created only if the name is free, and marked as in use until destroyed.
class HeldNewFile {
public:
    // mode: the permission bits it gets, or -1 for those the user's umask leaves.
    explicit HeldNewFile(const QString& path, int mode = -1);
    ~HeldNewFile();
    HeldNewFile(const HeldNewFile&) = delete;
    HeldNewFile& operator=(const HeldNewFile&) = delete;

    bool isOpen() const { return handle_ != -1; }
    // The system's error number when not open; EEXIST when the name was taken.
    int error() const { return error_; }

private:
    qintptr handle_ = -1; // a file descriptor, or Windows' handle
    int error_ = 0;
};

// Removes a regular file (never a link or anything else) unless a HeldNewFile holds it.
void removeIfUnheld(const QString& path);

// Gives `from` the name `to` unless `to` exists. Returns 0 or the system's error number.
int linkWithoutReplacing(const QString& from, const QString& to);
// A second name for a file, never a copy: an error number where the folder has no hard links.
int hardLink(const QString& from, const QString& to);
// Renames within one folder, replacing what `to` names. Returns 0 or the system's error number.
int replaceName(const QString& from, const QString& to);
// Copies a file to a new name that must be free, with the source's permission bits. Returns 0 or the
// system's error number; with Refuse, a source that is a symbolic link gives ELOOP.
int copyToNewFile(const QString& from, const QString& to, Links links = Links::Follow);
// Renames within one folder without replacing. Returns 0 or the system's error number.
int moveToNewName(const QString& from, const QString& to);

// Whether anything has this name, a dangling link included.
bool nameTaken(const QString& path);
// stem + extension, or the first of stem "-2", "-3"… + extension that isFree accepts.
QString firstFreeName(const QString& stem, const QString& extension,
                      const std::function<bool(const QString& name)>& isFree);

} // namespace palinor
