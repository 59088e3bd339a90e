#pragma once
// The few file operations the score file needs beyond Qt's: looking at a name without ever blocking,
// creating a file that a cleanup by another copy of the program leaves alone, copying with the cause of a
// failure.

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

class QFile;

namespace palinor {

// What is found under a name; symbolic links are followed.
struct FileProbe {
    enum class Type { Missing, Regular, Folder, Fifo, Device, Socket, Other, Unreadable };
    Type type = Type::Missing;
    int error = 0; // the system's error number when Unreadable
    qint64 size = 0;
    QByteArray header; // the first bytes of a regular file
};

// Opens nothing but a regular file, so a named pipe or a device never blocks the program.
FileProbe probeFile(const QString& path, int headerBytes);

// A new file, created only if the name is free, and marked as in use until destroyed.
class HeldNewFile {
public:
    explicit HeldNewFile(const QString& path);
    ~HeldNewFile();
    HeldNewFile(const HeldNewFile&) = delete;
    HeldNewFile& operator=(const HeldNewFile&) = delete;

    bool isOpen() const { return handle_ >= 0; }
    // The system's error number when not open; EEXIST when the name was taken.
    int error() const { return error_; }

private:
    int handle_ = -1;
    int error_ = 0;
    std::unique_ptr<QFile> file_; // where the system has no flock, the open file is the hold
};

// Removes a regular file (never a link or anything else) unless a HeldNewFile holds it.
void removeIfUnheld(const QString& path);

// Gives `from` the name `to` unless `to` exists. Returns 0 or the system's error number.
int linkWithoutReplacing(const QString& from, const QString& to);
// Copies a file to a new name that must be free. Returns 0 or the system's error number.
int copyToNewFile(const QString& from, const QString& to);
// Renames within one folder without replacing. Returns 0 or the system's error number.
int moveToNewName(const QString& from, const QString& to);

// Whether anything has this name, a dangling link included.
bool nameTaken(const QString& path);
// stem + extension, or the first of stem "-2", "-3"… + extension that isFree accepts.
QString firstFreeName(const QString& stem, const QString& extension,
                      const std::function<bool(const QString& name)>& isFree);

} // namespace palinor
