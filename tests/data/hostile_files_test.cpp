// What real desktops do to a score file: pipes and devices under its name, foreign schemas, damaged pages,
// leftovers of killed writers, locks held by other programs, creations killed half-way, full disks.

#include "data/FileCreation.h"
#include "data/FileSystem.h"
#include "data/ScoreDatabase.h"
#include "tests/data/DatabaseBuilders.h"
#include "tests/data/LockHolder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace palinor {
namespace {

using test::checksum;
using test::entries;
using test::sql;
using Kind = DbError::Kind;

testing::AssertionResult ok(const std::optional<DbError>& error)
{
    return error ? testing::AssertionFailure() << error->message.toStdString() : testing::AssertionSuccess();
}

// The user reads French only: none of the engine's own words may reach a message.
testing::AssertionResult french(const QString& message)
{
    static const QRegularExpression english(
        QStringLiteral(
            "database|disk I/O|locked|readonly|malformed|constraint|SQL logic|SQLITE_|error code|not a"),
        QRegularExpression::CaseInsensitiveOption);
    if (message.isEmpty() || english.match(message).hasMatch()) {
        return testing::AssertionFailure() << "not a French message: " << message.toStdString();
    }
    return testing::AssertionSuccess();
}

// Opens a file that may be listed but not written: it must say why in one French notice, returned.
DbError openedReadOnly(ScoreDatabase& db, Kind kind)
{
    EXPECT_TRUE(ok(db.open()));
    EXPECT_TRUE(db.isReadOnly());
    const QList<DbError> notices = db.takeNotices();
    EXPECT_EQ(notices.size(), 1);
    const DbError notice = notices.value(0, DbError{Kind::Engine, {}});
    EXPECT_EQ(notice.kind, kind);
    EXPECT_TRUE(french(notice.message));
    return notice;
}

// A transaction left open, large enough for its pages to reach the file and its journal.
QStringList bigStore(const QStringList& first = {})
{
    QStringList statements = QStringList{"PRAGMA cache_size = 1", "BEGIN IMMEDIATE"} + first;
    for (int i = 0; i < 200; ++i) {
        statements << QStringLiteral("INSERT INTO nom VALUES ('REMPLISSAGE %1 %2', 1, 1, 1)")
                          .arg(i)
                          .arg(QString(200, 'x'));
    }
    return statements;
}

QStringList stored(const QString& file)
{
    return sql(file, R"(SELECT "Nom Complet", Score FROM nom ORDER BY 1)");
}

class HostileFileTest : public testing::Test {
protected:
    // The program's own file holding ALPHA 87 and BRAVO 120.
    void makeScoreFile(const QString& path = {})
    {
        const QString file = path.isEmpty() ? path_ : path;
        ASSERT_TRUE(ok(ScoreDatabase(file).createIfMissing()));
        ASSERT_EQ(sql(file, "INSERT INTO nom VALUES ('ALPHA', 87, NULL, NULL), ('BRAVO', 120, NULL, NULL)"),
                  QStringList());
    }
    ScoreDatabaseOptions quick() const
    {
        return {.readTimeoutMs = 200, .writeTimeoutMs = 300, .isWritable = {}, .clock = [] {
                    return QDateTime(QDate(2026, 12, 6), QTime(21, 30));
                }};
    }
    QTemporaryDir dir_;
    const QString path_ = dir_.filePath("billard.mdb");
    const QString backup_ = path_ + ".sauvegarde-20261206-2130";
};

TEST_F(HostileFileTest, onlyRegularFilesAreOpenedAndNothingBlocks)
{
    const QString fifo = dir_.filePath("pipe"), socketPath = dir_.filePath("socket");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", QFile::encodeName(socketPath).constData());
    ASSERT_EQ(::bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    const auto closeSocket = qScopeGuard([socket] { ::close(socket); });
    const struct {
        const char* label;
        std::function<bool()> make;
        QString named; // the name the message gives
        const char* says;
    } cases[] = {
        {"named pipe", [&] { return QFile::rename(fifo, path_); }, path_, "tube nommé"},
        {"link to a pipe", [&] { return QFile::link(fifo, path_); }, path_, "tube nommé"},
        {"link to a device", [&] { return QFile::link("/dev/zero", path_); }, path_, "périphérique"},
        {"socket", [&] { return QFile::link(socketPath, path_); }, path_, "socket"},
        {"pipe as its journal",
         [&] {
             makeScoreFile();
             return QFile::rename(fifo, path_ + "-journal");
         },
         path_ + "-journal", "tube nommé"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        if (!QFileInfo::exists(fifo)) {
            ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
        }
        ASSERT_TRUE(c.make());
        const QStringList before = entries(dir_.path());
        ScoreDatabase db(path_);
        EXPECT_TRUE(ok(db.createIfMissing()));
        const auto error = db.open();
        ASSERT_TRUE(error.has_value());
        EXPECT_EQ(error->kind, Kind::NotRegularFile);
        EXPECT_TRUE(error->message.contains(QDir::toNativeSeparators(c.named)))
            << error->message.toStdString();
        EXPECT_TRUE(error->message.contains(c.says));
        EXPECT_TRUE(french(error->message));
        EXPECT_EQ(db.scan().error.value().kind, Kind::NotRegularFile);
        EXPECT_EQ(db.registerPlayer("DUPONT").value().kind, Kind::NotRegularFile);
        EXPECT_EQ(entries(dir_.path()), before);
        for (const QString& name : {path_, path_ + "-journal"}) {
            ::unlink(QFile::encodeName(name).constData()); // QDir does not list pipes
        }
    }
    // A link to the program's own file is followed.
    makeScoreFile(dir_.filePath("real.mdb"));
    ASSERT_TRUE(QFile::link(dir_.filePath("real.mdb"), path_));
    ScoreDatabase db(path_);
    ASSERT_TRUE(ok(db.open()));
    EXPECT_TRUE(ok(db.registerPlayer("CHARLIE")));
    EXPECT_EQ(stored(dir_.filePath("real.mdb")), QStringList({"ALPHA|87", "BRAVO|120", "CHARLIE|<null>"}));
}

TEST_F(HostileFileTest, anythingBesideTheTableMakesItForeignListedAndNeverWritten)
{
    const struct {
        const char* sql;
        const char* named;
    } foreign[] = {
        {"CREATE TRIGGER purge AFTER INSERT ON nom BEGIN DELETE FROM nom WHERE rowid <> new.rowid; END",
         "déclencheur « purge »"},
        {"CREATE TRIGGER keep BEFORE DELETE ON nom BEGIN SELECT RAISE(IGNORE); END", "déclencheur « keep »"},
        {"CREATE TRIGGER again AFTER INSERT ON nom BEGIN INSERT INTO nom VALUES (new.\"Nom Complet\", 0, 0, "
         "0);"
         " END",
         "déclencheur « again »"},
        {"CREATE VIEW best AS SELECT * FROM nom", "vue « best »"},
        {"CREATE TABLE extra (x)", "autre table « extra »"},
        {"CREATE INDEX upper_name ON nom (upper(\"Nom Complet\"))", "index calculé « upper_name »"},
        {"CREATE INDEX partial ON nom (Score) WHERE Score > 100", "index calculé « partial »"},
    };
    for (const auto& [statement, named] : foreign) {
        SCOPED_TRACE(statement);
        QFile::remove(path_);
        makeScoreFile();
        ASSERT_EQ(sql(path_, QString::fromUtf8(statement)), QStringList());
        const QByteArray before = checksum(path_);
        ScoreDatabase db(path_);
        const DbError notice = openedReadOnly(db, Kind::Foreign);
        EXPECT_TRUE(notice.message.contains(QString::fromUtf8(named))) << notice.message.toStdString();
        EXPECT_EQ(db.scan().records.size(), 2u);
        EXPECT_EQ(db.registerPlayer("DUPONT").value().kind, Kind::Foreign);
        EXPECT_EQ(db.replaceScore({1}, "ALPHA", 90).value().kind, Kind::Foreign);
        db.close();
        EXPECT_EQ(checksum(path_), before);
    }

    // A STRICT table is read through the same French message.
    QFile::remove(path_);
    ASSERT_EQ(
        sql(path_, R"(CREATE TABLE nom ("Nom Complet" TEXT, Score INT, Score1 INT, Score2 INT) STRICT)"),
        QStringList());
    ScoreDatabase strict(path_);
    ASSERT_TRUE(ok(strict.open()));
    EXPECT_EQ(strict.takeNotices().value(0).message.contains("STRICT"), true);
    EXPECT_EQ(strict.registerPlayer("DUPONT").value().kind, Kind::Foreign);

    // A plain index only speeds reading: the file stays the program's own.
    QFile::remove(path_);
    makeScoreFile();
    ASSERT_EQ(sql(path_, "CREATE INDEX by_score ON nom (Score)"), QStringList());
    ScoreDatabase indexed(path_);
    ASSERT_TRUE(ok(indexed.open()));
    EXPECT_FALSE(indexed.isReadOnly());
    EXPECT_TRUE(indexed.takeNotices().isEmpty());
    EXPECT_TRUE(ok(indexed.registerPlayer("DUPONT")));
}

TEST_F(HostileFileTest, tablesThatAreNotPlainAreRefusedUnread)
{
    const char* schemas[] = {
        R"(CREATE TABLE t (a); CREATE VIEW nom AS WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n)
           SELECT x AS "Nom Complet", x AS Score, x AS Score1, x AS Score2 FROM n)",
        R"(CREATE TABLE nom ("Nom Complet" PRIMARY KEY, Score, Score1, Score2) WITHOUT ROWID)",
        R"(CREATE TABLE nom ("Nom Complet", Score, Score1, Score2 AS (Score * 2)))",
        R"(CREATE VIRTUAL TABLE nom USING fts5("Nom Complet", Score, Score1, Score2))",
    };
    for (const char* schema : schemas) {
        SCOPED_TRACE(schema);
        QFile::remove(path_);
        for (const QString& statement : QString::fromUtf8(schema).split(';')) {
            ASSERT_EQ(sql(path_, statement), QStringList());
        }
        const QByteArray before = checksum(path_);
        const auto error = ScoreDatabase(path_).open();
        ASSERT_TRUE(error.has_value());
        EXPECT_EQ(error->kind, Kind::WrongSchema) << error->message.toStdString();
        EXPECT_TRUE(french(error->message));
        EXPECT_EQ(checksum(path_), before);
    }
}

TEST_F(HostileFileTest, damageIsFoundBeforeAnythingIsWrittenAndNamed)
{
    ASSERT_TRUE(ok(ScoreDatabase(path_).createIfMissing()));
    QStringList values;
    for (int i = 0; i < 300; ++i) {
        values
            << QStringLiteral("('JOUEUR NUMÉRO %1 AU NOM ASSEZ LONG', %2, NULL, NULL)").arg(i).arg(i % 149);
    }
    ASSERT_EQ(sql(path_, "INSERT INTO nom VALUES " + values.join(',')), QStringList());
    // One page written over another, as a faulty copy or disk would.
    QFile file(path_);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite) && file.size() >= 5 * 4096);
    file.seek(2 * 4096);
    const QByteArray page = file.read(4096);
    file.seek(4 * 4096);
    file.write(page);
    file.close();
    const QByteArray before = checksum(path_);

