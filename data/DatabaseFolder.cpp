#include "data/DatabaseFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <filesystem>

namespace palinor {

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
    return QFileInfo::exists(
        QDir(programFolder)
            .filePath(QStringLiteral("../share/applications/%1.desktop").arg(QLatin1String(kDesktopId))));
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
    const QString programFolder = QCoreApplication::applicationDirPath();
    const QString userFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    const QString folder = chooseDatabaseFolder(programFolder, userFolder, isInstalledProgram(programFolder));
    DatabaseLocation location{QDir(folder).filePath(QLatin1String(kDatabaseFileName)), std::nullopt};
    if (folder != programFolder) {
        std::error_code error;
        std::filesystem::create_directories(QFile::encodeName(folder).toStdString(), error);
        if (error) {
            location.error = dbError(DbError::Kind::NoDataFolder, folder, systemCause(error.value()));
        }
    }
    return location;
}

} // namespace palinor
