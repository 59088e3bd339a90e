// The score file and the real windows under abuse: a writer killed at random, two copies writing at once, bad
// and read-only files, hostile names. Never a crash nor a byte lost; a French message naming file or fault.

#include "data/ScoreDatabase.h"
#include "tests/data/DatabaseBuilders.h"
#include "tests/ui/ScriptedMessageBoxes.h"
#include "ui/scores/scorefrm.h"
#include "ui/signup/inscription.h"

#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdio>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

using namespace palinor;
using namespace palinor::test;
using enum DbError::Kind;

namespace {

// What the window tells the user goes to the scripted boxes.
struct TestedSignUp : palinor::testing::ScriptedMessageBoxes, inscription {
    explicit TestedSignUp(GameState& state) : inscription(state, *this) {}
    QStringList& reports = told;
};

// Files the windows meet: the error kind open() gives (for files that can be listed: the reason they are not
// written) and a word of the first message the windows show.
struct ScoreFile {
    const char* label;
    QByteArray content; // SQL when it starts with CREATE; "-" for no file, "/" for a folder, "|" for a pipe
    DbError::Kind kind;
    const char* mentions;
};

const QByteArray kSqlite("SQLite format 3\0", 16);
const QByteArray kSound = R"(INSERT INTO nom VALUES ('ALPHA', 40, NULL, NULL))";
const ScoreFile kFiles[] = {
    {"missing", "-", Missing, "n'existe pas"},
    {"garbage", QByteArray(3000, '\xA5'), NotADatabase, "pas une base de scores"},
    {"empty", "", EmptyFile, "vide"},
    {"Jet", QByteArray(4, '\0') + "Standard Jet DB" + QByteArray(4077, '\0'), AccessDatabase, "Jet"},
    {"ACE", QByteArray(4, '\0') + "Standard ACE DB" + QByteArray(4077, '\0'), AccessDatabase, "ACE"},
    {"damaged", kSqlite + QByteArray(4080, '\x7f'), NotADatabase, "endommagé"},
    {"too short", kSqlite, NotADatabase, "pas une base de scores"},
    {"no table nom", "CREATE TABLE joueurs (nom TEXT)", WrongSchema, "pas de table « nom »"},
    {"other fields", "CREATE TABLE nom (Joueur TEXT, Points INTEGER, Date TEXT)", WrongSchema, "exactement"},
    {"a field short", "CREATE TABLE nom ([Nom Complet] TEXT, Score INT)", WrongSchema, "Score2"},
    {"a field more", "CREATE TABLE nom ([Nom Complet], Score, Score1, Score2, X NOT NULL)", WrongSchema,
     "Score1"},
    {"no rowid", "CREATE TABLE nom ([Nom Complet] PRIMARY KEY, Score, Score1, Score2) WITHOUT ROWID",
     WrongSchema, "WITHOUT ROWID"},
    {"folder", "/", IsFolder, "dossier"},
    {"named pipe", "|", NotRegularFile, "tube nommé"},
    // The program's table with a trigger that would delete players: listed, never written.
    {"trigger", "CREATE TRIGGER t AFTER INSERT ON nom BEGIN DELETE FROM nom; END", Foreign, "déclencheur"},
    {"strict table", "STRICT", Foreign, "STRICT"},
    // Sound files that cannot be written: listed, and every write refused.
    {"read-only file", kSound, ReadOnly, "lecture seule"},
    {"writable file in a locked folder", kSound, ReadOnly, "lecture seule"},
    // No file yet, in a folder where none can be made: the sign-up says why, at each try.
    {"no file in a locked folder", "-", CannotCreate, "droits insuffisants"},
};

void stopOn(const std::optional<DbError>& error)
{
    if (error) {
        std::fprintf(stderr, "writer: %s\n", qPrintable(error->message));
        std::exit(2);
    }
}

// --writer FILE ROUNDS NAME...: each round (0: endless) registers each name unless listed, stores its score
// plus one (modulo 256), prints "NAME SCORE" once committed, as the windows would. Exits 2 on a failure.
int writer(const QStringList& args)
{
    for (int round = 1; args[3] == "0" || round <= args[3].toInt(); ++round) {
        for (const QString& name : args.mid(4)) {
            ScoreDatabase db(args[2]);
            stopOn(db.createIfMissing());
            stopOn(db.open());
            const auto listed = [&db, &name](int* score) {
                const ScanResult scan = db.scan();
                stopOn(scan.error);
                std::vector<qint64> ids;
                for (const ScoreRecord& record : scan.records) {
                    if (record.nameText() == name) {
                        ids.push_back(record.rowId);
                        *score = (record.scoreValue() + 1) % (kMaxStoredScore + 1);
                    }
                }
                return ids;
            };
            int score = 1;
            if (listed(&score).empty()) {
                stopOn(db.registerPlayer(name));
            }
            stopOn(db.replaceScore(listed(&score), name, score));
            // One write(2) a line: a line in the pipe is whole or absent, whenever the process dies.
            std::printf("%s %d\n", name.toUtf8().constData(), score);
            std::fflush(stdout);
        }
    }
    return 0;
}

// Scripts and characters that trouble text handling, some names near 255 code points; U+FEFF/FFFE/FFFF aside.
QString randomName(std::mt19937& random)
{
    static const char32_t pools[][2] = {
        {0x20, 0x7E},       {0x01, 0x1F},       {0xC0, 0x24F},      {0x300, 0x36F},     {0x3B1, 0x3C9},
        {0x5D0, 0x5EA},     {0x627, 0x64A},     {0x200B, 0x200F},   {0x202A, 0x202E},   {0xFFF0, 0xFFFD},
        {0x10400, 0x1044F}, {0x1D400, 0x1D7FF}, {0x1F300, 0x1F64F}, {0x20000, 0x2A6DF},
    };
    const auto between = [&random](unsigned low, unsigned high) { return low + random() % (high - low + 1); };
    std::u32string points(between(0, 3), U' ');
    const auto length = between(0, 9) == 0 ? between(250, 262) : between(1, 24);
    for (unsigned i = 0; i < length; ++i) {
        const auto* pool = pools[between(0, std::size(pools) - 1)];
        points += char32_t(between(pool[0], pool[1]));
    }
    points.append(between(0, 3), U' ');
    return QString::fromUcs4(points.data(), qsizetype(points.size()));
}

// --creator FOLDER: creates billard.mdb there again and again, printing "made" after each, until killed.
int creator(const QStringList& args)
{
    const QString path = QDir(args[2]).filePath("billard.mdb");
    for (;;) {
        QFile::remove(path);
        stopOn(ScoreDatabase(path).createIfMissing());
        std::puts("made");
        std::fflush(stdout);
    }
}

} // namespace