    ScoreDatabase db(path_);
    const DbError notice = openedReadOnly(db, Kind::Damaged);
    EXPECT_TRUE(notice.message.contains("endommagé") && notice.message.contains("page"))
        << notice.message.toStdString();
    EXPECT_FALSE(notice.message.contains("pas été modifié"));
    const ScanResult scan = db.scan();
    EXPECT_FALSE(scan.error.has_value());
    EXPECT_GT(scan.records.size(), 0u);
    const auto refused = db.registerPlayer("DUPONT");
    EXPECT_EQ(refused.value().kind, Kind::Damaged);
    EXPECT_EQ(db.replaceScore({1}, "JOUEUR NUMÉRO 1 AU NOM ASSEZ LONG", 148).value().kind, Kind::Damaged);
    db.close();
    EXPECT_EQ(checksum(path_), before);
    EXPECT_EQ(entries(dir_.path()), QStringList{"billard.mdb"});
}

TEST_F(HostileFileTest, aHotJournalIsAppliedOnlyAfterTheFileAndItAreCopiedAside)
{
    // An older copy of the file, whose writer was killed in the middle of a big store.
    QTemporaryDir old;
    const QString oldPath = old.filePath("billard.mdb");
    makeScoreFile(oldPath);
    {
        test::Holder writer(oldPath, bigStore({"UPDATE nom SET Score = 0"}));
        ASSERT_TRUE(writer.held());
        writer.die();
    }
    ASSERT_GT(QFileInfo(oldPath + "-journal").size(), 0);

    // The current file has moved on since; the old journal is put beside it.
    makeScoreFile();
    ASSERT_EQ(sql(path_, "UPDATE nom SET Score = 140 WHERE \"Nom Complet\" = 'ALPHA'"), QStringList());
    const QByteArray current = checksum(path_), journal = checksum(oldPath + "-journal");
    ASSERT_TRUE(QFile::copy(oldPath + "-journal", path_ + "-journal"));

    // Read-only, it cannot be repaired: refused, nothing copied, nothing changed.
    ScoreDatabaseOptions readOnly = quick();
    readOnly.isWritable = [](const QString&) { return false; };
    ScoreDatabase locked(path_, readOnly);
    const auto refusal = locked.open();
    ASSERT_TRUE(refusal.has_value());
    EXPECT_EQ(refusal->kind, Kind::NeedsRecovery);
    EXPECT_TRUE(french(refusal->message));
    EXPECT_EQ(checksum(path_), current);
    EXPECT_EQ(entries(dir_.path()), QStringList({"billard.mdb", "billard.mdb-journal"}));

    ScoreDatabase db(path_, quick());
    ASSERT_TRUE(ok(db.open()));
    const QList<DbError> notices = db.takeNotices();
    ASSERT_GE(notices.size(), 1);
    EXPECT_EQ(notices[0].kind, Kind::Recovered);
    EXPECT_TRUE(notices[0].message.contains(QDir::toNativeSeparators(backup_) + " »"));
    EXPECT_TRUE(notices[0].message.contains(QDir::toNativeSeparators(backup_ + "-journal")));
    EXPECT_TRUE(french(notices[0].message));
    EXPECT_EQ(checksum(backup_), current);
    EXPECT_EQ(checksum(backup_ + "-journal"), journal);
    EXPECT_FALSE(QFile::exists(path_ + "-journal"));
    // A second leftover in the same minute gets a name of its own.
    ASSERT_TRUE(QFile::copy(oldPath + "-journal", path_ + "-journal"));
    db.close();
    ScoreDatabase again(path_, quick());
    EXPECT_TRUE(ok(again.open()));
    EXPECT_TRUE(QFile::exists(backup_ + "-2") && QFile::exists(backup_ + "-2-journal"));
    EXPECT_EQ(checksum(backup_), current);
    // A refusal met after such a repair does not claim the file was left as it was.
    const DbError repaired = afterRepair(dbError(Kind::WrongSchema, path_, "elle n'a pas de table « nom »"));
    EXPECT_FALSE(repaired.message.contains("pas été modifié"));
    EXPECT_TRUE(repaired.message.contains("réparé") && french(repaired.message));
}

