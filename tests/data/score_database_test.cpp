#include "data/ScoreDatabase.h"
#include "tests/data/DatabaseBuilders.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <future>
#include <thread>
#include <unistd.h>

namespace palinor {
namespace {

using test::checksum;
using test::entries;
using test::RawDb;
using Kind = DbError::Kind;

testing::AssertionResult ok(const std::optional<DbError>& error)
{
    if (error) {
        return testing::AssertionFailure() << error->message.toStdString();
    }
    return testing::AssertionSuccess();
}

// Each record as "name|score", Null written as "<null>", sorted.
QStringList summary(const ScanResult& scan)
{
    QStringList lines;
    for (const ScoreRecord& r : scan.records) {
        lines << (r.name.isNull() ? QStringLiteral("<null>") : r.name.toString()) + u'|' +
                     (r.score.isNull() ? QStringLiteral("<null>") : r.score.toString());
    }
    lines.sort();
    return lines;
}

class ScoreDatabaseTest : public testing::Test {
protected:
    QString path() const { return dir_.filePath(QStringLiteral("billard.mdb")); }
    QString shownPath() const { return QDir::toNativeSeparators(path()); }
    // The program's own file holding the given rows (SQL value lists).
    void makeFile(const QStringList& rows = {})
    {
        RawDb raw(path());
        raw.run(test::kGoodTable);
        for (const QString& row : rows) {
            raw.run(QStringLiteral("INSERT INTO nom VALUES (%1)").arg(row));
        }
    }