class ReliabilityTest : public QObject {
    Q_OBJECT
    unsigned seed_ = 0;

private slots:
    void initTestCase()
    {
        const QByteArray given = qgetenv("PALINOR_RELIABILITY_SEED");
        seed_ = given.isEmpty() ? std::random_device{}() : given.toUInt();
        qInfo("seed %u (PALINOR_RELIABILITY_SEED=%u repeats the kill delays and the names)", seed_, seed_);
    }

    void everyKillLeavesASoundFileWithEachPlayerOnceWithTheOldOrTheNewScore()
    {
        constexpr int kKills = 120;
        std::mt19937 random(seed_);
        QTemporaryDir dir;
        const QString path = dir.filePath("billard.mdb");
        const QStringList players{"ALPHA", "BRAVO", "ÉMILE"}; // in file order
        std::map<QString, int> last; // each player's score as last committed, 0 at first
        QVERIFY(!ScoreDatabase(path).createIfMissing());
        QCOMPARE(
            sql(path, "INSERT INTO nom VALUES ('ALPHA', 0, 0, 0), ('BRAVO', 0, 0, 0), ('ÉMILE', 0, 0, 0)"),
            QStringList());
        int interrupted = 0;
        for (int kill = 1; kill <= kKills; ++kill) {
            QProcess writer;
            const auto started = std::chrono::steady_clock::now();
            writer.start(QCoreApplication::applicationFilePath(),
                         QStringList{"--writer", path, "0"} + players);
            // Past its first store, the writer is killed within the time that took, so anywhere in a store.
            QVERIFY(writer.waitForReadyRead(20000));
            const auto took = (std::chrono::steady_clock::now() - started) / std::chrono::microseconds(1);
            QThread::usleep(std::uniform_int_distribution<qint64>(0, took)(random));
            writer.kill();
            // Died of the kill, not of a failure of its own.
            QVERIFY2(writer.waitForFinished() && writer.exitStatus() == QProcess::CrashExit,
                     writer.readAllStandardError());
            for (const QByteArray& line : writer.readAllStandardOutput().split('\n')) {
                if (const QStringList words = QString::fromUtf8(line).split(' '); words.size() == 2) {
                    last[words[0]] = words[1].toInt();
                }
            }
            interrupted += QFile::exists(path + "-journal");
            // This connection rolls back what the dead writer left half done.
            QCOMPARE(sql(path, "PRAGMA integrity_check"), QStringList{"ok"});
            const QStringList rows = sql(path, R"(SELECT "Nom Complet", Score FROM nom ORDER BY 1)");
            QCOMPARE(rows.size(), players.size());
            int ahead = 0;
            for (int i = 0; i < players.size(); ++i) {
                const int stored = rows[i].section('|', 1).toInt(), old = last[players[i]];
                QCOMPARE(rows[i].section('|', 0, 0), players[i]);
                QVERIFY(stored == old || stored == (old + 1) % (kMaxStoredScore + 1));
                ahead += stored != old;
                last[players[i]] = stored;
            }
            QVERIFY2(ahead <= 1, "only the store under way can be ahead of its report");
        }
        qInfo("%d kills, %d within a write transaction", kKills, interrupted);
        QVERIFY2(interrupted > 0, "no kill landed within a store: nothing was tested");
        // An empty journal left by a kill is no hot journal: the next store takes it over and removes it.
        ScoreDatabase db(path);
        QVERIFY(!db.open() && !db.replaceScore({}, "DERNIER", 1));
        QCOMPARE(entries(dir.path()), QStringList{"billard.mdb"});
    }