TEST_F(HostileFileTest, aJournalOfAWriterStillAtWorkIsNoLeftover)
{
    makeScoreFile();
    test::Holder writer(path_, bigStore());
    ASSERT_TRUE(writer.held());
    ASSERT_TRUE(QFile::exists(path_ + "-journal"));
    ScoreDatabase db(path_, quick());
    const auto error = db.open();
    EXPECT_EQ(error.value().kind, Kind::Busy);
    EXPECT_FALSE(QFile::exists(backup_));
    writer.release();
    ASSERT_TRUE(ok(db.open()));
    EXPECT_TRUE(db.takeNotices().isEmpty());
    EXPECT_EQ(stored(path_), QStringList({"ALPHA|87", "BRAVO|120"}));
}

TEST_F(HostileFileTest, aWriteAheadLogOfAnotherCopyIsMovedAsideNeverApplied)
{
    makeScoreFile();
    const QString other = dir_.filePath("copie.mdb");
    ASSERT_TRUE(QFile::copy(path_, other));
    ASSERT_EQ(sql(other, "PRAGMA journal_mode = WAL"), QStringList{"wal"});
    const QByteArray before = checksum(path_);
    // While the other copy is open its log holds the changes: that log lands beside our file.
    sql(other, "DELETE FROM nom WHERE \"Nom Complet\" = 'BRAVO'", [&] {
        sql(other, "UPDATE nom SET Score = 0");
        ASSERT_TRUE(QFile::copy(other + "-wal", path_ + "-wal"));
    });
    const QByteArray log = checksum(path_ + "-wal");

    ScoreDatabase db(path_, quick());
    ASSERT_TRUE(ok(db.open()));
    const QList<DbError> notices = db.takeNotices();
    ASSERT_EQ(notices.size(), 1);
    EXPECT_EQ(notices[0].kind, Kind::ForeignLogSetAside);
    EXPECT_TRUE(notices[0].message.contains(QDir::toNativeSeparators(backup_ + "-wal")));
    EXPECT_TRUE(french(notices[0].message));
    EXPECT_EQ(db.scan().records.size(), 2u);
    db.close();
    EXPECT_EQ(checksum(path_), before);
    EXPECT_EQ(checksum(backup_ + "-wal"), log);
    EXPECT_FALSE(QFile::exists(path_ + "-wal"));
    EXPECT_EQ(stored(path_), QStringList({"ALPHA|87", "BRAVO|120"}));
}

