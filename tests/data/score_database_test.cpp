// The score file layer: its schema, names and odd records, writers killed or at work together, and what real
// desktops do to the file: pipes, folders and foreign files under its name, damaged pages, leftovers of
// killed writers, locks held by other programs, folders that cannot be written, full disks.

#include "data/DatabaseFolder.h"
#include "data/FileSystem.h"
#include "data/Leftovers.h"
#include "data/ScoreDatabase.h"
#include "tests/data/DatabaseBuilders.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <iostream>
#include <map>
#include <random>
#include <thread>
#ifndef _WIN32
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#endif

using namespace palinor;
using namespace palinor::test;

namespace {
using Kind = DbError::Kind;

// A transaction left open, large enough for its pages to reach the file and its journal.
const auto bigStore = [](const QStringList& first = {}) {
    return QStringList{"PRAGMA cache_size = 1", "BEGIN IMMEDIATE"} + first
           << "INSERT INTO nom WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n WHERE x < 200) "
              "SELECT printf('REMPLISSAGE %d %.200c', x, 'x'), 1, 1, 1 FROM n";
};

// Each test's own score file, in a folder whose name would break a careless file URI.
class ScoreFileTest : public testing::Test {
protected:
    // The program's own file holding ALPHA 87 and BRAVO 120.
    void makeScoreFile(const QString& path = {})
    {
        const QString file = path.isEmpty() ? path_ : path;
        ASSERT_EQ(told(ScoreDatabase(file).createIfMissing()), "");
        ASSERT_EQ(sql(file, "INSERT INTO nom VALUES ('ALPHA', 87, NULL, NULL), ('BRAVO', 120, NULL, NULL)"),
                  QStringList());
    }
    ScoreDatabaseOptions quick(bool writable = true) const
    {
        return {200, 300, [writable](const QString&) { return writable; },
                [] { return QDateTime(QDate(2026, 12, 6), QTime(21, 30)); }};
    }
    // The refusal is of that kind and says, in French, the words given, with paths as the user sees them.
    static void expectRefusal(const std::optional<DbError>& error, Kind kind, const QString& says)
    {
        // The user reads French only: none of the engine's own words may reach a message.
        static const QRegularExpression english(
            "database|disk I/O|locked|readonly|malformed|constraint|SQL logic|SQLITE_|error code|not a",
            QRegularExpression::CaseInsensitiveOption);
        EXPECT_TRUE(kindOf(error) == kind && told(error).contains(QDir::toNativeSeparators(says)) &&
                    !english.match(told(error)).hasMatch())
            << told(error);
    }
    static auto only(const QList<DbError>& n) { return n.size() == 1 ? std::optional(n[0]) : std::nullopt; }
#ifdef _WIN32
    QTemporaryDir dir_{QDir::tempPath() + "/a b#%;'é-XXXXXX"}; // no "?" in Windows' names
#else
    QTemporaryDir dir_{QDir::tempPath() + "/a b?#%;'é-XXXXXX"};
#endif
    const QString folder_ = dir_.path(), path_ = dir_.filePath("billard.mdb"),
                  backup_ = path_ + ".sauvegarde-20261206-2130";
};

TEST_F(ScoreFileTest, whatIsNotAScoreFileIsRefusedAndSomethingForeignOnlyListedAndNeitherIsChanged)
{
    const QString fifo = dir_.filePath("pipe"), socketPath = dir_.filePath("socket");
#ifndef _WIN32
    const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{AF_UNIX, {}};
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", QFile::encodeName(socketPath).constData());
    ASSERT_EQ(::bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    const auto closeSocket = qScopeGuard([socket] { ::close(socket); });
#endif
    const QByteArray sqlite("SQLite format 3\0", 16),
        jet = QByteArray(4, '\0') + "Standard Jet DB" + QByteArray(4077, '\0');
    // One page written over another, as a faulty copy or disk would.
    makeScoreFile();
    ASSERT_EQ(sql(path_, bigStore().last()), QStringList());
    QByteArray damaged = contents(path_);
    damaged.replace(4 * 4096, 4096, damaged.mid(2 * 4096, 4096));
    // Under the name: nothing, "/" a folder, "|" a pipe, "->" a link, "-journal" a pipe as the journal, SQL
    // or the bytes given. Foreign additions and damage are only listed.
    const struct {
        QByteArray content;
        Kind kind;
        const char* says;
    } cases[] = {
        {"", Kind::Missing, "n'existe pas"},
        {"/", Kind::IsFolder, "dossier"},
        {"|", Kind::NotRegularFile, "tube nommé"},
        {"->/dev/zero", Kind::NotRegularFile, "périphérique"},
        {"->socket", Kind::NotRegularFile, "socket"},
        {"-journal", Kind::NotRegularFile, "tube nommé"},
        {"~-journal", Kind::LinkBeside, "lien symbolique"},
        {"~-wal", Kind::LinkBeside, "-wal » est un lien"},
        {"~-shm", Kind::LinkBeside, "-shm » est un lien"},
        {"empty", Kind::EmptyFile, "vide"},
        {QByteArray(3000, '\xA5'), Kind::NotADatabase, "pas une base de scores"},
        {sqlite, Kind::NotADatabase, "pas une base de scores"},
        {sqlite + QByteArray(4080, '\x7f'), Kind::NotADatabase, "endommagé"},
        {jet, Kind::AccessDatabase, "Access 97, moteur Jet 3"},
        {QByteArray(jet).replace(4, 15, "Standard ACE DB"), Kind::AccessDatabase, "ACE"},
        {"CREATE TABLE joueurs (nom TEXT)", Kind::WrongSchema, "pas de table « nom »"},
        {"CREATE TABLE nom (Joueur, Points, Date, Score2)", Kind::WrongSchema, "exactement"},
        {"CREATE TABLE nom ([Nom Complet], Score, Score1, Score2, X NOT NULL)", Kind::WrongSchema,
         "exactement"},
        {"CREATE TABLE nom ([Nom Complet], Score, Score1, Score2 AS (1))", Kind::WrongSchema, "exactement"},
        {"CREATE TABLE nom ([Nom Complet] PRIMARY KEY, Score, Score1, Score2) WITHOUT ROWID",
         Kind::WrongSchema, "WITHOUT ROWID"},
        {"CREATE VIRTUAL TABLE nom USING fts5(a)", Kind::WrongSchema, "virtuelle"},
        {"CREATE TABLE t (a);\nCREATE VIEW nom AS WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 "
         R"(FROM n) SELECT x AS "Nom Complet", x AS Score, x AS Score1, x AS Score2 FROM n)",
         Kind::WrongSchema, "une vue"},
        {damaged, Kind::Damaged, "endommagé : la vérification d'intégrité y trouve"},
        {"CREATE TABLE nom (\"Nom Complet\" TEXT, Score INT, Score1 INT, Score2 INT) STRICT;\n"
         "INSERT INTO nom VALUES ('ALPHA', 87, NULL, NULL), ('BRAVO', 120, NULL, NULL);\n"
         "CREATE TRIGGER purge AFTER INSERT ON nom BEGIN DELETE FROM nom WHERE rowid <> new.rowid; END;\n"
         "CREATE TRIGGER keep BEFORE DELETE ON nom BEGIN SELECT RAISE(IGNORE); END;\n"
         "CREATE VIEW best AS SELECT * FROM nom;\nCREATE TABLE extra (x);\n"
         "CREATE INDEX upper_name ON nom (upper(\"Nom Complet\"));\n"
         "CREATE INDEX partial ON nom (Score) WHERE Score > 100",
         Kind::Foreign,
         "un déclencheur « purge », un déclencheur « keep », une vue « best », une autre table « extra », un "
         "index calculé « upper_name », un index calculé « partial », le mode strict (STRICT)"},
    };
    for (const auto& [made, kind, says] : cases) {
        SCOPED_TRACE(made.left(60).toStdString());
        for (const QString& name : entries(dir_.path()) + QStringList{"billard.mdb", "billard.mdb-journal"}) {
            std::error_code ignored; // QDir lists no pipes
            std::filesystem::remove(dir_.filePath(name).toStdU16String(), ignored);
        }
#ifdef _WIN32
        if (made.startsWith('|') || made.startsWith('-') || (made.startsWith('~') && !linksMade())) {
            skipCase(made, made.startsWith('~') ? "symbolic links refused to this user"
                                                : "no pipe, socket or device among Windows' files");
            continue;
        }
#else
        ::mkfifo(QFile::encodeName(fifo).constData(), 0644);
#endif
        if (made == "/") {
            ASSERT_TRUE(QDir().mkdir(path_));
        } else if (made == "|") {
            ASSERT_TRUE(QFile::rename(fifo, path_));
        } else if (made.startsWith("->")) {
            ASSERT_TRUE(makeLink(QDir(dir_.path()).absoluteFilePath(made.mid(2)), path_));
        } else if (made == "-journal") {
            makeScoreFile();
            ASSERT_TRUE(QFile::rename(fifo, path_ + "-journal"));
        } else if (made.startsWith("~")) {
            // Beside the file, a link to a private file of the user: never read, copied or repaired.
            makeScoreFile();
            ASSERT_TRUE(writeFile(dir_.filePath("secret"), QByteArray(4096, 's')) &&
                        makeLink(dir_.filePath("secret"), path_ + made.mid(1)));
        } else if (made.startsWith("CREATE")) {
            ASSERT_EQ(sql(path_, QString::fromUtf8(made)), QStringList());
        } else if (!made.isEmpty()) {
            ASSERT_TRUE(writeFile(path_, made == "empty" ? "" : made));
        }
        // A pipe or a device is never read here either: it would block or never end.
        const auto content = [&] { return QFileInfo(path_).isFile() ? contents(path_) : QByteArray(); };
        const QByteArray before = content();
        const QStringList files = entries(dir_.path());
        ScoreDatabase db(path_);
        if (kind == Kind::Foreign || kind == Kind::Damaged) {
            ASSERT_EQ(told(db.open()), "");
            expectRefusal(only(db.takeNotices()), kind, says);
            EXPECT_TRUE(db.isReadOnly() && kindOf(db.replaceScore({1}, "ALPHA", 90)) == kind &&
                        !db.scan().error && (kind == Kind::Damaged || db.scan().records.size() == 2));
        } else {
            expectRefusal(db.open(), kind, path_ + (made == "-journal" ? "-journal" : ""));
            EXPECT_TRUE(told(db.open()).contains(says) && kindOf(db.scan().error) == kind &&
                        kindOf(db.registerPlayer("DUPONT")) == kind);
        }
        db.close();
        EXPECT_TRUE(content() == before && entries(dir_.path()) == files);
    }
    // A link to the program's own file is followed; a plain index only speeds reading.
    if (!linksMade()) {
        return skipCase("a link followed", "symbolic links refused to this user");
    }
    makeScoreFile(dir_.filePath("real.mdb"));
    ASSERT_TRUE(QFile::remove(path_) && makeLink(dir_.filePath("real.mdb"), path_));
    ASSERT_EQ(sql(path_, "CREATE INDEX by_score ON nom (Score)"), QStringList());
    ScoreDatabase db(path_);
    EXPECT_TRUE(!db.registerPlayer("CHARLIE") && db.takeNotices().isEmpty());
    EXPECT_EQ(stored(dir_.filePath("real.mdb")), QStringList({"ALPHA|87", "BRAVO|120", "CHARLIE|<null>"}));
}

TEST_F(ScoreFileTest, aNameTurnedIntoAPipeWhileLookedAtIsNeverTakenForTheFile)
{
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no named pipes among files";
#else
    // The name changes kind between its look and its opening: a pipe taken for the file would read as empty.
    const QString path = path_, file = path + ".f", pipe = path + ".p";
    std::jthread swapper([&](std::stop_token stop) {
        for (int i = 0; !stop.stop_requested(); ++i) {
            writeFile(file, "SQLite format 3") && ::mkfifo(QFile::encodeName(pipe).constData(), 0644);
            ::rename(QFile::encodeName(i % 2 ? file : pipe).constData(), QFile::encodeName(path).constData());
        }
    });
    int regular = 0, wrong = 0;
    for (const QDeadlineTimer deadline(3000); regular < 1000 && !deadline.hasExpired();) {
        const FileProbe probe = probeFile(path, 15);
        regular += probe.type == FileProbe::Type::Regular;
        wrong += probe.type == FileProbe::Type::Regular && probe.header != "SQLite format 3";
    }
    EXPECT_TRUE(wrong == 0 && regular > 0) << wrong << " of " << regular;
#endif
}

TEST_F(ScoreFileTest, withoutTheRightToWriteTheFileIsListedAndWhatCannotBeCreatedSaysWhy)
{
    makeScoreFile();
    const QByteArray before = contents(path_);
    const QString absent = dir_.filePath("absent/billard.mdb");
    expectRefusal(ScoreDatabase(absent).createIfMissing(), Kind::CannotCreate,
                  absent + " » ne peut pas être créé : son dossier n'existe pas");
    // A path too long for the engine, told as such.
    const QString deep = folder_ + "/" + QString(200, 'p') + "/" + QString(200, 'q') + "/" + QString(90, 'r');
    ASSERT_TRUE(QDir().mkpath(deep) && writeFile(deep + "/billard.mdb", before));
    expectRefusal(ScoreDatabase(deep + "/billard.mdb").open(), Kind::PathTooLong, "octets");
    expectRefusal(ScoreDatabase(deep + "/b.mdb").createIfMissing(), Kind::PathTooLong, "trop long");
#ifdef _WIN32
    return skipCase("no right to write, a full disk, a file moved while open",
                    "Windows has no other user, mounts no file system and renames no open file");
#else
    const QString locked = dir_.filePath("verrou"), inLocked = locked + "/billard.mdb",
                  disk = dir_.filePath("d");
    ASSERT_TRUE(QDir().mkdir(locked) && QDir().mkdir(disk));
    makeScoreFile(inLocked);
    for (const auto& [path, permissions] :
         {std::pair{path_, 0x5555}, {inLocked, 0x7777}, {locked, 0x5555}, {dir_.path(), 0x7777}}) {
        ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::Permissions(permissions)));
    }
    ASSERT_TRUE(asNobody([&] {
        // A read-only file says nothing until a write; a writable one in a locked folder can have no journal.
        for (const QString& path : {path_, inLocked}) {
            ScoreDatabase db(path);
            EXPECT_TRUE(!db.open() && db.isReadOnly() == (path == path_) && db.scan().records.size() == 2u);
            expectRefusal(db.registerPlayer("DUPONT"), Kind::ReadOnly, path + " » ne peut pas être modifié");
            EXPECT_TRUE(db.takeNotices().isEmpty());
        }
        expectRefusal(ScoreDatabase(locked + "/autre.mdb").createIfMissing(), Kind::CannotCreate,
                      "(droits insuffisants)");
    }));
    EXPECT_TRUE(contents(path_) == before && entries(locked) == QStringList{"billard.mdb"});
    // A full disk: a small file system of its own, filled to the last block (only root may mount one).
    if (::mount("tmpfs", QFile::encodeName(disk).constData(), "tmpfs", 0, "size=64k") == 0) {
        const auto unmount = qScopeGuard([&] { ::umount2(QFile::encodeName(disk).constData(), MNT_DETACH); });
        ASSERT_FALSE(writeFile(disk + "/plein", QByteArray(1 << 20, 'x')));
        expectRefusal(ScoreDatabase(disk + "/billard.mdb").createIfMissing(), Kind::CannotCreate,
                      "le disque est plein");
        EXPECT_EQ(entries(disk), QStringList{"plein"});
    }
    // Moved away while open: told as such.
    makeScoreFile(dir_.filePath("m.mdb"));
    ScoreDatabase moved(dir_.filePath("m.mdb"));
    ASSERT_TRUE(!moved.scan().error && QFile::rename(dir_.filePath("m.mdb"), dir_.filePath("n.mdb")));
    expectRefusal(moved.registerPlayer("DUPONT"), Kind::Moved, "déplacé, renommé ou supprimé");
#endif
}