    void aCreationKilledHalfWayLeavesNothingTheNextStartKeeps()
    {
        std::mt19937 random(seed_ + 1);
        QTemporaryDir dir;
        int leftBehind = 0;
        for (int kill = 1; kill <= 30; ++kill) {
            QProcess child;
            child.start(QCoreApplication::applicationFilePath(), {"--creator", dir.path()});
            const auto started = std::chrono::steady_clock::now();
            QVERIFY(child.waitForReadyRead(20000));
            const auto took = (std::chrono::steady_clock::now() - started) / std::chrono::microseconds(1);
            QThread::usleep(std::uniform_int_distribution<qint64>(0, took)(random));
            child.kill();
            QVERIFY2(child.waitForFinished() && child.exitStatus() == QProcess::CrashExit,
                     child.readAllStandardError());
            leftBehind += entries(dir.path()).size() > 1;
            // The next start of the sign-up, whether or not the file was made before the kill.
            QVERIFY(!ScoreDatabase(dir.filePath("billard.mdb")).createIfMissing());
            QCOMPARE(entries(dir.path()), QStringList{"billard.mdb"});
            QCOMPARE(sql(dir.filePath("billard.mdb"), "PRAGMA integrity_check"), QStringList{"ok"});
        }
        qInfo("30 creations killed, %d of them left temporary files behind, all removed at the next start",
              leftBehind);
        QVERIFY2(leftBehind > 0, "no kill landed within a creation: nothing was tested");
    }