TEST_F(HostileFileTest, aFileInWriteAheadModeHasItsOwnLogCopiedThenApplied)
{
    makeScoreFile();
    ASSERT_EQ(sql(path_, "PRAGMA journal_mode = WAL"), QStringList{"wal"});
    const QString kept = dir_.filePath("kept");
    QDir().mkdir(kept);
    sql(path_, "UPDATE nom SET Score = 148 WHERE \"Nom Complet\" = 'ALPHA'", [&] {
        // A reader keeps the log from being folded back when the writer closes: as after a crash.
        ASSERT_TRUE(QFile::copy(path_, kept + "/billard.mdb") &&
                    QFile::copy(path_ + "-wal", kept + "/billard.mdb-wal"));
    });
    QFile::remove(path_);
    QFile::remove(path_ + "-shm");
    ASSERT_TRUE(QFile::rename(kept + "/billard.mdb", path_) &&
                QFile::rename(kept + "/billard.mdb-wal", path_ + "-wal"));
    const QByteArray before = checksum(path_);

    ScoreDatabase db(path_, quick());
    ASSERT_TRUE(ok(db.open()));
    EXPECT_EQ(db.takeNotices().value(0).kind, Kind::Recovered);
    EXPECT_EQ(checksum(backup_), before);
    EXPECT_TRUE(QFile::exists(backup_ + "-wal"));
    ASSERT_TRUE(ok(db.registerPlayer("DUPONT")));
    db.close();
    EXPECT_EQ(stored(path_), QStringList({"ALPHA|148", "BRAVO|120", "DUPONT|<null>"}));
    EXPECT_EQ(sql(path_, "PRAGMA journal_mode"), QStringList{"delete"});
}