TEST_F(ScoreFileTest, aHotJournalIsAppliedOnlyAfterTheFileAndItAreCopiedAside)
{
#ifdef _WIN32
    GTEST_SKIP() << "a writer killed within a store needs fork and signals, which Windows lacks";
#else
    // An older copy of the file, whose writer was killed in the middle of a big store.
    QTemporaryDir old;
    const QString oldPath = old.filePath("billard.mdb");
    makeScoreFile(oldPath);
    Holder writer(oldPath, bigStore({"UPDATE nom SET Score = 0"}));
    ASSERT_TRUE(writer.held() && WIFSIGNALED(writer.end(SIGKILL)));
    ASSERT_GT(QFileInfo(oldPath + "-journal").size(), 0);
    // The current file has moved on since; the old journal is put beside it.
    makeScoreFile();
    ASSERT_EQ(sql(path_, "UPDATE nom SET Score = 140 WHERE \"Nom Complet\" = 'ALPHA'"), QStringList());
    const QByteArray current = contents(path_), journal = contents(oldPath + "-journal");
    ASSERT_TRUE(QFile::copy(oldPath + "-journal", path_ + "-journal"));
    // Read-only, it cannot be repaired: refused, nothing copied, nothing changed.
    expectRefusal(ScoreDatabase(path_, quick(false)).open(), Kind::NeedsRecovery, "ne peut pas être réparé");
    EXPECT_TRUE(contents(path_) == current &&
                entries(dir_.path()) == QStringList({"billard.mdb", "billard.mdb-journal"}));

    // The copies are never more open than the private file they come from, and a leftover already copied
    // aside is not copied again, by any later opening.
    ::chmod(QFile::encodeName(path_).constData(), 0600);
    const SetAside once = backUpBeforeRollback(path_, quick().clock()),
                   again = backUpBeforeRollback(path_, {});
    expectRefusal(once.notice, Kind::Recovered, backup_ + " » et « " + backup_ + "-journal");
    ScoreDatabase db(path_, quick());
    ASSERT_EQ(told(db.open()), "");
    EXPECT_TRUE(!again.notice && !again.refusal && db.takeNotices().isEmpty() &&
                entries(folder_).size() == 3);
    EXPECT_TRUE(contents(backup_) == current && contents(backup_ + "-journal") == journal &&
                !QFile::exists(path_ + "-journal") && identityOf(backup_)->mode == 0600);
    // A past fault: a refusal met right after such a repair claimed the file had been left as it was.
    const QString repaired = afterRepair(dbError(Kind::WrongSchema, path_, "pas de table « nom »")).message;
    EXPECT_TRUE(repaired.contains("réparé") && !repaired.contains("pas été modifié")) << repaired;
#endif
}

