#include "data/AccessReader.h"

#include "data/DatabaseFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStringDecoder>

namespace palinor {

namespace {

using Kind = DbError::Kind;

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
    if (reason == "pilote") {
        return QStringLiteral(
            "le pilote ODBC « Microsoft Access Driver (*.mdb) » de Windows, qui lit les fichiers Access, "
            "n'est "
            "pas installé ; installez le « Microsoft Access Database Engine » (moteur de base de données "
            "Access, gratuit, sur le site de Microsoft) en version 32 bits, puis recommencez");
    }
    if (reason == "ligne") {
        return QStringLiteral(
            "une de ses lignes est illisible ; le fichier est sans doute tronqué ou endommagé");
    }
    return QStringLiteral("il est illisible ou endommagé");
}

} // namespace

QString accessReaderPath()
{
#ifdef Q_OS_WIN
    const QString name = QStringLiteral("palinor-access-reader.exe");
#else
    const QString name = QStringLiteral("palinor-access-reader");
#endif
    // Beside the program in the build and in the Windows folder; in libexec once installed.
    const QDir program(programFolder());
    const QString beside = program.filePath(name);
    const QString installed =
        QDir::cleanPath(program.filePath(QStringLiteral(PALINOR_INSTALLED_READER_DIR "/") + name));
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
#ifdef Q_OS_WIN
    // Some drivers find the file only from the folder their reader starts in (mdbtools' standing in for Jet
    // under Wine).
    process.setWorkingDirectory(QFileInfo(path).absolutePath());
#endif
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
        return refused(
            QStringLiteral("le lecteur des fichiers Access s'est arrêté brutalement ; le fichier est "
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

} // namespace palinor
