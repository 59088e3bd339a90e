#include "data/AccessImport.h"

#include "data/AccessFormat.h"
#include "data/FileCheck.h"
#include "data/FileCreation.h"
#include "data/FileSystem.h"
#include "data/SqlConnection.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <cerrno>

namespace palinor {

namespace {

using Kind = DbError::Kind;

// "billard-ancien.mdb", or the first of "billard-ancien-2.mdb", "-3"… that is free, or that is already this
// very file: a second name an import stopped half-way gave it.
QString keptName(const QString& path, const FileIdentity& old)
{
    const QFileInfo file(path);
    const QString suffix = file.suffix().isEmpty() ? QString() : QLatin1Char('.') + file.suffix();
    return firstFreeName(file.dir().filePath(file.completeBaseName() + QStringLiteral("-ancien")), suffix,
                         [&old](const QString& name) { return !nameTaken(name) || identityOf(name) == old; });
}

// The cause of a failed write, without the temporary file's name.
QString writeFailure(const DbError& error)
{
    switch (error.kind) {
    case Kind::DiskFull:
        return systemCause(ENOSPC);
    case Kind::ReadOnly:
        return systemCause(EACCES);
    case Kind::PathTooLong:
    case Kind::Engine:
    case Kind::CannotRead:
        return error.detail;
    default:
        return QStringLiteral("le moteur SQLite l'a refusé");
    }
}

std::optional<DbError> writeRecords(const QString& temp, const QList<AccessRecord>& records)
{
    SqlConnection connection(temp, false, 0);
    if (connection.failure()) {
        return connection.failure();
    }
    if (auto failure = connection.run(createTableStatement(), true)) {
        return failure;
    }
    // As statements, not through QSqlDatabase::commit(), which drops the engine's code: a full disk must be
    // told as such.
    if (auto failure = connection.run(QStringLiteral("BEGIN"), true)) {
        return failure;
    }
    QSqlQuery insert(connection.db());
    insert.prepare(QStringLiteral(
        "INSERT INTO nom (\"Nom Complet\", \"Score\", \"Score1\", \"Score2\") VALUES (?, ?, ?, ?)"));
    const auto value = [](const auto& field) { return field ? QVariant(*field) : QVariant(); };
    for (const AccessRecord& record : records) {
        insert.bindValue(0, record.name ? QVariant(*record.name) : QVariant(QMetaType(QMetaType::QString)));
        insert.bindValue(1, value(record.score));
        insert.bindValue(2, value(record.score1));
        insert.bindValue(3, value(record.score2));
        if (!insert.exec()) {
            return engineError(temp, insert.lastError(), true);
        }
    }
    return connection.run(QStringLiteral("COMMIT"), true);
}

} // namespace

AccessImport importAccessFile(const QString& path, const QString& reader, int timeoutMs,
                              const std::function<void()>& afterStep)
{
    AccessImport result;
    result.path = path;
    const auto failed = [&](const QString& why) {
        result.error = dbError(Kind::ImportFailed, path, why);
        return result;
    };
    const auto stepDone = [&afterStep] { afterStep ? afterStep() : void(); };
    // One import of a file at a time: another copy of the program importing it is waited for, and then its
    // result is found here.
    const FileLock lock(path, timeoutMs + 5000);
    const std::optional<FileIdentity> old = lock.locked();
    const AccessFormat format = accessFormatOf(path);
    if (format == AccessFormat::NotAccess && isSqliteHeader(probeFile(path, 16).header)) {
        result.byAnotherCopy = true;
        return result;
    }
    switch (format) {
    case AccessFormat::Jet4:
        break;
    case AccessFormat::Jet3:
        return failed(QStringLiteral("c'est une base Access 97 (moteur Jet 3), et seul le format Access 2000 "
                                     "de l'ancienne version est importé"));
    case AccessFormat::Ace:
        return failed(
            QStringLiteral("c'est une base Access 2007 ou plus récente (moteur ACE), et seul le format "
                           "Access 2000 de l'ancienne version est importé"));
    case AccessFormat::Truncated:
        return failed(
            QStringLiteral("il est tronqué ou endommagé : sa taille n'est pas un nombre entier de pages "
                           "de 4096 octets"));
    case AccessFormat::NotAccess:
        return failed(QStringLiteral("ce n'est pas une base Access"));
    }
    if (!old) {
        return failed(lock.busy() ? QStringLiteral("un autre exemplaire du programme l'importe en ce moment")
                                  : systemCause(EACCES));
    }
    if (auto tooLong = pathTooLong(path, kTemporaryLonger)) {
        return failed(
            tooLong->detail.prepend(QStringLiteral("son chemin est trop long pour le moteur SQLite : ")));
    }
    const AccessReading reading = readAccessFile(path, reader, timeoutMs);
    if (reading.error) {
        result.error = reading.error;
        return result;
    }

    // Under a temporary name that a later creation clears away should the program die before the end, and
    // never more open than the old file.
    const HeldTemporary held = holdTemporaryFor(path, old->mode);
    if (!held.file->isOpen()) {
        return failed(QStringLiteral("le nouveau fichier n'a pas pu être créé dans son dossier (%1)")
                          .arg(systemCause(held.file->error())));
    }
    const QString& temp = held.path;
    const QString kept = keptName(path, *old);
    bool madeLink = false;
    const auto stillOld = [&] { return identityOf(path) == old; };
    // A failure leaves everything as it was: the old file under its own name and nothing new beside it.
    const auto undo = [&](const QString& why) {
        for (auto side = result.setAside.crbegin(); side != result.setAside.crend(); ++side) {
            moveToNewName(side->second, side->first);
        }
        result.setAside.clear();
        if (madeLink && stillOld()) {
            QFile::remove(kept);
        }
        held.remove();
        return failed(why);
    };
    if (const std::optional<DbError> failure = writeRecords(temp, reading.records)) {
        return undo(
            QStringLiteral("le nouveau fichier n'a pas pu être écrit (%1)").arg(writeFailure(*failure)));
    }
    stepDone();

    // The old file gets its second name first: whenever the program stops, billard.mdb is the old file or
    // the whole import.
    madeLink = !nameTaken(kept) && hardLink(path, kept) == 0;
    const bool linked = madeLink || identityOf(kept) == old;
    stepDone();
    // SQLite would roll a journal or a log left beside the old name into the new file.
    for (const char* suffix : {"-journal", "-wal", "-shm"}) {
        const QString side = path + QLatin1String(suffix);
        if (stillOld() && nameTaken(side)) {
            const QString aside = firstFreeName(kept + QLatin1String(suffix), {},
                                                [](const QString& name) { return !nameTaken(name); });
            if (const int error = moveToNewName(side, aside); error != 0) {
                return undo(QStringLiteral("« %1 », laissé à côté, n'a pas pu être mis de côté (%2)")
                                .arg(shownPath(side), systemCause(error)));
            }
            result.setAside.append({side, aside});
            stepDone();
        }
    }
    // Another copy of the program, or the user, has put something else under the name since it was read:
    // that is left alone and used.
    if (!stillOld()) {
        held.remove();
        result.byAnotherCopy = true;
        return result;
    }
    int error = 0;
    if (linked) {
        error = replaceName(temp, path);
    } else {
        // Without hard links: a start after a stop between these renames finds the finished file.
        const QString finished = finishedImportName(path);
        if ((error = replaceName(temp, finished)) == 0) {
            stepDone();
            if ((error = moveToNewName(path, kept)) == 0) {
                stepDone();
                if ((error = moveToNewName(finished, path)) != 0) {
                    moveToNewName(kept, path);
                }
            }
            if (error != 0) {
                QFile::remove(finished);
            }
        }
    }
    if (error != 0) {
        return undo(
            QStringLiteral("le nouveau fichier n'a pas pu prendre son nom (%1)").arg(systemCause(error)));
    }
    stepDone();
    held.remove(); // the temporary name is the new file's no more: only a journal can be left
    result.imported = static_cast<int>(reading.records.size());
    result.unreadable = reading.unreadable;
    result.keptAs = kept;
    return result;
}

QString importMessage(const AccessImport& import)
{
    if (import.error) {
        return import.error->message;
    }
    if (import.byAnotherCopy) {
        return QStringLiteral(
                   "L'ancien fichier des scores « %1 » vient d'être importé par un autre exemplaire "
                   "du programme : ses joueurs et leurs scores sont dans le nouveau fichier, qui est "
                   "gardé tel quel.")
            .arg(shownPath(import.path));
    }
    QString text = import.imported == 1
                       ? QStringLiteral("1 enregistrement a été importé de l'ancien fichier des scores.")
                       : QStringLiteral("%1 enregistrements ont été importés de l'ancien fichier des scores.")
                             .arg(import.imported);
    if (import.unreadable > 0) {
        text += import.unreadable == 1
                    ? QStringLiteral(" 1 enregistrement illisible n'a pas été importé.")
                    : QStringLiteral(" %1 enregistrements illisibles n'ont pas été importés.")
                          .arg(import.unreadable);
    }
    text += QStringLiteral(" L'ancien fichier est gardé tel quel sous le nom « %1 ».")
                .arg(shownPath(import.keptAs));
    for (const auto& [side, aside] : import.setAside) {
        text +=
            QStringLiteral(" « %1 », laissé à côté de lui par un programme arrêté, aurait été appliqué au "
                           "nouveau fichier : il a été mis de côté sous le nom « %2 ».")
                .arg(shownPath(side), shownPath(aside));
    }
    return text;
}

} // namespace palinor