    QTemporaryDir dir_;
};

TEST_F(ScoreDatabaseTest, createBuildsTableNomWithFourNullableFieldsAndNothingElse)
{
    ScoreDatabase db(path());
    ASSERT_TRUE(ok(db.createIfMissing()));
    EXPECT_EQ(entries(dir_.path()), QStringList{"billard.mdb"});
    {
        RawDb raw(path());
        // cid|name|type|notnull|default|pk
        EXPECT_EQ(raw.rows("PRAGMA table_info(nom)"),
                  QStringList({"0|Nom Complet|TEXT|0|<null>|0", "1|Score|SMALLINT|0|<null>|0",
                               "2|Score1|SMALLINT|0|<null>|0", "3|Score2|SMALLINT|0|<null>|0"}));
        EXPECT_EQ(raw.rows("SELECT type, name FROM sqlite_master"), QStringList{"table|nom"});
        EXPECT_EQ(raw.rows("PRAGMA journal_mode"), QStringList{"delete"});
    }
    const QByteArray made = checksum(path());
    EXPECT_TRUE(ok(db.createIfMissing()));
    EXPECT_EQ(checksum(path()), made);
    ASSERT_TRUE(ok(db.open()));
    const ScanResult scan = db.scan();
    EXPECT_FALSE(scan.error);
    EXPECT_TRUE(scan.records.empty());
}

TEST_F(ScoreDatabaseTest, aMissingFileIsNotCreatedByOpenNorInAMissingFolder)
{
    ScoreDatabase db(path());
    EXPECT_EQ(db.open()->kind, Kind::Missing);
    const QString inAbsent = dir_.filePath(QStringLiteral("absent/billard.mdb"));
    const auto error = ScoreDatabase(inAbsent).createIfMissing();
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind, Kind::CannotCreate);
    EXPECT_TRUE(error->message.contains(QDir::toNativeSeparators(inAbsent)));
    EXPECT_TRUE(entries(dir_.path()).isEmpty());
}

TEST_F(ScoreDatabaseTest, scanReportsNullsAndOddScoresWithoutStopping)
{
    makeFile({"'ALPHA', 87, NULL, NULL", "NULL, 12, NULL, NULL", "'NEW', NULL, NULL, NULL",
              "'HIGH', 256, NULL, NULL", "'NEG', -1, NULL, NULL", "'TEXT', 'abc', NULL, NULL",
              "'HALF', 87.5, NULL, NULL", "'TOP', 255, NULL, NULL"});
    ScoreDatabase db(path());
    ASSERT_TRUE(ok(db.open()));
    const ScanResult scan = db.scan();
    ASSERT_FALSE(scan.error);
    ASSERT_EQ(scan.records.size(), 8u);
    QStringList readable;
    for (const ScoreRecord& r : scan.records) {
        if (r.readable()) {
            readable << QStringLiteral("%1=%2").arg(r.nameText()).arg(r.scoreValue());
        }
    }
    EXPECT_EQ(readable, QStringList({"ALPHA=87", "NEW=0", "TOP=255"}));
    EXPECT_EQ(scan.unreadableCount(), 5);
    // The sign-up list shows a Null name as an empty line.
    EXPECT_EQ(scan.records[1].nameText(), QString());
    EXPECT_TRUE(scan.records[1].hasValidScore());
}

TEST_F(ScoreDatabaseTest, fieldsWrittenInOtherCaseAreReadAndWritten)
{
    {
        RawDb raw(path());
        raw.run("CREATE TABLE NOM (\"NOM COMPLET\" TEXT, SCORE SMALLINT, SCORE1 SMALLINT, SCORE2 SMALLINT)");
        raw.run("INSERT INTO NOM VALUES ('ALPHA', 87, 1, 2), ('BRAVO', 5, NULL, NULL)");
    }
    ScoreDatabase db(path());
    ASSERT_TRUE(ok(db.open()));
    const ScanResult scan = db.scan();
    ASSERT_EQ(summary(scan), QStringList({"ALPHA|87", "BRAVO|5"}));
    ASSERT_TRUE(ok(db.replaceScore({scan.records[0].rowId}, "ALPHA", 90)));
    ASSERT_TRUE(ok(db.registerPlayer("CHARLIE")));
    EXPECT_EQ(summary(db.scan()), QStringList({"ALPHA|90", "BRAVO|5", "CHARLIE|<null>"}));
}

TEST_F(ScoreDatabaseTest, namesAreStoredExactlyAsGivenEvenInAnOddFolder)
{
    QDir(dir_.path()).mkdir("a b?#%;'é");
    const QString odd = dir_.filePath("a b?#%;'é/billard.mdb");
    const QString name = "O'HARA\"; DROP TABLE nom; -- 100% _x_";
    ScoreDatabase db(odd);
    ASSERT_TRUE(ok(db.createIfMissing()));
    ASSERT_TRUE(ok(db.open()));
    ASSERT_TRUE(ok(db.registerPlayer(name)));
    ASSERT_TRUE(ok(db.registerPlayer(" mixed Case ")));
    EXPECT_EQ(summary(db.scan()), QStringList({" mixed Case |<null>", name + "|<null>"}));
    EXPECT_EQ(entries(dir_.path()), QStringList{"a b?#%;'é"});
}

TEST_F(ScoreDatabaseTest, namesUpTo255CodePointsAreAcceptedAndLongerOnesRefused)
{
    makeFile();
    ScoreDatabase db(path());
    ASSERT_TRUE(ok(db.open()));
    const QString ball = QString::fromUcs4(U"\U0001F3B1"); // two UTF-16 units, one code point
    EXPECT_TRUE(ok(db.registerPlayer(ball.repeated(255))));
    EXPECT_TRUE(ok(db.registerPlayer(QString(255, u'A'))));
    for (const QString& name : {ball.repeated(256), QString(256, u'A')}) {
        const auto error = db.registerPlayer(name);
        ASSERT_TRUE(error);
        EXPECT_EQ(error->kind, Kind::NameTooLong);
        EXPECT_TRUE(error->message.contains("256 caractères"));
        EXPECT_EQ(db.replaceScore({}, name, 10)->kind, Kind::NameTooLong);
    }
    EXPECT_EQ(db.registerPlayer(QString())->kind, Kind::EmptyName);
    EXPECT_EQ(summary(db.scan()),
              QStringList({QString(255, u'A') + "|<null>", ball.repeated(255) + "|<null>"}));
}

TEST_F(ScoreDatabaseTest, replaceScoreSwapsOnlyThePlayersListedRecords)
{
    makeFile({"'ALPHA', 87, NULL, NULL", "'BRAVO', 120, NULL, NULL", "'ALPHA', 3, NULL, NULL"});
    ScoreDatabase db(path());
    ASSERT_TRUE(ok(db.open()));
    std::vector<qint64> listed;
    for (const ScoreRecord& r : db.scan().records) {
        listed.push_back(r.rowId);
    }
    // BRAVO's rowid is listed too: only records that still carry the name go.
    ASSERT_TRUE(ok(db.replaceScore(listed, "ALPHA", 90)));
    EXPECT_EQ(summary(db.scan()), QStringList({"ALPHA|90", "BRAVO|120"}));
    EXPECT_EQ(db.replaceScore({}, "ALPHA", 256)->kind, Kind::BadScore);
    EXPECT_EQ(db.replaceScore({}, "ALPHA", -1)->kind, Kind::BadScore);
}

TEST_F(ScoreDatabaseTest, replaceScoreKeepsTheOldRecordWhenTheNewOneIsRefused)
{
    makeFile({"'ALPHA', 87, NULL, NULL"});
    {
        RawDb raw(path());
        raw.run("CREATE TRIGGER refuse BEFORE INSERT ON nom BEGIN SELECT RAISE(ABORT, 'refusé'); END");
    }
    ScoreDatabase db(path());
    ASSERT_TRUE(ok(db.open()));
    const qint64 alpha = db.scan().records.at(0).rowId;
    const auto error = db.replaceScore({alpha}, "ALPHA", 90);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind, Kind::Engine);
    EXPECT_TRUE(error->message.contains(shownPath()));
    EXPECT_EQ(summary(db.scan()), QStringList{"ALPHA|87"});
}

