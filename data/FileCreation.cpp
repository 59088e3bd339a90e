#include "data/FileCreation.h"

#include "data/SqlConnection.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <cerrno>

namespace palinor {

namespace {

using Kind = DbError::Kind;

// Only files of the creation's own naming that no running creation holds.
void removeStaleTemporaries(const QString& path)
{
    const QFileInfo target(path);
    const QDir folder = target.dir();
    const QStringList found = folder.entryList({target.fileName() + QStringLiteral(".*.tmp*")},
                                               QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : found) {
        if (isCreationLeftover(name, target.fileName()) && !name.endsWith(QStringLiteral("-journal"))) {
            removeIfUnheld(folder.filePath(name));
        }
    }
    // A journal outlives its file only when the creation died: a running one still holds its file.
    for (const QString& name : found) {
        if (isCreationLeftover(name, target.fileName()) && name.endsWith(QStringLiteral("-journal")) &&
            !QFileInfo::exists(folder.filePath(name.chopped(8)))) {
            removeIfUnheld(folder.filePath(name));
        }
    }
}

DbError cannotCreate(const QString& path, int error)
{
    if (error == EACCES || error == EPERM) {
        return dbError(
            Kind::CannotCreate, path,
            QStringLiteral("son dossier « %1 » n'accepte pas de nouveau fichier (droits insuffisants)")
                .arg(QDir::toNativeSeparators(QFileInfo(path).absolutePath())));
    }
    return dbError(Kind::CannotCreate, path, systemCause(error));
}

DbError cannotCreate(const QString& path, const DbError& engine)
{
    switch (engine.kind) {
    case Kind::DiskFull:
        return cannotCreate(path, ENOSPC);
    case Kind::ReadOnly:
        return cannotCreate(path, EACCES);
    default:
        return dbError(Kind::CannotCreate, path, QStringLiteral("le moteur SQLite n'a pas pu l'écrire"));
    }
}

} // namespace

HeldTemporary holdTemporaryFor(const QString& path, int mode)
{
    HeldTemporary held;
    // Another name only when this one was taken: any other failure would come again.
    for (int attempt = 0; attempt < 8; ++attempt) {
        held.path =
            QStringLiteral("%1.%2.tmp").arg(path).arg(QRandomGenerator::global()->generate64(), 0, 36);
        held.file = std::make_unique<HeldNewFile>(held.path, mode);
        if (held.file->isOpen() || (held.file->error() != EEXIST && held.file->error() != EAGAIN)) {
            break;
        }
    }
    return held;
}

void HeldTemporary::remove() const
{
    QFile::remove(path);
    QFile::remove(path + QStringLiteral("-journal"));
}

QString createTableStatement()
{
    return QStringLiteral("CREATE TABLE nom (\"Nom Complet\" TEXT, \"Score\" SMALLINT, \"Score1\" SMALLINT, "
                          "\"Score2\" SMALLINT)");
}

bool isCreationLeftover(const QString& fileName, const QString& databaseFileName)
{
    const QRegularExpression pattern(QStringLiteral("^%1\\.[0-9a-z]{1,13}\\.tmp(-journal)?$")
                                         .arg(QRegularExpression::escape(databaseFileName)));
    return pattern.match(fileName).hasMatch();
}

QString finishedImportName(const QString& path)
{
    return path + QStringLiteral(".import");
}

std::optional<DbError> createScoreFile(const QString& path)
{
    removeStaleTemporaries(path);
    if (probeFile(path, 0).type != FileProbe::Type::Missing || QFileInfo(path).isSymLink()) {
        return std::nullopt;
    }
    // An import stopped between its last two renames, where the folder has no hard links: its finished file
    // holds the scores.
    const QString finished = finishedImportName(path);
    if (probeFile(finished, 0, Links::Refuse).type == FileProbe::Type::Regular &&
        moveToNewName(finished, path) == 0) {
        return std::nullopt;
    }
    if (auto tooLong = pathTooLong(path, kTemporaryLonger)) {
        return tooLong;
    }
    const HeldTemporary held = holdTemporaryFor(path);
    if (!held.file->isOpen()) {
        return cannotCreate(path, held.file->error());
    }
    const QString& temp = held.path;

    std::optional<DbError> failure;
    {
        SqlConnection connection(temp, false, 0);
        failure = connection.failure();
        if (!failure) {
            failure = connection.run(createTableStatement(), true);
        }
        if (failure) {
            failure = cannotCreate(path, *failure);
        }
    }
    if (!failure) {
        // Taken already means another copy of the program created it first: theirs is kept.
        if (const int error = linkWithoutReplacing(temp, path); error != 0 && error != EEXIST) {
            failure = cannotCreate(path, error);
        }
    }
    held.remove();
    return failure;
}

} // namespace palinor
