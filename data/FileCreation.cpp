#include "data/FileCreation.h"

#include "data/FileSystem.h"
#include "data/SqlConnection.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <cerrno>
#include <memory>

namespace palinor {

namespace {

using Kind = DbError::Kind;


// Only files of the creation's own naming that no running creation holds.
void removeStaleTemporaries(const QString& path)
{
    const QFileInfo target(path);
    const QDir folder = target.absoluteDir();
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

QString temporaryNameFor(const QString& path)
{
    return QStringLiteral("%1.%2.tmp").arg(path).arg(QRandomGenerator::global()->generate64(), 0, 36);
}

QString createTableStatement()
{
    return QStringLiteral(
        "CREATE TABLE nom (\"Nom Complet\" TEXT, \"Score\" SMALLINT, \"Score1\" SMALLINT, \"Score2\" SMALLINT)");
}

bool isCreationLeftover(const QString& fileName, const QString& databaseFileName)
{
    const QRegularExpression pattern(QStringLiteral("^%1\\.[0-9a-z]{1,13}\\.tmp(-journal)?$")
                                         .arg(QRegularExpression::escape(databaseFileName)));
    return pattern.match(fileName).hasMatch();
}

std::optional<DbError> createScoreFile(const QString& path)
{
    removeStaleTemporaries(path);
    if (probeFile(path, 0).type != FileProbe::Type::Missing || QFileInfo(path).isSymLink()) {
        return std::nullopt;
    }
    QString temp;
    std::unique_ptr<HeldNewFile> held;
    for (int attempt = 0; attempt < 8; ++attempt) {
        temp = temporaryNameFor(path);
        held = std::make_unique<HeldNewFile>(temp);
        if (held->isOpen()) {
            break;
        }
        if (held->error() != EEXIST && held->error() != EAGAIN) {
            return cannotCreate(path, held->error());
        }
    }
    if (!held->isOpen()) {
        return cannotCreate(path, held->error());
    }

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
    QFile::remove(temp);
    QFile::remove(temp + QStringLiteral("-journal"));
    return failure;
}

} // namespace palinor