TEST_F(ScoreDatabaseTest, aFileThatCannotBeWrittenIsListedAndNeverChanged)
{
    makeFile({"'ALPHA', 87, NULL, NULL"});
    const QByteArray before = checksum(path());
    // As root every file is writable, so the check is handed in; SQLite itself must then refuse.
    ScoreDatabase db(path(), {.busyTimeoutMs = 10000, .isWritable = [](const QString&) { return false; }});
    ASSERT_TRUE(ok(db.open()));
    EXPECT_TRUE(db.isReadOnly());
    EXPECT_EQ(summary(db.scan()), QStringList{"ALPHA|87"});
    const auto error = db.registerPlayer("BRAVO");
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind, Kind::ReadOnly);
    EXPECT_TRUE(error->message.contains(shownPath()));
    EXPECT_EQ(db.replaceScore({db.scan().records.at(0).rowId}, "ALPHA", 90)->kind, Kind::ReadOnly);
    db.close();
    EXPECT_EQ(checksum(path()), before);
    EXPECT_EQ(entries(dir_.path()), QStringList{"billard.mdb"});
}

TEST_F(ScoreDatabaseTest, withoutWritePermissionNothingIsWritten)
{
    if (geteuid() == 0) {
        GTEST_SKIP() << "root writes through any permission";
    }
    makeFile({"'ALPHA', 87, NULL, NULL"});
    const QByteArray before = checksum(path());
    QFile::setPermissions(path(), QFile::ReadOwner);
    {
        ScoreDatabase db(path());
        ASSERT_TRUE(ok(db.open()));
        EXPECT_TRUE(db.isReadOnly());
        EXPECT_EQ(summary(db.scan()), QStringList{"ALPHA|87"});
        EXPECT_EQ(db.registerPlayer("BRAVO")->kind, Kind::ReadOnly);
    }
    // A writable file in a locked folder: SQLite cannot put its journal beside it.
    QFile::setPermissions(path(), QFile::ReadOwner | QFile::WriteOwner);
    QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::ExeOwner);
    {
        ScoreDatabase db(path());
        ASSERT_TRUE(ok(db.open()));
        EXPECT_EQ(db.registerPlayer("BRAVO")->kind, Kind::ReadOnly);
        EXPECT_FALSE(canCreateFilesIn(dir_.path()));
        EXPECT_EQ(ScoreDatabase(dir_.filePath("autre.mdb")).createIfMissing()->kind, Kind::CannotCreate);
    }
    QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(checksum(path()), before);
    EXPECT_EQ(entries(dir_.path()), QStringList{"billard.mdb"});
}

