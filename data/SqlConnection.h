#pragma once
// One named Qt SQL connection to a score file, set up as the program needs it, closed and unregistered when
// destroyed.

#include "data/DbError.h"

#include <QList>
#include <QSqlDatabase>
#include <QStringList>
#include <optional>

namespace palinor {

// The refusal for a path too long for the engine, if it is: SQLite names at most 512 bytes, and the name of
// its journal is the file's followed by "-journal". `longerBy`: what a temporary name adds to it.
std::optional<DbError> pathTooLong(const QString& path, int longerBy = 0);

class SqlConnection {
public:
    /* readOnly: SQLite itself refuses every write. busyTimeoutMs: how long a statement waits for a lock. */
    SqlConnection(const QString& path, bool readOnly, int busyTimeoutMs);
    ~SqlConnection();
    SqlConnection(const SqlConnection&) = delete;
    SqlConnection& operator=(const SqlConnection&) = delete;

    // Why the connection could not be opened and set up, if it could not; then nothing else works.
    const std::optional<DbError>& failure() const { return failure_; }
    QSqlDatabase& db() { return db_; }
    bool readOnly() const { return readOnly_; }

    // Runs one statement whose rows are not wanted, as a write or a read.
    std::optional<DbError> run(const QString& statement, bool writing);
    // Every row of one statement, as texts.
    std::optional<DbError> rows(const QString& statement, QList<QStringList>* result);
    // The first column of the first row of one statement; empty when there is none.
    std::optional<DbError> text(const QString& statement, QString* result);
    std::optional<DbError> setBusyTimeout(int milliseconds);

private:
    QString path_;
    QString name_;
    QSqlDatabase db_;
    bool readOnly_;
    std::optional<DbError> failure_;
};

} // namespace palinor