TEST_F(ScoreFileTest, aWriteAheadLogIsSetAsideFirstAndAppliedOnlyToItsOwnFile)
{
    makeScoreFile();
    const QString other = dir_.filePath("copie.mdb"), kept = dir_.filePath("kept.mdb");
    ASSERT_TRUE(QFile::copy(path_, other));
    ASSERT_EQ(sql(other, "PRAGMA journal_mode = WAL"), QStringList{"wal"});
    // An open connection keeps the log from being folded back into the file: as after a crash.
    sql(other, "UPDATE nom SET Score = 148 WHERE \"Nom Complet\" = 'ALPHA'", [&] {
        ASSERT_TRUE(QFile::copy(other, kept) && QFile::copy(other + "-wal", kept + "-wal") &&
                    QFile::copy(other + "-wal", path_ + "-wal"));
    });
    const QByteArray before = contents(path_), log = contents(path_ + "-wal");
    // Beside a file that is not in that mode, the log is another copy's.
    ScoreDatabase db(path_, quick());
    ASSERT_EQ(told(db.open()), "");
    expectRefusal(only(db.takeNotices()), Kind::ForeignLogSetAside, backup_ + "-wal");
    db.close();
    EXPECT_TRUE(contents(path_) == before && contents(backup_ + "-wal") == log &&
                !QFile::exists(path_ + "-wal") && stored(path_) == QStringList({"ALPHA|87", "BRAVO|120"}));
    // The file's own log: copied aside with it, under a name of its own in the same minute, then applied.
    ASSERT_TRUE(QFile::remove(path_) && QFile::rename(kept, path_) &&
                QFile::rename(kept + "-wal", path_ + "-wal"));
    const QByteArray own = contents(path_);
    ASSERT_EQ(told(db.open()), "");
    expectRefusal(only(db.takeNotices()), Kind::Recovered, backup_ + "-2");
    EXPECT_TRUE(contents(backup_ + "-2") == own && QFile::exists(backup_ + "-2-wal"));
    ASSERT_EQ(told(db.registerPlayer("DUPONT")), "");
    db.close();
    EXPECT_EQ(stored(path_) + sql(path_, "PRAGMA journal_mode"),
              QStringList({"ALPHA|148", "BRAVO|120", "DUPONT|<null>", "delete"}));
}

