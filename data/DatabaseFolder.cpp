#include "data/DatabaseFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace palinor {

bool canCreateFilesIn(const QString& folder)
{
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        return false;
    }
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".palinor-probe-XXXXXX")));
    return probe.open();
}

QString chooseDatabaseFolder(const QString& programFolder, const QString& userDataFolder,
                             const std::function<bool(const QString&)>& canWrite)
{
    // SQLite writes its journal beside the file, so a writable file alone in a locked folder is no use.
    if (userDataFolder.isEmpty() || canWrite(programFolder)) {
        return programFolder;
    }
    return userDataFolder;
}

QString databasePath()
{
    const QString programFolder = QCoreApplication::applicationDirPath();
    const QString userFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    const QString folder = chooseDatabaseFolder(programFolder, userFolder);
    if (folder != programFolder) {
        QDir().mkpath(folder);
    }
    return QDir(folder).filePath(QString::fromLatin1(kDatabaseFileName));
}

} // namespace palinor