TEST_F(ScoreDatabaseTest, aCleanRunLeavesOnlyTheFileBehind)
{
    const QStringList connections = QSqlDatabase::connectionNames();
    {
        ScoreDatabase db(path());
        ASSERT_TRUE(ok(db.createIfMissing()));
        ASSERT_TRUE(ok(db.open()));
        ASSERT_TRUE(ok(db.registerPlayer("ALPHA")));
        ASSERT_TRUE(ok(db.replaceScore({db.scan().records.at(0).rowId}, "ALPHA", 12)));
        EXPECT_EQ(entries(dir_.path()), QStringList{"billard.mdb"});
    }
    EXPECT_EQ(entries(dir_.path()), QStringList{"billard.mdb"});
    EXPECT_EQ(QSqlDatabase::connectionNames(), connections);
}

TEST_F(ScoreDatabaseTest, aFileSwitchedToWalElsewhereIsWrittenWithARollbackJournal)
{
    makeFile();
    {
        RawDb raw(path());
        raw.run("PRAGMA journal_mode = WAL");
    }
    {
        ScoreDatabase db(path());
        ASSERT_TRUE(ok(db.open()));
        ASSERT_TRUE(ok(db.registerPlayer("ALPHA")));
    }
    EXPECT_EQ(entries(dir_.path()), QStringList{"billard.mdb"});
    RawDb raw(path());
    EXPECT_EQ(raw.rows("PRAGMA journal_mode"), QStringList{"delete"});
}

TEST_F(ScoreDatabaseTest, aWriteWaitsForAnotherCopyThenGivesUpWithBusy)
{
    makeFile();
    RawDb other(path());
    other.run("BEGIN IMMEDIATE");
    ScoreDatabase db(path(), {.busyTimeoutMs = 200, .isWritable = {}});
    ASSERT_TRUE(ok(db.open()));
    QElapsedTimer waited;
    waited.start();
    const auto error = db.registerPlayer("ALPHA");
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind, Kind::Busy);
    EXPECT_GE(waited.elapsed(), 150);
    other.run("ROLLBACK");
    EXPECT_TRUE(ok(db.registerPlayer("ALPHA")));
}

TEST_F(ScoreDatabaseTest, aWriteWaitsUntilAnotherCopyIsDone)
{
    makeFile();
    std::promise<void> locked;
    std::thread otherCopy([&] {
        RawDb other(path());
        other.run("BEGIN IMMEDIATE");
        other.run("INSERT INTO nom (\"Nom Complet\") VALUES ('BRAVO')");
        locked.set_value();
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        other.run("COMMIT");
    });
    locked.get_future().wait();
    ScoreDatabase db(path());
    ASSERT_TRUE(ok(db.open()));
    EXPECT_TRUE(ok(db.registerPlayer("ALPHA")));
    otherCopy.join();
    EXPECT_EQ(summary(db.scan()), QStringList({"ALPHA|<null>", "BRAVO|<null>"}));
}

// A foreign or broken billard.mdb: open() names the cause and the file, and no byte changes.
enum class Make { Bytes, Sql, Folder };
struct ForeignFile {
    const char* label;
    Make make;
    QByteArray content;
    Kind expected;
    const char* mentions;
};

