#include "data/DatabaseFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <algorithm>
#include <filesystem>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace palinor {

QString usableFolder(const QByteArray& folder)
{
    const QString text = QFile::decodeName(folder);
    if (QFile::encodeName(text) == folder) {
        return text;
    }
#ifdef Q_OS_UNIX
    return ::chdir(folder.constData()) == 0 ? QStringLiteral(".") : QString();
#else
    return text;
#endif
}

QString programFolder()
{
    static const QString folder = [] {
#ifdef Q_OS_LINUX
        // Qt gives the executable's folder as text, which loses what is not in the system's encoding.
        QByteArray exe(4096, '\0');
        const ssize_t length = ::readlink("/proc/self/exe", exe.data(), size_t(exe.size()));
        if (length > 0 && length < exe.size()) {
            exe.truncate(length);
            const QString usable = usableFolder(exe.left(std::max<qsizetype>(1, exe.lastIndexOf('/'))));
            if (!usable.isEmpty()) {
                return usable;
            }
        }
#endif
        return QCoreApplication::applicationDirPath();
    }();
    return folder;
}

bool canCreateFilesIn(const QString& folder)
{
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        return false;
    }
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".palinor-probe-XXXXXX")));
    return probe.open();
}

bool isInstalledProgram(const QString& programFolder)
{
    const QDir folder(programFolder);
    return QFileInfo::exists(folder.filePath(QStringLiteral("Uninstall.exe"))) ||
           QFileInfo::exists(folder.filePath(
               QStringLiteral("../share/applications/%1.desktop").arg(QLatin1String(kDesktopId))));
}

QString chooseDatabaseFolder(const QString& programFolder, const QString& userDataFolder, bool installed,
                             const std::function<bool(const QString&)>& canWrite)
{
    // Nothing is left behind: a file already there is the user's, installed program or not.
    if (QFileInfo::exists(QDir(programFolder).filePath(QLatin1String(kDatabaseFileName))) ||
        userDataFolder.isEmpty()) {
        return programFolder;
    }
    // SQLite writes its journal beside the file, so a writable file alone in a locked folder is no use.
    return !installed && canWrite(programFolder) ? programFolder : userDataFolder;
}

DatabaseLocation locateDatabase()
{
    const QString program = programFolder();
    const QString userFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    const QString folder = chooseDatabaseFolder(program, userFolder, isInstalledProgram(program));
    DatabaseLocation location{QDir(folder).filePath(QLatin1String(kDatabaseFileName)), std::nullopt};
    if (folder != program) {
        std::error_code error;
        std::filesystem::create_directories(QFile::encodeName(folder).toStdString(), error);
        if (error) {
            location.error = dbError(DbError::Kind::NoDataFolder, folder, systemCause(error.value()));
        }
    }
    return location;
}

} // namespace palinor