TEST_F(ScoreFileTest, locksAreWaitedForBrieflyAndAWriterAtWorkLeavesNoLeftover)
{
#ifdef _WIN32
    GTEST_SKIP() << "another program holding the file needs fork and signals, which Windows lacks";
#else
    makeScoreFile();
    ScoreDatabase db(path_, quick());
    {
        // Nobody can even read while a writer's store spills into the file; its journal is no leftover.
        Holder writer(path_, bigStore());
        ASSERT_TRUE(writer.held() && QFile::exists(path_ + "-journal"));
        expectRefusal(db.open(), Kind::Busy, "utilisé en ce moment");
        EXPECT_EQ(kindOf(db.scan().error), Kind::Busy);
        writer.release();
        EXPECT_TRUE(db.scan().records.size() == 2 && db.takeNotices().isEmpty() && !QFile::exists(backup_));
    }
    // Reading goes on while another writes; writing waits, gives up, and the next action opens afresh.
    Holder writer(path_, {"BEGIN IMMEDIATE"});
    ASSERT_TRUE(writer.held());
    EXPECT_TRUE(db.scan().records.size() == 2 && kindOf(db.registerPlayer("DUPONT")) == Kind::Busy &&
                !db.isOpen());
    writer.release();
    EXPECT_EQ(told(db.registerPlayer("DUPONT")), "");
#endif
}

