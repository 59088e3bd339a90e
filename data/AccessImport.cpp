#include "data/AccessImport.h"

#include "data/FileCreation.h"
#include "data/FileSystem.h"
#include "data/SqlConnection.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringDecoder>
#include <cerrno>
#include <memory>

namespace palinor {

namespace {

using Kind = DbError::Kind;

constexpr qint64 kJetPage = 4096;
constexpr int kVersionOffset = 0x14;

// The reader's output, taken apart line by line; any departure from its format makes it garbage.
class ReaderOutput {
public:
    explicit ReaderOutput(QByteArray bytes) : bytes_(std::move(bytes)) {}

    std::optional<QByteArray> line()
    {
        const qsizetype end = bytes_.indexOf('\n', at_);
        if (end < 0) {
            return std::nullopt;
        }
        QByteArray found = bytes_.mid(at_, end - at_);
        at_ = end + 1;
        return found;
    }
    // A number after a fixed word: "LIGNES 14".
    std::optional<qint64> counted(const char* word)
    {
        const std::optional<QByteArray> found = line();
        const QByteArray prefix = QByteArray(word) + ' ';
        if (!found || !found->startsWith(prefix)) {
            return std::nullopt;
        }
        bool ok = false;
        const qint64 n = found->mid(prefix.size()).toLongLong(&ok);
        return ok && n >= 0 ? std::optional(n) : std::nullopt;
    }
    // "N", or "T <length>" and a line of exactly that many bytes. Absent: garbage.
    std::optional<std::optional<QByteArray>> field()
    {
        const std::optional<QByteArray> kind = line();
        if (kind == QByteArray("N")) {
            return std::optional<QByteArray>();
        }
        bool ok = false;
        const qint64 length = kind && kind->startsWith("T ") ? kind->mid(2).toLongLong(&ok) : -1;
        if (!ok || length < 0 || at_ + length >= bytes_.size() || bytes_.at(at_ + length) != '\n') {
            return std::nullopt;
        }
        QByteArray value = bytes_.mid(at_, length);
        at_ += length + 1;
        return std::optional(std::move(value));
    }
    bool atEnd() const { return at_ == bytes_.size(); }

private:
    QByteArray bytes_;
    qsizetype at_ = 0;
};

std::optional<QString> utf8(const QByteArray& bytes, bool* readable)
{
    QStringDecoder decode(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    // An empty text stays a text: a null QString would be stored as Null.
    QString text = QStringLiteral("");
    text += decode(bytes);
    *readable = *readable && !decode.hasError();
    return text;
}

std::optional<qint64> number(const QByteArray& text, bool* readable)
{
    bool ok = false;
    const qint64 n = text.toLongLong(&ok);
    *readable = *readable && ok;
    return n;
}

// What the reader refuses, in the user's words.
QString refusal(const QByteArray& reason)
{
    if (reason == "table") {
        return QStringLiteral("il ne contient pas de table « nom »");
    }
    if (reason == "champs") {
        return QStringLiteral("sa table « nom » n'a pas les champs « Nom Complet », « Score », « Score1 » et "
                              "« Score2 »");
    }
    if (reason == "ligne") {
        return QStringLiteral("une de ses lignes est illisible ; le fichier est sans doute tronqué ou endommagé");
    }
    return QStringLiteral("il est illisible ou endommagé");
}

// "billard-ancien.mdb", or the first of "billard-ancien-2.mdb", "-3"… that is free.
QString keptName(const QString& path)
{
    const QFileInfo file(path);
    const QString stem = file.completeBaseName() + QStringLiteral("-ancien");
    const QString suffix = file.suffix().isEmpty() ? QString() : QLatin1Char('.') + file.suffix();
    for (int n = 1;; ++n) {
        const QString name = n == 1 ? stem + suffix : QStringLiteral("%1-%2%3").arg(stem).arg(n).arg(suffix);
        const QString candidate = file.absoluteDir().filePath(name);
        if (!QFileInfo::exists(candidate) && !QFileInfo(candidate).isSymLink()) {
            return candidate;
        }
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

AccessFormat accessFormat(const QByteArray& header, qint64 size)
{
    const QByteArray signature = header.mid(4, 15);
    if (signature == "Standard ACE DB") {
        return AccessFormat::Ace;
    }
    if (signature != "Standard Jet DB" || header.size() <= kVersionOffset) {
        return AccessFormat::NotAccess;
    }
    switch (header.at(kVersionOffset)) {
    case 0:
        return AccessFormat::Jet3;
    case 1:
        return size % kJetPage == 0 ? AccessFormat::Jet4 : AccessFormat::Truncated;
    default:
        return AccessFormat::Ace;
    }
}

AccessFormat accessFormatOf(const QString& path)
{
    const FileProbe probe = probeFile(path, kVersionOffset + 1);
    return probe.type == FileProbe::Type::Regular ? accessFormat(probe.header, probe.size)
                                                  : AccessFormat::NotAccess;
}

QString accessReaderPath()
{
#ifdef Q_OS_WIN
    const QString name = QStringLiteral("palinor-access-reader.exe");
#else
    const QString name = QStringLiteral("palinor-access-reader");
#endif
    // Beside the program in the build and in the Windows folder; in libexec once installed.
    const QDir program(QCoreApplication::applicationDirPath());
    const QString beside = program.filePath(name);
    const QString installed = QDir::cleanPath(program.filePath(QStringLiteral(PALINOR_INSTALLED_READER_DIR "/") + name));
    return QFileInfo::exists(beside) || !QFileInfo::exists(installed) ? beside : installed;
}

AccessReading readAccessFile(const QString& path, const QString& reader, int timeoutMs)
{
    const QString garbled = QStringLiteral("le lecteur des fichiers Access n'a pas donné de réponse lisible");
    AccessReading result;
    const auto refused = [&](const QString& why) {
        result = AccessReading{};
        result.error = dbError(Kind::ImportFailed, path, why);
        return result;
    };
    if (!QFileInfo(reader).isExecutable()) {
        return refused(QStringLiteral("le lecteur des fichiers Access, « %1 », est introuvable")
                           .arg(QDir::toNativeSeparators(reader)));
    }
    QProcess process;
    process.setProgram(reader);
    process.setArguments({QFileInfo(path).absoluteFilePath()});
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(QIODevice::ReadOnly);
    if (!process.waitForStarted(timeoutMs)) {
        return refused(QStringLiteral("le lecteur des fichiers Access n'a pas pu être lancé"));
    }
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(1000);
        return refused(QStringLiteral("sa lecture a duré plus de %1 secondes").arg(timeoutMs / 1000));
    }
    if (process.exitStatus() == QProcess::CrashExit) {
        return refused(QStringLiteral("le lecteur des fichiers Access s'est arrêté brutalement ; le fichier est "
                                      "sans doute endommagé"));
    }
    ReaderOutput output(process.readAllStandardOutput());
    const std::optional<QByteArray> header = output.line();
    if (header && header->startsWith("ERREUR ")) {
        return refused(refusal(header->mid(7)));
    }
    const std::optional<qint64> rows = output.counted("LIGNES");
    if (header != QByteArray("PALINOR-ACCESS 1") || !rows) {
        return refused(garbled);
    }
    for (qint64 row = 0; row < *rows; ++row) {
        const std::optional<QByteArray> mark = output.line();
        if (mark && mark->startsWith("ERREUR ")) {
            return refused(refusal(mark->mid(7)));
        }
        if (mark && mark->startsWith("FIN ")) {
            return refused(QStringLiteral("seules %1 de ses %2 lignes ont pu être lues").arg(row).arg(*rows));
        }
        if (mark != QByteArray("E")) {
            return refused(garbled);
        }
        std::optional<std::optional<QByteArray>> fields[4];
        for (auto& field : fields) {
            field = output.field();
            if (!field) {
                return refused(garbled);
            }
        }
        bool readable = true;
        AccessRecord record;
        record.name = *fields[0] ? utf8(**fields[0], &readable) : std::nullopt;
        record.score = *fields[1] ? number(**fields[1], &readable) : std::nullopt;
        record.score1 = *fields[2] ? number(**fields[2], &readable) : std::nullopt;
        record.score2 = *fields[3] ? number(**fields[3], &readable) : std::nullopt;
        if (readable) {
            result.records << record;
        } else {
            ++result.unreadable;
        }
    }
    if (output.counted("FIN") != rows || !output.atEnd() || process.exitCode() != 0) {
        return refused(garbled);
    }
    return result;
}

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
        return failed(QStringLiteral("c'est une base Access 2007 ou plus récente (moteur ACE), et seul le format "
                                     "Access 2000 de l'ancienne version est importé"));
    case AccessFormat::Truncated:
        return failed(QStringLiteral("il est tronqué ou endommagé : sa taille n'est pas un nombre entier de pages "
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
    QString temp;
    std::unique_ptr<HeldNewFile> held;
    for (int attempt = 0; attempt < 8 && !(held && held->isOpen()); ++attempt) {
        temp = temporaryNameFor(path);
        held = std::make_unique<HeldNewFile>(temp);
    }
    if (!held->isOpen()) {
        return failed(QStringLiteral("le nouveau fichier n'a pas pu être créé dans son dossier (%1)")
                          .arg(systemCause(held->error())));
    }
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
        return failed(QStringLiteral("le nouveau fichier n'a pas pu prendre son nom (%1)").arg(systemCause(error)));
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
                    : QStringLiteral(" %1 enregistrements illisibles n'ont pas été importés.").arg(import.unreadable);
    }
    return text + QStringLiteral(" L'ancien fichier est gardé tel quel sous le nom « %1 ».")
                      .arg(QDir::toNativeSeparators(import.keptAs));
}

} // namespace palinor
