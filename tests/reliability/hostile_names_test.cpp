// The sign-up window fed names no player would type: it never crashes, and it stores exactly the name it
// keeps (spaces trimmed, upper-cased) or refuses it in French and stores nothing. A stored name must also
// come back whole, or the player is registered again at each sign-up and no score of theirs is ever kept.

#include "tests/ui/ScoreFiles.h"
#include "ui/scores/scorefrm.h"
#include "ui/signup/inscription.h"

#include <QLineEdit>
#include <QRegularExpression>
#include <QSqlError>
#include <QtTest>
#include <cstdint>
#include <random>

using namespace palinor;
using palinor::testing::ScoreFile;

namespace {

class TestedSignUp : public inscription {
public:
    using inscription::inscription;
    QStringList reports;

protected:
    void report(const QString& message) override { reports << message; }
};

// The records as stored, names as raw bytes, read through a connection of the test's own.
struct Stored {
    QList<QByteArray> names;
    QStringList types;
    QList<QVariant> scores;
    QString integrity;
};

Stored readBack(const QString& path)
{
    static int opened = 0;
    const QString connection = QStringLiteral("read-back-%1").arg(++opened);
    Stored stored;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery query(db);
            query.exec(QStringLiteral("SELECT CAST(\"Nom Complet\" AS BLOB), typeof(\"Nom Complet\"), Score "
                                      "FROM nom ORDER BY rowid"));
            while (query.next()) {
                stored.names << query.value(0).toByteArray();
                stored.types << query.value(1).toString();
                stored.scores << query.value(2);
            }
            query.exec(QStringLiteral("PRAGMA integrity_check"));
            stored.integrity = query.next() ? query.value(0).toString() : query.lastError().text();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return stored;
}

// The name the window must keep: U+0020 alone trimmed at both ends, then upper-cased.
QString keptName(const QString& typed)
{
    static const QRegularExpression outerSpaces(QStringLiteral("^ +| +$"));
    return QString(typed).remove(outerSpaces).toUpper();
}

QString fromCodePoints(const std::vector<char32_t>& points)
{
    return QString::fromUcs4(points.data(), static_cast<qsizetype>(points.size()));
}

// "U+0041 U+1F600": a name as code points, for failure messages.
QByteArray codePoints(const QString& text)
{
    QStringList points;
    for (const char32_t point : text.toUcs4()) {
        points << QStringLiteral("U+%1").arg(quint32(point), 4, 16, QLatin1Char('0')).toUpper();
    }
    return points.join(u' ').left(400).toLatin1();
}

// Code point ranges a hostile or merely foreign name draws from.
struct Pool {
    char32_t first;
    char32_t last;
};
const Pool kPools[] = {
    {0x20, 0x7E},       // ASCII, quotes, semicolons and percent signs included
    {0x01, 0x1F},       // control characters, tab included
    {0xC0, 0x24F},      // accented Latin, ß and other letters that change length when upper-cased
    {0x300, 0x36F},     // combining marks
    {0x3B1, 0x3C9},     // Greek, with the final sigma
    {0x5D0, 0x5EA},     // Hebrew, right to left
    {0x627, 0x64A},     // Arabic, right to left
    {0x200B, 0x200F},   // zero-width characters and direction marks
    {0x202A, 0x202E},   // direction embeddings and overrides
    {0xFFF0, 0xFFFD},   // specials; U+FEFF, U+FFFE and U+FFFF have tests of their own
    {0x10400, 0x1044F}, // Deseret: astral letters with case
    {0x1D400, 0x1D7FF}, // mathematical letters
    {0x1F300, 0x1F64F}, // emoji
    {0x20000, 0x2A6DF}, // CJK, supplementary plane
};

QString randomName(std::mt19937& random)
{
    const auto between = [&random](std::uint32_t low, std::uint32_t high) {
        return std::uniform_int_distribution<std::uint32_t>(low, high)(random);
    };
    // Mostly short names; now and then one around the 255 code point limit.
    const std::uint32_t length = between(0, 9) == 0 ? between(250, 262) : between(1, 24);
    std::vector<char32_t> points(between(0, 3), U' ');
    for (std::uint32_t i = 0; i < length; ++i) {
        const Pool& pool = kPools[between(0, std::size(kPools) - 1)];
        points.push_back(static_cast<char32_t>(between(pool.first, pool.last)));
    }
    points.insert(points.end(), between(0, 3), U' ');
    return fromCodePoints(points);
}

unsigned seed()
{
    static const unsigned value = [] {
        const QByteArray given = qgetenv("PALINOR_RELIABILITY_SEED");
        return given.isEmpty() ? std::random_device{}() : given.toUInt();
    }();
    return value;
}

constexpr int kGameScore = 42;
const QString kOtherPlayer = QStringLiteral("DÉJÀ LÀ");

// What one player meets: the sign-up with the typed name, then, when it was accepted, a second sign-up and
// the score table storing a game's score for that player.
struct Run {
    QStringList reports;
    bool accepted = false;
    std::string player;
    Stored afterSignUp;
    QStringList listedNext;
    QStringList tableMessages;
    Stored afterScore;
};

void play(const QString& typed, Run& run)
{
    ScoreFile file;
    file.create({{kOtherPlayer, 12}});
    GameState state;
    {
        TestedSignUp window(state);
        QCOMPARE(window.load(file.path()), QStringList());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.text()->setText(typed);
        QCOMPARE(window.text()->text(), typed); // the line edit keeps every character it is given
        QTest::keyClick(window.text(), Qt::Key_Return);
        run.reports = window.reports;
        run.accepted = window.result() == QDialog::Accepted && !window.isVisible();
        run.player = state.PlayerName;
    }
    run.afterSignUp = readBack(file.path());
    if (!run.accepted) {
        return;
    }
    {
        GameState nextGame;
        TestedSignUp window(nextGame);
        QCOMPARE(window.load(file.path()), QStringList());
        run.listedNext = window.names();
    }
    state.CurrentRound = 1;
    state.CurrentScore = kGameScore;
    scorefrm table;
    run.tableMessages = table.load(state, file.path());
    run.afterScore = readBack(file.path());
}

} // namespace

class HostileNamesTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { qInfo("seed %u (PALINOR_RELIABILITY_SEED=%u repeats the names)", seed(), seed()); }

    void nameIsStoredExactlyAsKeptOrRefusedInFrench_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("sql injection") << QStringLiteral("'; DROP TABLE nom; --");
        QTest::newRow("quotes") << QStringLiteral("l'\"ami\" `x` \\'");
        QTest::newRow("percent and underscore") << QStringLiteral("100% _joker_ %s %n %%");
        QTest::newRow("semicolons") << QStringLiteral(";;;");
        QTest::newRow("tabs kept") << QStringLiteral(" \tnom\t ");
        QTest::newRow("control characters") << QStringLiteral("a\x01\x1b[31mb\x7f\r\nc");
        QTest::newRow("nul inside") << QStringLiteral("av") + QChar(0) + QStringLiteral("ant");
        QTest::newRow("nul alone") << QString(QChar(0));
        QTest::newRow("only spaces") << QStringLiteral("      ");
        QTest::newRow("other spaces kept") << QStringLiteral("\u00A0nom\u3000");
        QTest::newRow("byte order mark inside") << QStringLiteral("du\uFEFFpont\uFEFF");
        QTest::newRow("right to left override")
            << QStringLiteral("\u202Eevil\u202C \u05E9\u05DC\u05D5\u05DD");
        QTest::newRow("combining marks") << QStringLiteral("e\u0301\u0301\u0301 z\u0335\u0336");
        QTest::newRow("astral letters") << QStringLiteral("\U00010428\U0001F600\U0001D49C");
        QTest::newRow("unpaired surrogate") << QStringLiteral("x") + QChar(0xD800) + QStringLiteral("yz");
        QTest::newRow("letters that grow") << QStringLiteral("straße ŉ ǆ");
        QTest::newRow("255 astral code points") << fromCodePoints(std::vector<char32_t>(255, U'\U0001F600'));
        QTest::newRow("256 astral code points") << fromCodePoints(std::vector<char32_t>(256, U'\U0001F600'));
        QTest::newRow("255 letters that grow") << QString(255, QChar(0xDF));
        QTest::newRow("255 with spaces around")
            << QStringLiteral("   ") + QString(255, u'a') + QStringLiteral("   ");
        QTest::newRow("10000 characters") << QString(10000, u'x');
        std::mt19937 random(seed());
        for (int i = 1; i <= 40; ++i) {
            QTest::addRow("random %d", i) << randomName(random);
        }
    }

    void nameIsStoredExactlyAsKeptOrRefusedInFrench()
    {
        QFETCH(QString, typed);
        Run run;
        play(typed, run);
        if (QTest::currentTestFailed()) {
            return;
        }
        // Even a lone surrogate comes out of the upper-casing as U+FFFD, which UTF-8 can hold.
        const QString kept = keptName(typed);
        QCOMPARE(run.afterSignUp.integrity, QStringLiteral("ok"));
        QCOMPARE(run.afterSignUp.names.first(), kOtherPlayer.toUtf8());
        if (kept.isEmpty()) {
            QVERIFY(!run.accepted);
            QVERIFY(run.reports.isEmpty());
            QCOMPARE(run.afterSignUp.names.size(), 1);
            QVERIFY(run.player.empty());
            return;
        }
        if (kept.toUcs4().size() > kMaxNameLength) {
            QVERIFY(!run.accepted);
            QCOMPARE(run.reports.size(), 1);
            QVERIFY2(run.reports[0].contains(QStringLiteral("caractères")) &&
                         run.reports[0].contains(QStringLiteral("255")),
                     qPrintable(run.reports[0]));
            QCOMPARE(run.afterSignUp.names.size(), 1);
            QVERIFY(run.player.empty());
            return;
        }
        QVERIFY2(run.reports.isEmpty(), qPrintable(run.reports.value(0)));
        QVERIFY(run.accepted);
        QCOMPARE(run.afterSignUp.names.size(), 2);
        QCOMPARE(run.afterSignUp.types[1], QStringLiteral("text"));
        QVERIFY2(run.afterSignUp.names[1] == kept.toUtf8(),
                 "typed " + codePoints(typed) + ", stored " +
                     codePoints(QString::fromUtf8(run.afterSignUp.names[1])));
        QCOMPARE(QByteArray::fromStdString(run.player), kept.toUtf8());

        // The name comes back whole: listed for the next sign-up, and matched by the score table.
        QVERIFY2(run.listedNext.contains(kept), "listed " + codePoints(run.listedNext.join(u'|')));
        QCOMPARE(run.tableMessages, QStringList());
        QCOMPARE(run.afterScore.names.size(), 2);
        QCOMPARE(run.afterScore.names.last(), kept.toUtf8());
        QCOMPARE(run.afterScore.scores.last().toInt(), kGameScore);
    }

    // SQLite takes a leading U+FEFF or U+FFFE of a text bound as UTF-16 for a byte order mark (dropping it,
    // or swapping every byte of the name), and reads U+FFFE and U+FFFF back as U+FFFD: such a player would
    // be stored under another name than the one the game keeps, so the name is refused instead.
    void namesTheFileWouldChangeAreRefusedInFrench_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("leading byte order mark") << QStringLiteral("\uFEFFdupont");
        QTest::newRow("leading swapped byte order mark") << QStringLiteral("  \uFFFEdupont");
        QTest::newRow("non-characters") << QStringLiteral("du\uFFFEpont\uFFFF");
    }

    void namesTheFileWouldChangeAreRefusedInFrench()
    {
        QFETCH(QString, typed);
        Run run;
        play(typed, run);
        QVERIFY(!run.accepted);
        QCOMPARE(run.reports.size(), 1);
        QVERIFY2(run.reports[0].contains(QStringLiteral("ne peut pas être enregistré")),
                 qPrintable(run.reports[0]));
        QCOMPARE(run.afterSignUp.names.size(), 1);
        QVERIFY(run.player.empty());
    }
};

QTEST_MAIN(HostileNamesTest)
#include "hostile_names_test.moc"