TEST_F(ScoreFileTest, createMakesTheFourNullableFieldsAndNamesAreStoredExactlyUpTo255CodePoints)
{
    const QStringList connections = QSqlDatabase::connectionNames();
    const QString ball = QString::fromUcs4(U"\U0001F3B1"); // two UTF-16 units, one code point
    // A kept name must come back whole, for the score table to find the player's record again.
    QStringList names{"O'HARA\"; DROP TABLE nom; -- 100% _x_", " mixed Case ",
                      "du\uFEFFpont \u202Eevil\u202C", "\u00A0nom\u3000"};
    names << QStringLiteral("av\0ant \t\x01\x1b[31m\x7f\r\n") << ball.repeated(255);
    {
        ScoreDatabase db(path_);
        ASSERT_EQ(told(db.createIfMissing()), "");
        // cid|name|type|notnull|default|pk, and nothing else in the file
        EXPECT_EQ(sql(path_, "PRAGMA table_info(nom)") + sql(path_, "SELECT type, name FROM sqlite_master"),
                  QStringList({"0|Nom Complet|TEXT|0|<null>|0", "1|Score|SMALLINT|0|<null>|0",
                               "2|Score1|SMALLINT|0|<null>|0", "3|Score2|SMALLINT|0|<null>|0", "table|nom"}));
        const QByteArray made = contents(path_);
        EXPECT_TRUE(!db.createIfMissing() && contents(path_) == made);
        ASSERT_EQ(told(db.open()), "");
        for (const QString& name : names) {
            EXPECT_EQ(told(db.registerPlayer(name)), "");
        }
        EXPECT_TRUE(told(db.registerPlayer(ball.repeated(256))).contains("256 caractères") &&
                    kindOf(db.replaceScore({}, ball.repeated(256), 10)) == Kind::NameTooLong &&
                    kindOf(db.registerPlayer(QString())) == Kind::EmptyName);
        // SQLite takes a leading U+FEFF for a byte order mark, reads U+FFFE and U+FFFF back as U+FFFD, and
        // half a UTF-16 pair as "?".
        for (const QString& name :
             {QStringView(u"\uFEFFdupont").toString(), QStringView(u"  \uFFFE").toString(),
              QStringView(u"dupont\uFFFF").toString(), "x" + QString(QChar(0xD800)) + "yz",
              QString(QChar(0xDC00))}) {
            EXPECT_EQ(kindOf(db.registerPlayer(name)), Kind::UnstorableName);
        }
        QStringList back;
        for (const ScoreRecord& record : db.scan().records) {
            back << record.nameText() + (record.score.isNull() ? "" : "?");
        }
        EXPECT_EQ(back, names);
    }
    EXPECT_TRUE(entries(folder_) == QStringList{"billard.mdb"} &&
                QSqlDatabase::connectionNames() == connections);
}

