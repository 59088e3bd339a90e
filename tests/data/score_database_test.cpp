// The score file layer on its own file, odd records, a locked file, and the folder it lives in.

#include "data/DatabaseFolder.h"
#include "data/ScoreDatabase.h"
#include "tests/data/DatabaseBuilders.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <iostream>

namespace palinor {
namespace {

using test::entries;
using test::sql;
using Kind = DbError::Kind;

testing::AssertionResult ok(const std::optional<DbError>& error)
{
    return error ? testing::AssertionFailure() << error->message.toStdString() : testing::AssertionSuccess();
}

// Every record as "name|score", Null written "<null>", sorted.
QStringList stored(const QString& file)
{
    return sql(file, R"(SELECT "Nom Complet", Score FROM nom ORDER BY 1, 2)");
}

// Each test's own score file, in a folder whose name would break a careless file URI.
class ScoreDatabaseTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(QDir(dir_.path()).mkdir("a b?#%;'é")); }
    QTemporaryDir dir_;
    const QString folder_ = dir_.filePath("a b?#%;'é"), path_ = folder_ + "/billard.mdb";
    const QString shown_ = QDir::toNativeSeparators(path_);
};

TEST_F(ScoreDatabaseTest, createMakesTheFourNullableFieldsAndNamesAreStoredAsGivenUpTo255CodePoints)
{
    const QStringList connections = QSqlDatabase::connectionNames();
    const QString hostile = "O'HARA\"; DROP TABLE nom; -- 100% _x_";
    const QString ball = QString::fromUcs4(U"\U0001F3B1"); // two UTF-16 units, one code point
    {
        ScoreDatabase db(path_);
        ASSERT_TRUE(ok(db.createIfMissing()));
        // cid|name|type|notnull|default|pk
        EXPECT_EQ(sql(path_, "PRAGMA table_info(nom)"),
                  QStringList({"0|Nom Complet|TEXT|0|<null>|0", "1|Score|SMALLINT|0|<null>|0",
                               "2|Score1|SMALLINT|0|<null>|0", "3|Score2|SMALLINT|0|<null>|0"}));
        EXPECT_EQ(sql(path_, "SELECT type, name FROM sqlite_master"), QStringList{"table|nom"});
        ASSERT_EQ(sql(path_, "PRAGMA journal_mode = WAL"), QStringList{"wal"}); // as another tool might
        const QByteArray made = test::checksum(path_);
        EXPECT_TRUE(ok(db.createIfMissing()));
        EXPECT_EQ(test::checksum(path_), made);
        ASSERT_TRUE(ok(db.open()));
        for (const QString& name : {hostile, QString(" mixed Case "), ball.repeated(255)}) {
            EXPECT_TRUE(ok(db.registerPlayer(name)));
        }
        const auto error = db.registerPlayer(ball.repeated(256));
        EXPECT_EQ(error.value().kind, Kind::NameTooLong);
        EXPECT_TRUE(error->message.contains("256 caractères"));
        EXPECT_EQ(db.replaceScore({}, ball.repeated(256), 10).value().kind, Kind::NameTooLong);
        EXPECT_EQ(db.registerPlayer(QString()).value().kind, Kind::EmptyName);
        EXPECT_EQ(entries(folder_), QStringList{"billard.mdb"});
    }
    EXPECT_EQ(stored(path_),
              QStringList({" mixed Case |<null>", hostile + "|<null>", ball.repeated(255) + "|<null>"}));
    EXPECT_EQ(entries(folder_), QStringList{"billard.mdb"});
    EXPECT_EQ(QSqlDatabase::connectionNames(), connections);
    EXPECT_EQ(sql(path_, "PRAGMA journal_mode"), QStringList{"delete"});

    const QString inAbsent = dir_.filePath("absent/billard.mdb");
    const auto error = ScoreDatabase(inAbsent).createIfMissing();
    EXPECT_EQ(error.value().kind, Kind::CannotCreate);
    EXPECT_TRUE(error->message.contains(QDir::toNativeSeparators(inAbsent)));
}

