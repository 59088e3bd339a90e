#pragma once
// The score file billard.mdb: an SQLite 3 database with one table `nom` holding each player's name and best
// score. Nothing else in the program touches the file.

#include "data/DatabaseFolder.h"
#include "data/DbError.h"
#include "data/Records.h"

#include <QDateTime>
#include <QList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace palinor {

struct ScanResult {
    std::vector<ScoreRecord> records; // empty when error is set
    std::optional<DbError> error;
};

struct ScoreDatabaseOptions {
    // How long a read waits for another program that holds the file, then fails with Busy.
    int readTimeoutMs = 2000;
    // How long a write waits, then fails with Busy.
    int writeTimeoutMs = 5000;
    // Decides whether the file is opened for writing; empty means QFileInfo::isWritable.
    std::function<bool(const QString& filePath)> isWritable;
    // The time that names a backup copy; empty means now.
    std::function<QDateTime()> clock;
};

class SqlConnection;

// One connection to one score file. Needs a QCoreApplication; use from the thread that created it.
// After any failure the connection is dropped, and the next operation opens the file afresh.
class ScoreDatabase {
public:
    explicit ScoreDatabase(QString filePath, ScoreDatabaseOptions options = {});
    ~ScoreDatabase();
    ScoreDatabase(const ScoreDatabase&) = delete;
    ScoreDatabase& operator=(const ScoreDatabase&) = delete;

    // Builds the file with an empty table `nom` when nothing of that name exists; leaves anything that
    // exists alone (open() judges it). Never leaves a half-built file under the real name.
    std::optional<DbError> createIfMissing();
    // Recognises the file, copies aside what an interrupted writer left, then opens it: read-only when it
    // cannot be written, holds something foreign or fails its integrity check (told in notices). Missing
    // when there is no file yet.
    std::optional<DbError> open();
    // Every record of `nom`, in no particular order, Null and odd values included. Opens when needed.
    ScanResult scan();
    // Adds a record with the name exactly as given and the three scores Null, unless a record of that exact
    // name exists when the write begins. Opens when needed.
    std::optional<DbError> registerPlayer(const QString& name);

    // What a store does to the records it finds: deletes some, adds one.
    struct Change {
        std::vector<qint64> removedRowIds;
        QString name;
        std::optional<int> score; // nothing: no record added
    };
    using ChangeFor = std::function<Change(const std::vector<ScoreRecord>& records)>;
    // Reads every record and applies what decide makes of them, in one write transaction: no other copy of
    // the program writes in between, and afterwards the file holds all of it or none of it. after, when
    // given, gets the records as the change leaves them. Opens when needed.
    std::optional<DbError> storeScore(const ChangeFor& decide, std::vector<ScoreRecord>* after = nullptr);
    // Deletes the listed records that carry `name`, then adds `name` with `score`, as storeScore does.
    /* rowIds from scan() */
    std::optional<DbError> replaceScore(const std::vector<qint64>& removedRowIds, const QString& name,
                                        int score);
    // Also done by the destructor.
    void close();

    bool isOpen() const { return connection_ != nullptr; }
    // Opened read-only: listing works, every write is refused with the reason.
    bool isReadOnly() const { return readOnlyBecause_.has_value(); }
    QString filePath() const { return filePath_; }
    // What the opens since the last call found that the user must be told, though the file could be used:
    // a backup made, a file that will not be written.
    QList<DbError> takeNotices();

private:
    std::optional<DbError> openChecked(bool mayRecover);
    std::optional<DbError> inWriteTransaction(const std::function<std::optional<DbError>()>& statements);
    // Reads every record on the open connection; a failure is not dropped here.
    std::optional<DbError> readRecords(std::vector<ScoreRecord>* records);
    // Drops the connection after a failure and hands the failure on.
    DbError dropped(DbError error);

    QString filePath_;
    ScoreDatabaseOptions options_;
    std::unique_ptr<SqlConnection> connection_;
    std::optional<DbError> readOnlyBecause_;
    QList<DbError> notices_;
};

} // namespace palinor
