#include "data/ScoreDatabase.h"

#include "data/FileCheck.h"
#include "data/FileCreation.h"
#include "data/Leftovers.h"
#include "data/SqlConnection.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <algorithm>
#include <utility>

namespace palinor {

namespace {

using Kind = DbError::Kind;

const QString kScanQuery = QStringLiteral("SELECT rowid, * FROM nom");

} // namespace

ScoreDatabase::ScoreDatabase(QString filePath, ScoreDatabaseOptions options)
    : filePath_(std::move(filePath)), options_(std::move(options))
{
}

ScoreDatabase::~ScoreDatabase() = default;

void ScoreDatabase::close()
{
    connection_.reset();
    readOnlyBecause_.reset();
}

QList<DbError> ScoreDatabase::takeNotices()
{
    return std::exchange(notices_, {});
}

DbError ScoreDatabase::dropped(DbError error)
{
    close();
    return error;
}

std::optional<DbError> ScoreDatabase::createIfMissing()
{
    return createScoreFile(filePath_);
}

std::optional<DbError> ScoreDatabase::open()
{
    close();
    return openChecked(true);
}

std::optional<DbError> ScoreDatabase::openChecked(bool mayRecover)
{
    FileFacts facts;
    if (auto refusal = recogniseFile(filePath_, &facts)) {
        return refusal;
    }
    const QDateTime now = options_.clock ? options_.clock() : QDateTime::currentDateTime();
    if (facts.writeAheadLog) {
        const SetAside aside = setAsideWriteAheadLog(filePath_, facts.walMode, now);
        if (aside.refusal) {
            return aside.refusal;
        }
        if (aside.notice) {
            notices_ << *aside.notice;
        }
    }
    const bool writable =
        options_.isWritable ? options_.isWritable(filePath_) : QFileInfo(filePath_).isWritable();

    // Everything is checked through a connection that cannot write: SQLite refuses it a hot journal.
    auto reader = std::make_unique<SqlConnection>(filePath_, true, options_.readTimeoutMs);
    const ContentVerdict verdict =
        reader->failure() ? ContentVerdict{reader->failure(), {}} : checkContents(*reader, filePath_);
    if (verdict.refusal && verdict.refusal->kind == Kind::NeedsRecovery && mayRecover && writable) {
        reader.reset();
        const SetAside backup = backUpBeforeRollback(filePath_, now);
        if (backup.refusal) {
            return backup.refusal;
        }
        if (backup.notice) {
            notices_ << *backup.notice;
        }
        {
            // Its first read rolls the journal back into the file.
            SqlConnection repair(filePath_, false, options_.writeTimeoutMs);
            QString tables;
            if (auto failure =
                    repair.failure()
                        ? repair.failure()
                        : repair.text(QStringLiteral("SELECT count(*) FROM sqlite_master"), &tables)) {
                return failure;
            }
        }
        auto reopened = openChecked(false);
        return reopened ? std::optional<DbError>(afterRepair(*reopened)) : std::nullopt;
    }
    if (verdict.refusal) {
        return verdict.refusal;
    }
    if (verdict.readOnlyBecause || !writable) {
        readOnlyBecause_ =
            verdict.readOnlyBecause ? *verdict.readOnlyBecause : dbError(Kind::ReadOnly, filePath_);
        if (verdict.readOnlyBecause) {
            notices_ << *verdict.readOnlyBecause;
        }
        connection_ = std::move(reader);
        return std::nullopt;
    }
    reader.reset();
    auto writer = std::make_unique<SqlConnection>(filePath_, false, options_.readTimeoutMs);
    if (writer->failure()) {
        return writer->failure();
    }
    connection_ = std::move(writer);
    return std::nullopt;
}

std::optional<DbError> ScoreDatabase::readRecords(std::vector<ScoreRecord>* records)
{
    QSqlQuery query(connection_->db());
    query.setForwardOnly(true);
    if (!query.prepare(kScanQuery) || !query.exec()) {
        return engineError(filePath_, query.lastError(), false);
    }
    // Field names match whatever case the file was written with.
    const QSqlRecord fields = query.record();
    const int nameField = fields.indexOf(QStringLiteral("Nom Complet"));
    const int scoreField = fields.indexOf(QStringLiteral("Score"));
    if (nameField < 0 || scoreField < 0) {
        return dbError(Kind::WrongSchema, filePath_, QStringLiteral("sa table « nom » a changé"));
    }
    while (query.next()) {
        records->push_back({query.value(0).toLongLong(), query.value(nameField), query.value(scoreField)});
    }
    // A damaged file shows what could be read before the damage; the user was told when it opened.
    if (query.lastError().isValid() && !(readOnlyBecause_ && readOnlyBecause_->kind == Kind::Damaged)) {
        return engineError(filePath_, query.lastError(), false);
    }
    return std::nullopt;
}

ScanResult ScoreDatabase::scan()
{
    if (!connection_) {
        if (auto failure = open()) {
            return {{}, failure};
        }
    }
    ScanResult result;
    if (auto failure = readRecords(&result.records)) {
        return {{}, dropped(*failure)};
    }
    return result;
}

std::optional<DbError>
ScoreDatabase::inWriteTransaction(const std::function<std::optional<DbError>()>& statements)
{
    if (!connection_) {
        if (auto failure = open()) {
            return failure;
        }
    }
    if (readOnlyBecause_) {
        return readOnlyBecause_;
    }
    SqlConnection& connection = *connection_;
    if (auto failure = connection.setBusyTimeout(options_.writeTimeoutMs)) {
        return dropped(*failure);
    }
    // A file switched to a write-ahead log elsewhere goes back to the rollback journal before a write.
    QString mode;
    if (auto failure = connection.text(QStringLiteral("PRAGMA journal_mode"), &mode)) {
        return dropped(*failure);
    }
    if (mode.compare(QStringLiteral("wal"), Qt::CaseInsensitive) == 0) {
        if (auto failure = connection.text(QStringLiteral("PRAGMA journal_mode = DELETE"), &mode)) {
            return dropped(*failure);
        }
        if (mode.compare(QStringLiteral("delete"), Qt::CaseInsensitive) != 0) {
            return dropped(dbError(Kind::Busy, filePath_));
        }
    }
    // IMMEDIATE takes the write lock at once, waiting out another copy of the program.
    if (auto failure = connection.run(QStringLiteral("BEGIN IMMEDIATE"), true)) {
        return dropped(*failure);
    }
    std::optional<DbError> failure = statements();
    if (!failure) {
        failure = connection.run(QStringLiteral("COMMIT"), true);
    }
    if (failure) {
        // Fails harmlessly when SQLite has already rolled back by itself.
        connection.run(QStringLiteral("ROLLBACK"), true);
        return dropped(*failure);
    }
    // The write is done whatever this says; a connection that cannot be set back is simply opened afresh.
    if (connection.setBusyTimeout(options_.readTimeoutMs)) {
        close();
    }
    return std::nullopt;
}

std::optional<DbError> ScoreDatabase::registerPlayer(const QString& name)
{
    if (auto refused = checkPlayerName(name)) {
        return refused;
    }
    return inWriteTransaction([&]() -> std::optional<DbError> {
        // Another copy of the program may have registered the name since this one listed the file.
        QSqlQuery insert(connection_->db());
        insert.prepare(QStringLiteral("INSERT INTO nom (\"Nom Complet\") SELECT ? WHERE NOT EXISTS "
                                      "(SELECT 1 FROM nom WHERE \"Nom Complet\" = ?)"));
        insert.addBindValue(name);
        insert.addBindValue(name);
        if (!insert.exec()) {
            return engineError(filePath_, insert.lastError(), true);
        }
        return std::nullopt;
    });
}

std::optional<DbError> ScoreDatabase::storeScore(const ChangeFor& decide, std::vector<ScoreRecord>* after)
{
    return inWriteTransaction([&]() -> std::optional<DbError> {
        std::vector<ScoreRecord> records;
        if (auto failure = readRecords(&records)) {
            return failure;
        }
        const Change change = decide(records);
        if (change.score) {
            if (auto refused = checkPlayerName(change.name)) {
                return refused;
            }
            if (auto refused = checkScore(*change.score)) {
                return refused;
            }
        }
        QSqlQuery remove(connection_->db());
        remove.prepare(QStringLiteral("DELETE FROM nom WHERE rowid = ?"));
        for (const qint64 rowId : change.removedRowIds) {
            remove.bindValue(0, rowId);
            if (!remove.exec()) {
                return engineError(filePath_, remove.lastError(), true);
            }
            std::erase_if(records, [rowId](const ScoreRecord& record) { return record.rowId == rowId; });
        }
        if (change.score) {
            QSqlQuery insert(connection_->db());
            insert.prepare(QStringLiteral("INSERT INTO nom (\"Nom Complet\", score) VALUES (?, ?)"));
            insert.addBindValue(change.name);
            insert.addBindValue(*change.score);
            if (!insert.exec()) {
                return engineError(filePath_, insert.lastError(), true);
            }
            records.push_back({insert.lastInsertId().toLongLong(), change.name, *change.score});
        }
        if (after) {
            *after = std::move(records);
        }
        return std::nullopt;
    });
}

std::optional<DbError> ScoreDatabase::replaceScore(const std::vector<qint64>& removedRowIds,
                                                   const QString& name, int score)
{
    return storeScore([&](const std::vector<ScoreRecord>& records) {
        Change change{{}, name, score};
        for (const ScoreRecord& record : records) {
            if (record.nameText() == name &&
                std::find(removedRowIds.begin(), removedRowIds.end(), record.rowId) != removedRowIds.end()) {
                change.removedRowIds.push_back(record.rowId);
            }
        }
        return change;
    });
}

} // namespace palinor
