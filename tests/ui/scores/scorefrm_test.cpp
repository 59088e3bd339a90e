// The score table: what its load stores, and the ranking it shows.

#include "../ScoreFiles.h"
#include "ui/scores/ScoreTable.h"
#include "ui/scores/scorefrm.h"

#include <QCollator>
#include <QListView>
#include <QPushButton>
#include <QtTest>

using namespace palinor;
using palinor::testing::ScoreFile;

namespace {

GameState playing(const char* name, Byte score, bool forced = false)
{
    GameState state;
    state.PlayerName = name;
    state.CurrentScore = score;
    state.CurrentRound = 1;
    state.ForceScoreUpdate = forced;
    return state;
}

QStringList loadTable(ScoreFile& file, GameState& state, QStringList* messages = nullptr)
{
    scorefrm table;
    const QStringList told = table.load(state, file.path());
    if (messages != nullptr) {
        *messages = told;
    }
    return table.ranking();
}

} // namespace

class ScorefrmTest : public QObject {
    Q_OBJECT

private slots:
    void rankingLinesByteForByte()
    {
        ScoreFile file;
        file.create({{"ALPHA", 87}, {"BRAVO", 120}, {"CHARLIE", 5}});
        GameState idle;
        const QStringList ranking = loadTable(file, idle);
        QCOMPARE(ranking.size(), 3);
        QCOMPARE(ranking[0].toUtf8(), QByteArray("  N\xC2\xB0   1     BRAVO (120)"));
        QCOMPARE(ranking[1].toUtf8(), QByteArray("  N\xC2\xB0   2     ALPHA (087)"));
        QCOMPARE(ranking[2].toUtf8(), QByteArray("  N\xC2\xB0   3     CHARLIE (005)"));
        QCOMPARE(file.records().size(), 3);
    }

    void ranksAreRightAlignedAndEqualScoresKeepTheirOwnRank()
    {
        ScoreFile file;
        std::vector<std::pair<QVariant, QVariant>> records;
        for (int i = 0; i < 12; ++i) {
            records.emplace_back(QStringLiteral("P%1").arg(QChar(u'A' + i)), 10 + i);
        }
        records.emplace_back("ZED", 50);
        records.emplace_back("ABEL", 50);
        file.create(records);
        GameState idle;
        const QStringList ranking = loadTable(file, idle);
        QCOMPARE(ranking.size(), 14);
        // Equal scores come in the reverse of their names' order.
        QCOMPARE(ranking[0], QStringLiteral("  N°   1     ZED (050)"));
        QCOMPARE(ranking[1], QStringLiteral("  N°   2     ABEL (050)"));
        QCOMPARE(ranking[11], QStringLiteral("  N°  12     PC (012)"));
        QCOMPARE(ranking[13], QStringLiteral("  N°  14     PA (010)"));
        QCOMPARE(rankingLine(1234, u"     X", u"001"), QStringLiteral("  N° 1234     X (001)"));
        QCOMPARE(scoreText(7), QStringLiteral("007"));
    }

    void equalScoresFollowTheFrenchCollationReversed()
    {
        // Scores are compared as numbers first: the names must still follow the collator's order.
        QStringList names{"A B", "AB",  "A", "Z9",  "Z10",   "ÉMILE", "EMILE", "ELISE", "Émile", "émile",
                          "ZOÉ", "ZOE", "0", "9 A", "ÆTHER", "OE",    "ŒUF",   "ÀB",    "AC"};
        ScoreFile file;
        std::vector<std::pair<QVariant, QVariant>> records;
        for (const QString& name : names) {
            records.emplace_back(name, 33);
        }
        file.create(records);
        GameState idle;
        const QStringList ranking = loadTable(file, idle);
        QCollator collator{QLocale(QLocale::French, QLocale::France)};
        std::sort(names.begin(), names.end(), collator);
        QStringList expected;
        for (qsizetype i = names.size() - 1; i >= 0; --i) {
            expected << rankingLine(int(names.size() - i), QStringLiteral("     ") + names[i], u"033");
        }
        QCOMPARE(ranking, expected);
    }

    void replacementFollowsTheScoreAndTheFlag()
    {
        {
            ScoreFile file;
            file.create({{"ALPHA", 87}});
            GameState s = playing("ALPHA", 90, true);
            QCOMPARE(loadTable(file, s), QStringList{"  N°   1     ALPHA (090)"});
            QCOMPARE(file.records(), QStringList{"ALPHA=90"});
            QVERIFY(!s.ForceScoreUpdate);
        }
        {
            ScoreFile file;
            file.create({{"ALPHA", 90}});
            GameState s = playing("ALPHA", 90);
            loadTable(file, s);
            QCOMPARE(file.records(), QStringList{"ALPHA=90"});
        }
        {
            // A newly registered player: Null counts as 0 and shows as 000.
            ScoreFile file;
            file.create({{"BRAVO", QVariant()}});
            GameState s = playing("BRAVO", 0);
            QCOMPARE(loadTable(file, s), QStringList{"  N°   1     BRAVO (000)"});
            QCOMPARE(file.records(), QStringList{"BRAVO=-"});
            s.CurrentScore = 1;
            loadTable(file, s);
            QCOMPARE(file.records(), QStringList{"BRAVO=1"});
        }
        {
            // Names match exactly; without a matching record the flag waits.
            ScoreFile file;
            file.create({{"ALPHA", 10}});
            GameState s = playing("Alpha", 90, true);
            loadTable(file, s);
            QCOMPARE(file.records(), QStringList{"ALPHA=10"});
            QVERIFY(s.ForceScoreUpdate);
        }
        {
            ScoreFile file;
            file.create();
            GameState s = playing("", 0, true);
            QVERIFY(loadTable(file, s).isEmpty());
            QVERIFY(file.records().isEmpty());
            QVERIFY(s.ForceScoreUpdate);
        }
    }