TEST_F(ScoreDatabaseTest, oddRecordsAreReadAndOnlyTheNamedOnesReplacedAllOrNothingWhateverTheFieldCase)
{
    ASSERT_EQ(sql(path_, R"(CREATE TABLE NOM ("NOM COMPLET" TEXT, SCORE INT, SCORE1 INT, SCORE2 INT))"),
              QStringList());
    ASSERT_EQ(sql(path_,
                  "INSERT INTO nom VALUES ('ALPHA', 87, 1, 2), (NULL, 12, 0, 0), ('NEW', NULL, 0, 0),"
                  "('HIGH', 256, 0, 0), ('NEG', -1, 0, 0), ('TEXT', 'abc', 0, 0), ('HALF', 87.5, 0, 0),"
                  "('ALPHA', 255, 0, 0), ('BRAVO', 120, 0, 0)"),
              QStringList());
    ScoreDatabase db(path_);
    ASSERT_TRUE(ok(db.open()));
    const ScanResult scan = db.scan();
    QStringList readable;
    std::vector<qint64> all;
    for (const ScoreRecord& r : scan.records) {
        all.push_back(r.rowId);
        readable << (r.readable() ? r.nameText() + "=" + QString::number(r.scoreValue()) : "-");
    }
    EXPECT_EQ(readable,
              QStringList({"ALPHA=87", "-", "NEW=0", "-", "-", "-", "-", "ALPHA=255", "BRAVO=120"}));
    // The sign-up list shows a Null name as an empty line.
    EXPECT_TRUE(scan.records.at(1).name.isNull() && scan.records[1].nameText().isEmpty());

    const QStringList before = stored(path_);
    ASSERT_EQ(sql(path_, "CREATE TRIGGER refuse BEFORE INSERT ON nom BEGIN SELECT RAISE(ABORT, 'non'); END"),
              QStringList());
    const auto error = db.replaceScore(all, "ALPHA", 90);
    EXPECT_EQ(error.value().kind, Kind::Engine);
    EXPECT_TRUE(error->message.contains(shown_));
    EXPECT_EQ(stored(path_), before);
    ASSERT_EQ(sql(path_, "DROP TRIGGER refuse"), QStringList());
    // Every rowid is listed: only the records that still carry the name go.
    ASSERT_TRUE(ok(db.replaceScore(all, "ALPHA", 90)));
    EXPECT_EQ(stored(path_), QStringList({"<null>|12", "ALPHA|90", "BRAVO|120", "HALF|87.5", "HIGH|256",
                                          "NEG|-1", "NEW|<null>", "TEXT|abc"}));
    EXPECT_EQ(db.replaceScore({}, "ALPHA", 256).value().kind, Kind::BadScore);
    EXPECT_EQ(db.replaceScore({}, "ALPHA", -1).value().kind, Kind::BadScore);
}

TEST_F(ScoreDatabaseTest, aFileThatCannotBeWrittenIsListedAndNeverChanged)
{
    ASSERT_TRUE(ok(ScoreDatabase(path_).createIfMissing()));
    ASSERT_EQ(sql(path_, "INSERT INTO nom VALUES ('ALPHA', 87, NULL, NULL)"), QStringList());
    const QByteArray before = test::checksum(path_);
    // As root every file is writable, so the check is handed in; SQLite itself must then refuse.
    ScoreDatabaseOptions readOnly;
    readOnly.isWritable = [](const QString&) { return false; };
    ScoreDatabase db(path_, readOnly);
    ASSERT_TRUE(ok(db.open()));
    EXPECT_TRUE(db.isReadOnly());
    const auto error = db.registerPlayer("BRAVO");
    EXPECT_EQ(error.value().kind, Kind::ReadOnly);
    EXPECT_TRUE(error->message.contains(shown_));
    EXPECT_EQ(db.replaceScore({db.scan().records.at(0).rowId}, "ALPHA", 90).value().kind, Kind::ReadOnly);
    db.close();
    EXPECT_EQ(test::checksum(path_), before);
    EXPECT_EQ(entries(folder_), QStringList{"billard.mdb"});
}