TEST_F(ScoreFileTest, oddRecordsAreReadAndOnlyTheNamedOnesReplacedAllOrNothingWhateverTheFieldCase)
{
    ASSERT_EQ(sql(path_,
                  R"(CREATE TABLE NOM ("NOM COMPLET" TEXT, SCORE INT, SCORE1 INT, SCORE2 INT);)"
                  "\nINSERT INTO nom VALUES ('ALPHA', 87, 1, 2), (NULL, 12, 0, 0), ('NEW', NULL, 0, 0),"
                  "('HIGH', 256, 0, 0), ('NEG', -1, 0, 0), ('TEXT', 'abc', 0, 0), ('HALF', 87.5, 0, 0),"
                  "('ALPHA', 255, 0, 0), ('BRAVO', 120, 0, 0)"),
              QStringList());
    ScoreDatabase db(path_);
    ASSERT_EQ(told(db.open()), "");
    QStringList readable;
    std::vector<qint64> all;
    for (const ScoreRecord& r : db.scan().records) {
        all.push_back(r.rowId);
        // The sign-up list shows a Null name as an empty line.
        readable << (r.readable() ? r.nameText() + "=" + QString::number(r.scoreValue())
                                  : "-" + r.nameText() + (r.name.isNull() ? "<null>" : ""));
    }
    EXPECT_EQ(readable, QStringList({"ALPHA=87", "-<null>", "NEW=0", "-HIGH", "-NEG", "-TEXT", "-HALF",
                                     "ALPHA=255", "BRAVO=120"}));
    const QStringList before = stored(path_);
    ASSERT_EQ(sql(path_, "CREATE TRIGGER refuse BEFORE INSERT ON nom BEGIN SELECT RAISE(ABORT, 'non'); END"),
              QStringList());
    expectRefusal(db.replaceScore(all, "ALPHA", 90), Kind::Engine, path_);
    EXPECT_EQ(stored(path_), before);
    ASSERT_EQ(sql(path_, "DROP TRIGGER refuse"), QStringList());
    // Every rowid is listed: only the records that still carry the name go.
    ASSERT_EQ(told(db.replaceScore(all, "ALPHA", 90)), "");
    EXPECT_EQ(stored(path_), QStringList({"<null>|12", "ALPHA|90", "BRAVO|120", "HALF|87.5", "HIGH|256",
                                          "NEG|-1", "NEW|<null>", "TEXT|abc"}));
    EXPECT_TRUE(kindOf(db.replaceScore({}, "ALPHA", 256)) == Kind::BadScore &&
                kindOf(db.replaceScore({}, "ALPHA", -1)) == Kind::BadScore);
}

#ifndef _WIN32
// Rounds (0: endless) of storing each name's score plus one modulo 256, as the windows do; says "NAME SCORE".
int storeRounds(const QString& path, const QStringList& names, int rounds, int out)
{
    for (int round = 1; rounds == 0 || round <= rounds; ++round) {
        for (const QString& name : names) {
            ScoreDatabase db(path);
            int score = 1;
            const auto listed = [&] {
                std::vector<qint64> ids;
                for (const ScoreRecord& record : db.scan().records) {
                    if (record.nameText() == name) {
                        ids.push_back(record.rowId);
                        score = (record.scoreValue() + 1) % (kMaxStoredScore + 1);
                    }
                }
                return ids;
            };
            if (db.createIfMissing() || db.open() || (listed().empty() && db.registerPlayer(name)) ||
                db.replaceScore(listed(), name, score)) {
                return 2;
            }
            say(out, name.toUtf8() + ' ' + QByteArray::number(score) + '\n');
        }
    }
    return 0;
}

