#include "data/SqlConnection.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUrl>
#include <atomic>
#include <cstring>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace palinor {

namespace {

QString nextConnectionName()
{
    static std::atomic<quint64> counter{0};
    return QStringLiteral("palinor-scores-%1").arg(counter.fetch_add(1));
}

// mode=rw/ro keeps SQLite from creating a file that is missing by the time it opens it.
// A relative name stays relative: the current directory may be one whose name text cannot hold.
QString sqliteUri(const QString& path, bool readOnly)
{
    const QString mode = readOnly ? QStringLiteral("mode=ro") : QStringLiteral("mode=rw");
    if (QFileInfo(path).isRelative()) {
        return QStringLiteral("file:%1?%2")
            .arg(QString::fromLatin1(QUrl::toPercentEncoding(path, "/")), mode);
    }
    QUrl url = QUrl::fromLocalFile(path);
    url.setQuery(mode);
    return url.toString(QUrl::FullyEncoded);
}

// The path's bytes from the root, as the engine measures it.
qsizetype absoluteLength(const QString& path)
{
    qsizetype length = QFile::encodeName(path).size();
    if (QFileInfo(path).isRelative()) {
#ifdef Q_OS_UNIX
        char current[4096];
        length += ::getcwd(current, sizeof current) ? qsizetype(std::strlen(current)) + 1 : 0;
#else
        length += QFile::encodeName(QDir::currentPath()).size() + 1;
#endif
    }
    return length;
}

} // namespace

std::optional<DbError> pathTooLong(const QString& path, int longerBy)
{
    constexpr qsizetype kLongest = 512 - 8;
    const qsizetype bytes = absoluteLength(path);
    if (bytes + longerBy <= kLongest) {
        return std::nullopt;
    }
    return dbError(DbError::Kind::PathTooLong, path,
                   QStringLiteral("il compte %1 octets, et le moteur n'en accepte pas plus de %2")
                       .arg(bytes)
                       .arg(kLongest - longerBy));
}

SqlConnection::SqlConnection(const QString& path, bool readOnly, int busyTimeoutMs)
    : path_(path), name_(nextConnectionName()), readOnly_(readOnly)
{
    if ((failure_ = pathTooLong(path))) {
        return;
    }
    db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
    db_.setDatabaseName(sqliteUri(path, readOnly));
    QString options = QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeoutMs);
    if (readOnly) {
        options += QStringLiteral(";QSQLITE_OPEN_READONLY");
    }
    db_.setConnectOptions(options);
    if (!db_.open()) {
        failure_ = engineError(path_, db_.lastError(), false);
        return;
    }
    // Nothing stored in the file may run code of its own, nor call itself without end.
    for (const char* setting :
         {"PRAGMA trusted_schema = OFF", "PRAGMA recursive_triggers = OFF", "PRAGMA cell_size_check = ON"}) {
        if ((failure_ = run(QString::fromLatin1(setting), false))) {
            return;
        }
    }
    if (!readOnly) {
        // Full syncs around the rollback journal: a crash leaves the old records or the new, never neither.
        failure_ = run(QStringLiteral("PRAGMA synchronous = FULL"), false);
    }
}

SqlConnection::~SqlConnection()
{
    db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(name_);
}

std::optional<DbError> SqlConnection::run(const QString& statement, bool writing)
{
    QSqlQuery query(db_);
    if (!query.exec(statement)) {
        return engineError(path_, query.lastError(), writing);
    }
    return std::nullopt;
}

std::optional<DbError> SqlConnection::rows(const QString& statement, QList<QStringList>* result)
{
    QSqlQuery query(db_);
    query.setForwardOnly(true);
    if (!query.exec(statement)) {
        return engineError(path_, query.lastError(), false);
    }
    while (query.next()) {
        QStringList columns;
        for (int i = 0; i < query.record().count(); ++i) {
            columns << query.value(i).toString();
        }
        result->append(columns);
    }
    if (query.lastError().isValid()) {
        return engineError(path_, query.lastError(), false);
    }
    return std::nullopt;
}

std::optional<DbError> SqlConnection::text(const QString& statement, QString* result)
{
    QList<QStringList> found;
    auto failure = rows(statement, &found);
    *result = found.value(0).value(0);
    return failure;
}

std::optional<DbError> SqlConnection::setBusyTimeout(int milliseconds)
{
    return run(QStringLiteral("PRAGMA busy_timeout = %1").arg(milliseconds), false);
}

} // namespace palinor