TEST_F(HostileFileTest, locksAreWaitedForBrieflyAndTheNextActionOpensAfresh)
{
    makeScoreFile();
    QElapsedTimer waited;
    {
        // Nobody can even read while another program holds the file exclusively.
        test::Holder exclusive(path_, {"BEGIN EXCLUSIVE", "DELETE FROM nom WHERE 0"});
        ASSERT_TRUE(exclusive.held());
        ScoreDatabase db(path_, quick());
        waited.start();
        const auto error = db.open();
        EXPECT_LT(waited.elapsed(), 1500); // one wait, not one per statement
        ASSERT_TRUE(error.has_value());
        EXPECT_EQ(error->kind, Kind::Busy);
        EXPECT_TRUE(french(error->message));
        EXPECT_EQ(db.scan().error.value().kind, Kind::Busy);
        exclusive.release();
        const ScanResult scan = db.scan();
        EXPECT_FALSE(scan.error.has_value());
        EXPECT_EQ(scan.records.size(), 2u);
    }
    {
        // Reading goes on while another program writes; writing waits, then gives up.
        ScoreDatabase db(path_, quick());
        ASSERT_TRUE(ok(db.open()));
        test::Holder writer(path_, {"BEGIN IMMEDIATE"});
        ASSERT_TRUE(writer.held());
        EXPECT_EQ(db.scan().records.size(), 2u);
        waited.start();
        EXPECT_EQ(db.registerPlayer("DUPONT").value().kind, Kind::Busy);
        EXPECT_GE(waited.elapsed(), 250);
        EXPECT_LT(waited.elapsed(), 1500);
        EXPECT_FALSE(db.isOpen());
        writer.release();
        EXPECT_TRUE(ok(db.registerPlayer("DUPONT")));
    }
    EXPECT_EQ(stored(path_), QStringList({"ALPHA|87", "BRAVO|120", "DUPONT|<null>"}));
}