// Every line said by `work` in a copy of this process, killed at random within the time a line takes.
QList<QByteArray> killedAtRandom(const std::function<int(int)>& work)
{
    static std::mt19937 random = [] {
        const QByteArray given = qgetenv("PALINOR_RELIABILITY_SEED");
        const unsigned seed = given.isEmpty() ? std::random_device{}() : given.toUInt();
        std::cout << "seed " << seed << " (PALINOR_RELIABILITY_SEED repeats the kill delays)" << std::endl;
        return std::mt19937(seed);
    }();
    Child child(work);
    QList<QByteArray> said{child.line(20000).value_or("")};
    const qint64 start = QDeadlineTimer::current().deadlineNSecs();
    said << child.line(20000).value_or("");
    ::usleep(std::uniform_int_distribution<qint64>(0, (QDeadlineTimer::current().deadlineNSecs() - start) /
                                                          1000)(random));
    const int status = child.end(SIGKILL);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
        << "died of a failure of its own: " << status;
    while (const auto line = child.line(0)) {
        said << *line;
    }
    return said;
}

#endif

TEST_F(ScoreFileTest, everyKillLeavesASoundFileWithEachPlayerOnceWithTheOldOrTheNewScore)
{
#ifdef _WIN32
    GTEST_SKIP() << "writers killed at random need fork and signals, which Windows lacks";
#else
    const QStringList players{"ALPHA", "BRAVO"};                // in file order
    std::map<QString, int> last{{"ALPHA", 87}, {"BRAVO", 120}}; // each player's score as last committed
    makeScoreFile();
    int interrupted = 0;
    for (int kill = 1; kill <= 30 || (interrupted == 0 && kill <= 300); ++kill) {
        for (const QByteArray& line :
             killedAtRandom([&](int out) { return storeRounds(path_, players, 0, out); })) {
            last[QString::fromUtf8(line.split(' ')[0])] = line.split(' ').value(1).toInt();
        }
        interrupted += QFile::exists(path_ + "-journal");
        // This connection rolls back what the dead writer left half done.
        const QStringList check = sql(path_, "PRAGMA integrity_check"), rows = stored(path_);
        ASSERT_TRUE(check == QStringList{"ok"} && rows.size() == players.size()) << (check + rows).join(u' ');
        int ahead = 0;
        for (int i = 0; i < players.size(); ++i) {
            const int now = rows[i].section('|', 1).toInt(), old = last[players[i]];
            EXPECT_TRUE(rows[i].startsWith(players[i] + '|') && (now == old || now == (old + 1) % 256))
                << rows[i] << " after " << old;
            ahead += now != old;
            last[players[i]] = now;
        }
        EXPECT_LE(ahead, 1) << "only the store under way can be ahead of its report";
    }
    EXPECT_GT(interrupted, 0) << "no kill landed within a store: nothing was tested";
    // An empty journal left by a kill is no hot journal: the next store takes it over and removes it.
    EXPECT_TRUE(!ScoreDatabase(path_).replaceScore({}, "DERNIER", 1) &&
                entries(folder_) == QStringList{"billard.mdb"});
#endif
}

TEST_F(ScoreFileTest, aCreationRemovesWhatAKilledCreationLeftAndNothingElse)
{
    QStringList kept =
        QString("billard.mdb billard.mdb.sauvegarde-20261206-2130 billard.mdb.tmp billard.mdb.ABC.tmp "
                "billard.mdb.sauvegarde-20261206-2130-journal autre.mdb.k3j2h1.tmp billard.mdb.a.tmp.x "
                "billard.mdb.running1.tmp billard.mdb.lnk.tmp")
            .split(' ');
    for (const QString& name :
         kept.mid(1, 6) + QStringList{"billard.mdb.k3j2h1.tmp", "billard.mdb.zz9.tmp-journal"}) {
        ASSERT_TRUE(writeFile(folder_ + "/" + name, "reste"));
    }
    // A creation under way in another copy of the program keeps its file, and a link is no leftover.
    HeldNewFile running(folder_ + "/billard.mdb.running1.tmp");
    ASSERT_TRUE(running.isOpen());
    if (!makeLink(folder_ + "/" + kept[1], folder_ + "/billard.mdb.lnk.tmp")) {
        skipCase("a link left alone", "symbolic links refused to this user");
        kept.removeLast();
    }
    kept.sort();
    // The next start of the sign-up, whether or not the file was made before a kill.
    const auto nextStart = [&] {
        ASSERT_TRUE(!ScoreDatabase(path_).createIfMissing() && entries(folder_) == kept &&
                    sql(path_, "PRAGMA integrity_check") == QStringList{"ok"})
            << entries(folder_).join(u' ');
    };
    nextStart();
#ifdef _WIN32
    return skipCase("creations killed at random", "no fork or signals on Windows");
#else
    int leftBehind = 0;
    for (int kill = 1; kill <= 20 && !HasFatalFailure(); ++kill) {
        killedAtRandom([&](int out) {
            for (;; say(out, "made\n")) {
                if (!QFile::remove(path_) || ScoreDatabase(path_).createIfMissing()) {
                    return 2;
                }
            }
        });
        leftBehind += entries(folder_) != kept;
        nextStart();
    }
    EXPECT_GT(leftBehind, 0) << "no kill landed within a creation: nothing was tested";
#endif
}

