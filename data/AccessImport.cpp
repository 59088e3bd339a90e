#include "data/AccessImport.h"

#include "data/AccessFormat.h"
#include "data/FileCreation.h"
#include "data/FileSystem.h"
#include "data/SqlConnection.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

namespace palinor {

namespace {

using Kind = DbError::Kind;

// "billard-ancien.mdb", or the first of "billard-ancien-2.mdb", "-3"… that is free.
QString keptName(const QString& path)
{
    const QFileInfo file(path);
    const QString suffix = file.suffix().isEmpty() ? QString() : QLatin1Char('.') + file.suffix();
    return firstFreeName(file.absoluteDir().filePath(file.completeBaseName() + QStringLiteral("-ancien")),
                         suffix, [](const QString& name) { return !nameTaken(name); });
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
    QSqlDatabase& db = connection.db();
    if (!db.transaction()) {
        return engineError(temp, db.lastError(), true);
    }
    QSqlQuery insert(db);
    insert.prepare(QStringLiteral(
        "INSERT INTO nom (\"Nom Complet\", \"Score\", \"Score1\", \"Score2\") VALUES (?, ?, ?, ?)"));
    const auto value = [](const auto& field) { return field ? QVariant(*field) : QVariant(); };
    for (const AccessRecord& record : records) {
        insert.bindValue(0, record.name ? QVariant(*record.name) : QVariant(QMetaType(QMetaType::QString)));
        insert.bindValue(1, value(record.score));
        insert.bindValue(2, value(record.score1));
        insert.bindValue(3, value(record.score2));
        if (!insert.exec()) {
            const DbError error = engineError(temp, insert.lastError(), true);
            db.rollback();
            return error;
        }
    }
    if (!db.commit()) {
        return engineError(temp, db.lastError(), true);
    }
    return std::nullopt;
}

} // namespace

AccessImport importAccessFile(const QString& path, const QString& reader, int timeoutMs)
{
    AccessImport result;
    const auto failed = [&](const QString& why) {
        result.error = dbError(Kind::ImportFailed, path, why);
        return result;
    };
    switch (accessFormatOf(path)) {
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
    const AccessReading reading = readAccessFile(path, reader, timeoutMs);
    if (reading.error) {
        result.error = reading.error;
        return result;
    }

    // Under a temporary name that a later creation clears away should the program die before the end.
    const HeldTemporary held = holdTemporaryFor(path);
    if (!held.file->isOpen()) {
        return failed(QStringLiteral("le nouveau fichier n'a pas pu être créé dans son dossier (%1)")
                          .arg(systemCause(held.file->error())));
    }
    const QString& temp = held.path;
    const auto removeTemp = [&temp] {
        QFile::remove(temp);
        QFile::remove(temp + QStringLiteral("-journal"));
    };
    if (const std::optional<DbError> failure = writeRecords(temp, reading.records)) {
        removeTemp();
        return failed(QStringLiteral("le nouveau fichier n'a pas pu être écrit (%1)").arg(failure->message));
    }
    const QString kept = keptName(path);
    if (const int error = moveToNewName(path, kept); error != 0) {
        removeTemp();
        return failed(QStringLiteral("il n'a pas pu être renommé « %1 » (%2)")
                          .arg(QFileInfo(kept).fileName(), systemCause(error)));
    }
    if (const int error = moveToNewName(temp, path); error != 0) {
        moveToNewName(kept, path);
        removeTemp();
        return failed(
            QStringLiteral("le nouveau fichier n'a pas pu prendre son nom (%1)").arg(systemCause(error)));
    }
    QFile::remove(temp + QStringLiteral("-journal"));
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
    return text + QStringLiteral(" L'ancien fichier est gardé tel quel sous le nom « %1 ».")
                      .arg(QDir::toNativeSeparators(import.keptAs));
}

} // namespace palinor