void PrintTo(const ForeignFile& file, std::ostream* out)
{
    *out << file.label;
}

QByteArray accessHeader(const char* engine)
{
    return QByteArray(4, '\0') + engine + QByteArray(4077, '\0');
}

const QByteArray kSqliteMagic("SQLite format 3\0", 16);

class ForeignFileTest : public ScoreDatabaseTest, public testing::WithParamInterface<ForeignFile> {};

TEST_P(ForeignFileTest, isRefusedAndLeftUnchanged)
{
    const ForeignFile& file = GetParam();
    if (file.make == Make::Folder) {
        QDir().mkdir(path());
    } else if (file.make == Make::Sql) {
        RawDb(path()).run(QString::fromUtf8(file.content));
    } else {
        test::writeFile(path(), file.content);
    }
    const QByteArray before = checksum(path());
    const QStringList filesBefore = entries(dir_.path());
    ScoreDatabase db(path());
    EXPECT_TRUE(ok(db.createIfMissing()));
    const auto error = db.open();
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind, file.expected);
    EXPECT_TRUE(error->message.contains(shownPath())) << error->message.toStdString();
    EXPECT_TRUE(error->message.contains(QString::fromUtf8(file.mentions))) << error->message.toStdString();
    EXPECT_EQ(db.scan().error->kind, Kind::NotOpen);
    EXPECT_EQ(db.registerPlayer("ALPHA")->kind, Kind::NotOpen);
    db.close();
    EXPECT_EQ(checksum(path()), before);
    EXPECT_EQ(entries(dir_.path()), filesBefore);
}

INSTANTIATE_TEST_SUITE_P(
    BadFiles, ForeignFileTest,
    testing::Values(
        ForeignFile{"garbage", Make::Bytes, QByteArray(3000, 'x'), Kind::NotADatabase,
                    "pas une base de scores"},
        ForeignFile{"empty", Make::Bytes, {}, Kind::EmptyFile, "vide"},
        ForeignFile{"jet", Make::Bytes, accessHeader("Standard Jet DB"), Kind::AccessDatabase, "Jet"},
        ForeignFile{"ace", Make::Bytes, accessHeader("Standard ACE DB"), Kind::AccessDatabase, "ACE"},
        ForeignFile{"damagedSqlite", Make::Bytes, kSqliteMagic + QByteArray(4080, '\x7f'), Kind::NotADatabase,
                    "endommagé"},
        ForeignFile{"tooShortSqlite", Make::Bytes, kSqliteMagic, Kind::NotADatabase,
                    "pas une base de scores"},
        ForeignFile{"noTableNom", Make::Sql, "CREATE TABLE joueurs (nom TEXT)", Kind::WrongSchema,
                    "pas de table « nom »"},
        ForeignFile{"viewNom", Make::Sql, "CREATE VIEW nom AS SELECT 1 AS x", Kind::WrongSchema,
                    "pas de table « nom »"},
        ForeignFile{"otherFields", Make::Sql, "CREATE TABLE nom (\"Nom Complet\" TEXT, Score INT)",
                    Kind::WrongSchema, "Score2"},
        ForeignFile{"extraField", Make::Sql,
                    "CREATE TABLE nom (\"Nom Complet\", Score, Score1, Score2, Extra NOT NULL)",
                    Kind::WrongSchema, "Score1"},
        ForeignFile{"withoutRowid", Make::Sql,
                    "CREATE TABLE nom (\"Nom Complet\" PRIMARY KEY, Score, Score1, Score2) WITHOUT ROWID",
                    Kind::WrongSchema, "exactement"},
        ForeignFile{"folder", Make::Folder, {}, Kind::IsFolder, "dossier"}),
    [](const testing::TestParamInfo<ForeignFile>& info) { return std::string(info.param.label); });

} // namespace
} // namespace palinor