TEST_F(ScoreFileTest, twoCopiesCreateRegisterAndStoreEverythingWithoutAFailure)
{
#ifdef _WIN32
    GTEST_SKIP() << "two copies of the program at work need fork, which Windows lacks";
#else
    QStringList names[2], expected;
    for (int i = 10; i < 34; ++i) {
        names[i % 2] << QString::number(i);
        expected << QString::number(i) + "|2";
    }
    // Both start without the file, so they also race to create it.
    Child a([&](int out) { return storeRounds(path_, names[0], 2, out); }),
        b([&](int out) { return storeRounds(path_, names[1], 2, out); });
    EXPECT_TRUE(a.end() == 0 && b.end() == 0);
    EXPECT_EQ(sql(path_, "PRAGMA integrity_check") + stored(path_) + entries(folder_),
              QStringList{"ok"} + expected + QStringList{"billard.mdb"});
    // Both sign-up windows listed the file before either registered the same name.
    ScoreDatabase listed(path_);
    ASSERT_TRUE(!listed.scan().error &&
                Child([&](int) { return !!ScoreDatabase(path_).registerPlayer("10X"); }).end() == 0);
    EXPECT_TRUE(!listed.registerPlayer("10X") && stored(path_).filter("10X").size() == 1);
#endif
}

TEST(DatabaseFolderTest, aPortableProgramKeepsItsScoresBesideItselfAnInstalledOneInTheUserFolder)
{
    const QString user = "/home/joueur/.local/share/Palinor";
    QTemporaryDir root;
    const QString portable = root.filePath("portable"), locked = root.filePath("locked"),
                  installed = root.filePath("usr/games"), withFile = root.filePath("usr/bin");
    ASSERT_TRUE(QDir().mkpath(root.filePath("usr/share/applications")) && QDir().mkpath(withFile) &&
                QDir().mkpath(installed));
    ASSERT_TRUE(writeFile(root.filePath("usr/share/applications/org.example.palinor.desktop"), "x") &&
                writeFile(withFile + "/billard.mdb", "scores") &&
                writeFile(root.filePath("Uninstall.exe"), "x"));
    const auto canWrite = [&](const QString& folder) { return folder != locked; };
    EXPECT_TRUE(!isInstalledProgram(portable) && isInstalledProgram(installed) &&
                isInstalledProgram(withFile) && isInstalledProgram(root.path()));
    EXPECT_EQ(chooseDatabaseFolder(portable, user, false, canWrite), portable);
    EXPECT_EQ(chooseDatabaseFolder(locked, user, false, canWrite), user);
    EXPECT_EQ(chooseDatabaseFolder(locked, QString(), false, canWrite), locked);
    EXPECT_EQ(chooseDatabaseFolder(installed, user, true, canWrite), user);
    // A file already beside an installed program is used: nothing is left behind.
    EXPECT_EQ(chooseDatabaseFolder(withFile, user, true, canWrite), withFile);
    EXPECT_TRUE(canCreateFilesIn(root.path()) && !canCreateFilesIn(withFile + "/billard.mdb") &&
                !canCreateFilesIn(root.filePath("absent")) && !canCreateFilesIn("/proc"));
    // The build folder can be written, unless the tests run under another user than the build.
    const QString program = QCoreApplication::applicationDirPath(), current = QDir::currentPath();
    const QString users = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    EXPECT_TRUE(locateDatabase().path == (canCreateFilesIn(program) ? program : users) + "/billard.mdb" &&
                QDir::currentPath() == current);
#ifdef _WIN32
    return skipCase("a folder name that is not UTF-8", "Windows names files in UTF-16");
#else
    // A folder whose name is not UTF-8, as unzipped from an old archive: the scores stay beside the program.
    const QByteArray latin1 = QFile::encodeName(root.path()) + "/cl\xe9-usb";
    const auto back = qScopeGuard([&] { // Qt could not name what is inside to remove it
        QDir::setCurrent(current) && ::unlink(latin1 + "/billard.mdb") + ::rmdir(latin1) == 0;
    });
    ASSERT_TRUE(::mkdir(latin1.constData(), 0755) == 0 && usableFolder(latin1) == ".");
    ScoreDatabase db(QDir(".").filePath("billard.mdb"));
    EXPECT_TRUE(!db.createIfMissing() && !db.registerPlayer("ALPHA") && db.scan().records.size() == 1 &&
                ::access((latin1 + "/billard.mdb").constData(), R_OK) == 0);
#endif
}

} // namespace