TEST_F(HostileFileTest, aCreationRemovesWhatAKilledCreationLeftAndNothingElse)
{
    const QStringList stale{"billard.mdb.k3j2h1.tmp", "billard.mdb.k3j2h1.tmp-journal",
                            "billard.mdb.zz9.tmp-journal"};
    const QStringList others{"billard.mdb.sauvegarde-20261206-2130",
                             "billard.mdb.sauvegarde-20261206-2130-journal",
                             "billard.mdb.tmp",
                             "billard.mdb.ABC.tmp",
                             "autre.mdb.k3j2h1.tmp",
                             "billard.mdb.a.tmp.x"};
    for (const QString& name : stale + others) {
        ASSERT_TRUE(test::writeFile(dir_.filePath(name), "reste"));
    }
    // A creation under way in another copy of the program keeps its file.
    HeldNewFile running(dir_.filePath("billard.mdb.running1.tmp"));
    ASSERT_TRUE(running.isOpen());
    ASSERT_TRUE(QFile::link(dir_.filePath("billard.mdb.sauvegarde-20261206-2130"),
                            dir_.filePath("billard.mdb.lnk.tmp")));

    ASSERT_TRUE(ok(ScoreDatabase(path_).createIfMissing()));
    QStringList expected =
        others + QStringList{"billard.mdb", "billard.mdb.running1.tmp", "billard.mdb.lnk.tmp"};
    expected.sort();
    EXPECT_EQ(entries(dir_.path()), expected);
    EXPECT_TRUE(isCreationLeftover("billard.mdb.k3j2h1.tmp", "billard.mdb"));
    EXPECT_FALSE(isCreationLeftover("billard.mdb.sauvegarde-20261206-2130", "billard.mdb"));
}

TEST_F(HostileFileTest, aFileThatCannotBeCreatedSaysWhy)
{
    const auto error = ScoreDatabase(dir_.filePath("absent/billard.mdb")).createIfMissing();
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->kind, Kind::CannotCreate);
    EXPECT_TRUE(error->message.contains("son dossier n'existe pas")) << error->message.toStdString();

    // A full disk: a small file system of its own, filled to the last block.
    const QString disk = dir_.filePath("disk");
    ASSERT_TRUE(QDir().mkdir(disk));
    if (::mount("tmpfs", QFile::encodeName(disk).constData(), "tmpfs", 0, "size=64k") != 0) {
        GTEST_SKIP() << "no tmpfs can be mounted here (not root)";
    }
    const auto unmount = qScopeGuard([&] { ::umount2(QFile::encodeName(disk).constData(), MNT_DETACH); });
    {
        QFile filler(disk + "/plein");
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
    }
    const auto full = ScoreDatabase(disk + "/billard.mdb").createIfMissing();
    ASSERT_TRUE(full.has_value());
    EXPECT_EQ(full->kind, Kind::CannotCreate);
    EXPECT_TRUE(full->message.contains("le disque est plein")) << full->message.toStdString();
    EXPECT_TRUE(french(full->message));
    EXPECT_EQ(entries(disk), QStringList{"plein"});
}

} // namespace
} // namespace palinor

int main(int argc, char** argv)
{
    if (const int held = palinor::test::holdIfAsked(argc, argv); held >= 0) {
        return held;
    }
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