    void twoCopiesRegisterAndStoreEverythingWithoutAFailure()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("billard.mdb");
        QStringList expected;
        QProcess copies[2];
        for (const QString tag : {"A", "B"}) {
            QStringList args{"--writer", path, "2"};
            for (int i = 1; i <= 30; ++i) {
                args << tag + QString::number(i).rightJustified(2, u'0');
                expected << args.last() + "|2";
            }
            // Both start without the file, so they also race to create it.
            copies[tag == "B"].start(QCoreApplication::applicationFilePath(), args);
        }
        for (QProcess& copy : copies) {
            QVERIFY2(copy.waitForFinished(50000) && copy.exitStatus() == QProcess::NormalExit &&
                         copy.exitCode() == 0,
                     copy.readAllStandardError());
        }
        QCOMPARE(sql(path, "PRAGMA integrity_check"), QStringList{"ok"});
        QCOMPARE(sql(path, R"(SELECT "Nom Complet", Score FROM nom ORDER BY 1)"), expected);
        QCOMPARE(entries(dir.path()), QStringList{"billard.mdb"});
    }

    // For the sign-up window a missing file is the first use: it creates the file.
    void fileIsToldNamedAndLeftAlone_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("signUp");
        for (int i = 0; i < int(std::size(kFiles)); ++i) {
            // Only the sign-up creates the file.
            if (kFiles[i].kind != CannotCreate) {
                QTest::addRow("%s, scorefrm", kFiles[i].label) << i << false;
            }
            if (kFiles[i].kind != Missing) {
                QTest::addRow("%s, inscription", kFiles[i].label) << i << true;
            }
        }
    }

    void fileIsToldNamedAndLeftAlone()
    {
        QFETCH(int, index);
        QFETCH(bool, signUp);
        const ScoreFile& file = kFiles[index];
        const bool readOnly = file.kind == ReadOnly, foreign = file.kind == Foreign,
                   listed = readOnly || foreign;
        const bool lockedFolder = QByteArray(file.label).contains("locked folder");
        const bool asNobody = lockedFolder || readOnly, pipe = file.content == "|";
        QTemporaryDir dir;
        const QString path = dir.filePath("billard.mdb");
        if (file.content == "/") {
            QVERIFY(QDir().mkdir(path));
        } else if (pipe) {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
        } else if (listed) {
            if (file.content == "STRICT") {
                QCOMPARE(
                    sql(path,
                        R"(CREATE TABLE nom ("Nom Complet" TEXT, Score INT, Score1 INT, Score2 INT) STRICT)"),
                    QStringList());
            } else {
                QVERIFY(!ScoreDatabase(path).createIfMissing());
            }
            QCOMPARE(sql(path, kSound), QStringList());
            if (foreign && file.content != "STRICT") {
                QCOMPARE(sql(path, file.content), QStringList());
            }
        } else if (file.content.startsWith("CREATE")) {
            QCOMPARE(sql(path, file.content), QStringList());
        } else if (file.content != "-") {
            QVERIFY(test::writeFile(path, file.content));
        }
        if (asNobody) {
            const auto readable = QFileDevice::Permissions(0x5555), all = QFileDevice::Permissions(0x7777);
            if (QFile::exists(path)) {
                QVERIFY(QFile::setPermissions(path, lockedFolder ? all : readable));
            }
            QVERIFY(QFile::setPermissions(dir.path(), lockedFolder ? readable : all));
        }
        // A pipe is never opened here either: reading it would block.
        const QByteArray before = pipe ? QByteArray() : checksum(path);
        const QStringList filesBefore = entries(dir.path());
        // Root writes through any permission bit: meanwhile this process runs as nobody, as a player would.
        const bool dropped =
            asNobody && geteuid() == 0 && setresgid(65534, 65534, 0) == 0 && setresuid(65534, 65534, 0) == 0;
        const auto restore = qScopeGuard([&] {
            if (dropped && (setresuid(0, 0, 0) != 0 || setresgid(0, 0, 0) != 0)) {
                qFatal("cannot become root again");
            }
            QFile::setPermissions(dir.path(), QFileDevice::Permissions(0x7700));
        });
        if (asNobody && geteuid() == 0) {
            QSKIP("cannot leave root to meet a read-only file");
        }
        if (!listed && file.kind != CannotCreate) {
            const auto error = ScoreDatabase(path).open();
            QVERIFY(error && error->kind == file.kind);
        }
        QStringList told;
        GameState state;
        if (signUp) {
            TestedSignUp window(state);
            window.load(path);
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            QCOMPARE(window.names(), listed ? QStringList{"ALPHA"} : QStringList());
            window.text()->setText("dupont");
            QTest::keyClick(window.text(), Qt::Key_Return);
            // Without a file to write no player can be registered, and the window says so again.
            QVERIFY(window.isVisible() && state.PlayerName.empty());
            told = window.told;
        } else {
            state.ForceScoreUpdate = true;
            state.PlayerName = "ALPHA";
            state.CurrentScore = 90;
            state.CurrentRound = 1;
            palinor::testing::ScriptedMessageBoxes boxes;
            scorefrm table(boxes);
            table.load(state, path);
            told = boxes.told;
            QCOMPARE(table.ranking(), listed ? QStringList{"  N°   1     ALPHA (040)"} : QStringList());
            QVERIFY(state.ForceScoreUpdate); // nothing was stored, so the store is still due
        }
        // The sign-up tells the file once on opening (a read-only file says nothing until a write), once more
        // when the name cannot be registered; the table tells it once.
        QCOMPARE(told.size(), signUp && !readOnly ? 2 : 1);
        for (const QString& message : told) {
            QVERIFY2(message.contains(QDir::toNativeSeparators(path)), qPrintable(message));
        }
        QVERIFY2(told[0].contains(file.mentions), qPrintable(told[0]));
        if (!pipe) {
            QCOMPARE(checksum(path), before);
        }
        QCOMPARE(entries(dir.path()), filesBefore);
        QVERIFY(entries(path).isEmpty()); // nothing put inside a folder of that name either
    }

    // A kept name must come back whole, matched by the score table, or the player's scores would be lost.
    void nameIsStoredExactlyAsKeptOrRefusedInFrench_data()
    {
        QTest::addColumn<QString>("typed");
        // What the refusal says; otherwise names over 255 code points are refused, and only spaces ignored.
        QTest::addColumn<QString>("refusal");
        const auto add = [](const char* label, const QString& typed, const char* refusal = "") {
            QTest::newRow(label) << typed << QString::fromUtf8(refusal);
        };
        add("sql injection", "'; DROP TABLE nom; --");
        add("quotes, percent and semicolons", "l'\"ami\" `x` \\' 100% _joker_ %s %n %% ;;;");
        add("tabs and control characters", " \tnom\t a\x01\x1b[31mb\x7f\r\nc");
        add("nul inside", QString("av") + QChar(0) + "ant");
        add("only spaces", "      ");
        add("other spaces kept", "\u00A0nom\u3000");
        add("byte order mark inside", QStringLiteral("du\uFEFFpont\uFEFF"));
        add("right to left override", "\u202Eevil\u202C \u05E9\u05DC\u05D5\u05DD");
        add("unpaired surrogate", QString("x") + QChar(0xD800) + "yz");
        add("letters that grow", "straße ŉ ǆ");
        add("255 astral code points", QString::fromUcs4(std::u32string(255, U'\U0001F600').data(), 255));
        add("256 astral code points", QString::fromUcs4(std::u32string(256, U'\U0001F600').data(), 256));
        add("255 letters that grow", QString(255, QChar(0xDF)));
        add("255 with spaces around", "   " + QString(255, 'a') + "   ");
        add("10000 characters", QString(10000, 'x'));
        // SQLite takes a leading U+FEFF or U+FFFE for a byte order mark and reads U+FFFE and U+FFFF back as
        // U+FFFD: such a player would be stored under another name than the one the game keeps.
        add("leading byte order mark", QStringLiteral("\uFEFFdupont"), "ne peut pas être enregistré");
        add("leading swapped byte order mark", QStringLiteral("  \uFFFEdupont"),
            "ne peut pas être enregistré");
        add("non-characters", QStringLiteral("du\uFFFEpont\uFFFF"), "ne peut pas être enregistré");
        std::mt19937 random(seed_);
        for (int i = 1; i <= 40; ++i) {
            QTest::addRow("random %d", i) << randomName(random) << QString();
        }
    }

    void nameIsStoredExactlyAsKeptOrRefusedInFrench()
    {
        QFETCH(QString, typed);
        QFETCH(QString, refusal);
        // The name the window must keep: U+0020 alone trimmed at both ends, then upper-cased.
        const QString kept = QString(typed).remove(QRegularExpression("^ +| +$")).toUpper();
        if (refusal.isEmpty() && kept.toUcs4().size() > 255) {
            refusal = "255";
        }
        QTemporaryDir dir;
        const QString path = dir.filePath("billard.mdb");
        const QString records = R"(SELECT typeof("Nom Complet"), hex("Nom Complet"), Score FROM nom)";
        QVERIFY(!ScoreDatabase(path).createIfMissing());
        QCOMPARE(sql(path, "INSERT INTO nom VALUES ('DÉJÀ LÀ', 12, NULL, NULL)"), QStringList());
        const QStringList before = sql(path, records);
        const QString stored = "text|" + kept.toUtf8().toHex().toUpper() + "|";

        GameState state;
        {
            TestedSignUp window(state);
            window.load(path);
            QCOMPARE(window.told, QStringList());
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            window.text()->setText(typed);
            QCOMPARE(window.text()->text(), typed); // the line edit keeps every character it is given
            QTest::keyClick(window.text(), Qt::Key_Return);
            const bool keeps = !kept.isEmpty() && refusal.isEmpty();
            QCOMPARE(window.isVisible(), !keeps);
            QCOMPARE(window.reports.size(), int(!refusal.isEmpty()));
            QVERIFY2(window.reports.join("").contains(refusal), qPrintable(window.reports.join("")));
            if (!keeps) {
                QVERIFY(state.PlayerName.empty());
                QCOMPARE(sql(path, records), before);
                return;
            }
        }
        QCOMPARE(QByteArray::fromStdString(state.PlayerName), kept.toUtf8());
        QCOMPARE(sql(path, records), before + QStringList{stored + "<null>"});
        state.CurrentRound = 1;
        state.CurrentScore = 42;
        palinor::testing::ScriptedMessageBoxes boxes;
        scorefrm table(boxes);
        table.load(state, path);
        QCOMPARE(boxes.told, QStringList());
        QCOMPARE(sql(path, records), before + QStringList{stored + "42"});
        QCOMPARE(sql(path, "PRAGMA integrity_check"), QStringList{"ok"});
    }
};

int main(int argc, char** argv)
{
    if (argc > 4 && QByteArray(argv[1]) == "--writer") {
        QCoreApplication app(argc, argv);
        return writer(app.arguments());
    }
    if (argc > 2 && QByteArray(argv[1]) == "--creator") {
        QCoreApplication app(argc, argv);
        return creator(app.arguments());
    }
    QApplication app(argc, argv);
    ReliabilityTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "reliability_test.moc"