TEST(DatabaseFolderTest, aPortableProgramKeepsItsScoresBesideItselfAnInstalledOneInTheUserFolder)
{
    const QString user = "/home/joueur/.local/share/Palinor";
    QTemporaryDir root;
    const QString portable = root.filePath("portable"), locked = root.filePath("locked"),
                  installed = root.filePath("usr/games"), withFile = root.filePath("usr/bin");
    for (const QString& folder : {portable, locked, installed, withFile, root.filePath("usr/share/applications")}) {
        ASSERT_TRUE(QDir().mkpath(folder));
    }
    ASSERT_TRUE(test::writeFile(root.filePath("usr/share/applications/org.example.palinor.desktop"), "x"));
    ASSERT_TRUE(test::writeFile(withFile + "/billard.mdb", "scores"));
    const auto canWrite = [&](const QString& folder) { return folder != locked; };

    EXPECT_FALSE(isInstalledProgram(portable));
    EXPECT_TRUE(isInstalledProgram(installed) && isInstalledProgram(withFile));
    EXPECT_EQ(chooseDatabaseFolder(portable, user, false, canWrite), portable);
    EXPECT_EQ(chooseDatabaseFolder(locked, user, false, canWrite), user);
    EXPECT_EQ(chooseDatabaseFolder(locked, QString(), false, canWrite), locked);
    EXPECT_EQ(chooseDatabaseFolder(installed, user, true, canWrite), user);
    // A file already beside an installed program is used: nothing is left behind.
    EXPECT_EQ(chooseDatabaseFolder(withFile, user, true, canWrite), withFile);

    QTemporaryDir dir;
    EXPECT_TRUE(canCreateFilesIn(dir.path()));
    EXPECT_TRUE(entries(dir.path()).isEmpty());
    ASSERT_TRUE(test::writeFile(dir.filePath("plain"), "x"));
    EXPECT_FALSE(canCreateFilesIn(dir.filePath("plain")) || canCreateFilesIn(dir.filePath("absent")));
    EXPECT_FALSE(canCreateFilesIn("/proc")); // a folder no one, root included, can create files in

    const QString current = QDir::currentPath(), program = QCoreApplication::applicationDirPath();
    // The build folder can be written, unless the tests run under another user than the build.
    const QString expected = canCreateFilesIn(program)
                                 ? program
                                 : QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    EXPECT_EQ(locateDatabase().path, expected + "/billard.mdb");
    EXPECT_TRUE(QFileInfo(expected).isDir());
    EXPECT_EQ(QDir::currentPath(), current);
}

TEST(DatabaseFolderTest, aUserFolderThatCannotBeMadeIsToldWithItsCause)
{
    // The program itself is run, installed: its data folder would lie under a plain file.
    if (qEnvironmentVariableIsSet("PALINOR_TEST_INSTALLED")) {
        const DatabaseLocation location = locateDatabase();
        std::cout << (location.error ? location.error->message : "no error").toStdString() << std::endl;
        return;
    }
    QTemporaryDir root;
    ASSERT_TRUE(QDir().mkpath(root.filePath("usr/games")) && QDir().mkpath(root.filePath("usr/share/applications")));
    ASSERT_TRUE(test::writeFile(root.filePath("usr/share/applications/org.example.palinor.desktop"), "x"));
    ASSERT_TRUE(QFile::copy(QCoreApplication::applicationFilePath(), root.filePath("usr/games/test")));
    QFile::setPermissions(root.filePath("usr/games/test"), QFile::ReadOwner | QFile::ExeOwner);
    ASSERT_TRUE(test::writeFile(root.filePath("data"), "a file where a folder should be"));
    QProcess run;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("PALINOR_TEST_INSTALLED", "1");
    environment.insert("XDG_DATA_HOME", root.filePath("data"));
    run.setProcessEnvironment(environment);
    run.start(root.filePath("usr/games/test"), {"--gtest_filter=DatabaseFolderTest.aUserFolderThatCannot*"});
    ASSERT_TRUE(run.waitForFinished(30000));
    const QString said = QString::fromUtf8(run.readAllStandardOutput());
    EXPECT_TRUE(said.contains("Le dossier des scores « " + root.filePath("data") + "/")) << said.toStdString();
    EXPECT_TRUE(said.contains("n'a pas pu être créé : ")) << said.toStdString();
}

} // namespace
} // namespace palinor

// Qt SQL loads its drivers only under a QCoreApplication; any Qt warning fails the running test.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type != QtDebugMsg && type != QtInfoMsg) {
            ADD_FAILURE() << "Qt warning: " << message.toStdString();
        }
    });
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