    void undoNeverWipesTheBestOfAnEarlierGame()
    {
        ScoreFile file;
        file.create({{"DUPONT", 120}});
        GameState s = playing("DUPONT", 6, true); // three discs, one taken back
        loadTable(file, s);
        QCOMPARE(file.records(), QStringList{"DUPONT=120"});
        QVERIFY(!s.ForceScoreUpdate);

        ScoreFile second;
        second.create({{"DUPONT", 50}});
        GameState t = playing("DUPONT", 90);
        loadTable(second, t); // from the menu
        QCOMPARE(second.records(), QStringList{"DUPONT=90"});
        t.CurrentScore = 86;
        t.ForceScoreUpdate = true;
        loadTable(second, t); // the undone 4-point disc
        QCOMPARE(second.records(), QStringList{"DUPONT=86"});
    }

    void unreadableRecordsAreSkippedOnceAndLeftAlone()
    {
        ScoreFile file;
        file.create({{"ALPHA", 87}, {QVariant(), 12}, {"BIG", 300}, {"NEG", -1}, {"TEXT", "abc"}});
        GameState s = playing("BIG", 148, true);
        QStringList messages;
        QCOMPARE(loadTable(file, s, &messages), QStringList{"  N°   1     ALPHA (087)"});
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].contains(QStringLiteral("4 enregistrements")), qPrintable(messages[0]));
        QVERIFY(messages[0].contains(file.path()));
        QCOMPARE(file.records(), (QStringList{"ALPHA=87", "-=12", "BIG=300", "NEG=-1", "TEXT=abc"}));
    }

    void aFailedStoreKeepsTheOldRecordAndTheFlag()
    {
        ScoreFile file;
        file.create({{"ALPHA", 40}});
        file.exec(QStringLiteral(
            "CREATE TRIGGER refuse BEFORE INSERT ON nom BEGIN SELECT RAISE(ABORT, 'plein'); END"));
        GameState s = playing("ALPHA", 90, true);
        QStringList messages;
        QCOMPARE(loadTable(file, s, &messages), QStringList{"  N°   1     ALPHA (040)"});
        QCOMPARE(messages.size(), 1);
        QCOMPARE(file.records(), QStringList{"ALPHA=40"});
        QVERIFY(s.ForceScoreUpdate);
    }

    void badFilesGiveAMessageAnEmptyTableAndStayUntouched()
    {
        const QList<QByteArray> contents{QByteArray(), QByteArray("ceci n'est pas une base", 23),
                                         QByteArray("\x00\x01\x00\x00Standard Jet DB\x00", 20) +
                                             QByteArray(2000, 'j')};
        for (const QByteArray& bytes : contents) {
            ScoreFile file;
            file.write(bytes);
            const QByteArray before = file.checksum();
            GameState s = playing("ALPHA", 90, true);
            QStringList messages;
            QVERIFY(loadTable(file, s, &messages).isEmpty());
            QCOMPARE(messages.size(), 1);
            QVERIFY(messages[0].contains(file.path()));
            QCOMPARE(file.checksum(), before);
        }
        ScoreFile missing;
        GameState s;
        QStringList messages;
        QVERIFY(loadTable(missing, s, &messages).isEmpty());
        QCOMPARE(messages.size(), 1);
        QVERIFY2(!QFile::exists(missing.path()), "the table never creates the file");
    }

    void windowLooksAndClosesAsDesigned()
    {
        scorefrm table;
        QCOMPARE(table.windowTitle(), QString(40, u' ') + QStringLiteral("Tableau des scores"));
        QCOMPARE(table.size(), QSize(756, 566));
        QCOMPARE(table.list()->font().family(), QStringLiteral("Garamond"));
        QCOMPARE(table.list()->font().pointSizeF(), 26.25);
        QCOMPARE(table.list()->palette().color(QPalette::Text), QColor(128, 0, 128));
        QVERIFY(table.list()->geometry().contains(table.okButton()->geometry()));

        table.show();
        QVERIFY(QTest::qWaitForWindowExposed(&table));
        QTest::keyClick(table.list(), Qt::Key_Return);
        QCOMPARE(table.result(), int(QDialog::Accepted));
        QVERIFY(!table.isVisible());
    }
};

QTEST_MAIN(ScorefrmTest)
#include "scorefrm_test.moc"
