#include "data/Leftovers.h"

#include "data/FileSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <algorithm>

namespace palinor {

namespace {

using Kind = DbError::Kind;

const QStringList kSideSuffixes = {QStringLiteral("-journal"), QStringLiteral("-wal"),
                                   QStringLiteral("-shm")};

QString quoted(const QString& path)
{
    return QStringLiteral("« %1 »").arg(shownPath(path));
}

// "billard.mdb.sauvegarde-20261206-2130", then "-2", "-3"... when that name or one of its side files is
// taken.
QString freeBackupName(const QString& path, const QDateTime& now)
{
    const QString stem =
        path + QStringLiteral(".sauvegarde-") + now.toString(QStringLiteral("yyyyMMdd-HHmm"));
    return firstFreeName(stem, {}, [](const QString& name) {
        const auto taken = [&name](const QString& suffix) { return nameTaken(name + suffix); };
        return !taken(QString()) && std::none_of(kSideSuffixes.begin(), kSideSuffixes.end(), taken);
    });
}

struct SideFile {
    QString suffix;
    bool move; // moved aside, so that SQLite never sees it; otherwise copied
};

bool sameContents(const QString& a, const QString& b)
{
    QFile first(a), second(b);
    return first.size() == second.size() && first.open(QIODevice::ReadOnly) &&
           second.open(QIODevice::ReadOnly) && first.readAll() == second.readAll();
}

// A leftover that a repair could not apply stays: the copy made of it and of the file at an earlier opening,
// both unchanged since, is the one, and the user was told of it then.
bool alreadyBackedUp(const QString& path, const QList<SideFile>& sides)
{
    const QFileInfo file(path);
    const QDir folder = file.dir();
    const QStringList backups = folder.entryList({file.fileName() + QStringLiteral(".sauvegarde-*")},
                                                 QDir::Files | QDir::Hidden | QDir::System);
    return std::any_of(backups.begin(), backups.end(), [&](const QString& name) {
        const QString backup = folder.filePath(name);
        return sameContents(path, backup) &&
               std::all_of(sides.begin(), sides.end(), [&](const SideFile& side) {
                   const bool kept = QFileInfo::exists(backup + side.suffix);
                   return kept == QFileInfo::exists(path + side.suffix) &&
                          (!kept || sameContents(path + side.suffix, backup + side.suffix));
               });
    });
}

// The file copied to a new backup name, and each side file that exists copied or moved beside the copy.
SetAside backUp(const QString& path, const QList<SideFile>& sides, const QDateTime& now, Kind told)
{
    const bool copiedOnly =
        std::none_of(sides.begin(), sides.end(), [](const SideFile& s) { return s.move; });
    if (copiedOnly && alreadyBackedUp(path, sides)) {
        return {};
    }
    const QString backup = freeBackupName(path, now);
    QStringList made;
    const auto refuse = [&](int error, const QString& target) {
        for (const QString& file : made) {
            QFile::remove(file); // an incomplete copy would only mislead
        }
        return SetAside{dbError(Kind::NeedsRecovery, path,
                                QStringLiteral("la copie de sauvegarde %1 n'a pas pu être faite (%2)")
                                    .arg(quoted(target), systemCause(error))),
                        {}};
    };
    if (const int error = copyToNewFile(path, backup)) {
        return refuse(error, backup);
    }
    made << backup;
    for (const SideFile& side : sides) {
        const QString from = path + side.suffix, to = backup + side.suffix;
        if (!QFileInfo::exists(from)) {
            continue;
        }
        if (const int error = side.move ? moveToNewName(from, to) : copyToNewFile(from, to, Links::Refuse)) {
            return refuse(error, to);
        }
        made << to;
    }
    QStringList names;
    for (const QString& file : made) {
        names << quoted(file);
    }
    const QString list = names.size() == 1 ? names[0]
                                           : names.mid(0, names.size() - 1).join(QStringLiteral(", ")) +
                                                 QStringLiteral(" et ") + names.last();
    return {{}, dbError(told, path, list)};
}

} // namespace

SetAside setAsideWriteAheadLog(const QString& path, bool walMode, const QDateTime& now)
{
    if (walMode) {
        return backUp(path, {{QStringLiteral("-wal"), false}, {QStringLiteral("-shm"), false}}, now,
                      Kind::Recovered);
    }
    return backUp(path, {{QStringLiteral("-wal"), true}, {QStringLiteral("-shm"), true}}, now,
                  Kind::ForeignLogSetAside);
}

SetAside backUpBeforeRollback(const QString& path, const QDateTime& now)
{
    return backUp(path, {{QStringLiteral("-journal"), false}}, now, Kind::Recovered);
}

} // namespace palinor
