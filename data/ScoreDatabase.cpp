#include "data/ScoreDatabase.h"

#include "data/FileCheck.h"
#include "data/FileCreation.h"
#include "data/Leftovers.h"
#include "data/SqlConnection.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
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
        notices_ << *aside.notice;
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
        notices_ << *backup.notice;
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

ScanResult ScoreDatabase::scan()
{
    if (!connection_) {
        if (auto failure = open()) {
            return {{}, failure};
        }
    }
    QSqlQuery query(connection_->db());
    query.setForwardOnly(true);
    if (!query.prepare(kScanQuery) || !query.exec()) {
        return {{}, dropped(engineError(filePath_, query.lastError(), false))};
    }
    // Field names match whatever case the file was written with.
    const QSqlRecord fields = query.record();
    const int nameField = fields.indexOf(QStringLiteral("Nom Complet"));
    const int scoreField = fields.indexOf(QStringLiteral("Score"));
    if (nameField < 0 || scoreField < 0) {
        return {{},
                dropped(dbError(Kind::WrongSchema, filePath_, QStringLiteral("sa table « nom » a changé")))};
    }
    ScanResult result;
    while (query.next()) {
        result.records.push_back(
            {query.value(0).toLongLong(), query.value(nameField), query.value(scoreField)});
    }
    if (query.lastError().isValid()) {
        // A damaged file shows what could be read before the damage; the user was told when it opened.
        if (readOnlyBecause_ && readOnlyBecause_->kind == Kind::Damaged) {
            return result;
        }
        return {{}, dropped(engineError(filePath_, query.lastError(), false))};
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
        QSqlQuery insert(connection_->db());
        insert.prepare(QStringLiteral("INSERT INTO nom (\"Nom Complet\") VALUES (?)"));
        insert.addBindValue(name);
        if (!insert.exec()) {
            return engineError(filePath_, insert.lastError(), true);
        }
        return std::nullopt;
    });
}

std::optional<DbError> ScoreDatabase::replaceScore(const std::vector<qint64>& removedRowIds,
                                                   const QString& name, int score)
{
    if (auto refused = checkPlayerName(name)) {
        return refused;
    }
    if (auto refused = checkScore(score)) {
        return refused;
    }
    return inWriteTransaction([&]() -> std::optional<DbError> {
        QSqlQuery remove(connection_->db());
        // The name test keeps a record that another copy of the program put in a reused rowid.
        remove.prepare(QStringLiteral("DELETE FROM nom WHERE rowid = ? AND \"Nom Complet\" = ?"));
        for (const qint64 rowId : removedRowIds) {
            remove.bindValue(0, rowId);
            remove.bindValue(1, name);
            if (!remove.exec()) {
                return engineError(filePath_, remove.lastError(), true);
            }
        }
        QSqlQuery insert(connection_->db());
        insert.prepare(QStringLiteral("INSERT INTO nom (\"Nom Complet\", score) VALUES (?, ?)"));
        insert.addBindValue(name);
        insert.addBindValue(score);
        if (!insert.exec()) {
            return engineError(filePath_, insert.lastError(), true);
        }
        return std::nullopt;
    });
}

} // namespace palinor
