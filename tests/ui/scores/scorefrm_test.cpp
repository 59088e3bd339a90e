// The score table: what its load stores, and the ranking it shows.

#include "../ScoreFiles.h"
#include "ui/scores/ScoreTable.h"
#include "ui/scores/scorefrm.h"

#include <QtTest>
#include <QtWidgets>

using namespace palinor;
using palinor::testing::ScoreFile;

namespace {

// One load of the window for this player: its ranking, followed by what it told the user.
QStringList load(ScoreFile& file, GameState& state, const char* player = "", int score = 0,
                 bool forced = false)
{
    state.PlayerName = player;
    state.CurrentScore = Byte(score);
    state.ForceScoreUpdate = forced;
    scorefrm table;
    const QStringList messages = table.load(state, file.path);
    return table.ranking() + messages;
}

} // namespace

class ScorefrmTest : public QObject {
    Q_OBJECT

private slots:
    void rankingLinesByteForByteWithEqualScoresInReversedFrenchOrder()
    {
        // Scores are compared as numbers first: among equal ones the names must still follow the collator.
        QStringList names{"A B", "AB",  "A", "Z9",  "Z10",   "ÉMILE", "EMILE", "ELISE", "Émile", "émile",
                          "ZOÉ", "ZOE", "0", "9 A", "ÆTHER", "OE",    "ŒUF",   "ÀB",    "AC"};
        ScoreFile file("('ALPHA', 87), ('BRAVO', 120), ('CHARLIE', 5), ('DELTA', NULL), ('" +
                       names.join("', 33), ('") + "', 33)");
        GameState idle;
        const QStringList ranking = load(file, idle);
        QCOMPARE(ranking.size(), 23);
        QCOMPARE(ranking[0].toUtf8(), "  N\xC2\xB0   1     BRAVO (120)");
        QCOMPARE(ranking[1].toUtf8(), "  N\xC2\xB0   2     ALPHA (087)");
        QCOMPARE(ranking[21].toUtf8(), "  N\xC2\xB0  22     CHARLIE (005)");
        QCOMPARE(ranking[22], "  N°  23     DELTA (000)");
        std::sort(names.begin(), names.end(), QCollator(QLocale(QLocale::French, QLocale::France)));
        for (int rank = 3; rank <= 21; ++rank) {
            QCOMPARE(ranking[rank - 1],
                     QStringLiteral("  N° %1     %2 (033)").arg(rank, 3).arg(names[21 - rank]));
        }
        QCOMPARE(rankingLine(1234, u"     X", u"001"), "  N° 1234     X (001)");
        QCOMPARE(file.records().size(), 23);
    }

    void replacementFollowsTheScoreTheNameAndTheFlag()
    {
        const struct {
            const char *stored, *player, *after;
            int fromTheMenu, score;
            bool forced;
        } cases[] = {
            {"87", "ALPHA", "ALPHA|90", 0, 90, false},
            {"87", "ALPHA", "ALPHA|90", 0, 90, true},
            {"NULL", "ALPHA", "ALPHA|<null>", 0, 0, false}, // Null counts as 0
            {"NULL", "ALPHA", "ALPHA|1", 0, 1, false},
            {"10", "Alpha", "ALPHA|10", 0, 90, true},  // names match exactly
            {"120", "ALPHA", "ALPHA|120", 0, 6, true}, // three discs of a new game, one undone
            {"50", "ALPHA", "ALPHA|86", 90, 86, true}, // 90 stored from the menu, then a 4-point disc undone
        };
        for (const auto& [stored, player, after, fromTheMenu, score, forced] : cases) {
            ScoreFile file(QString("('ALPHA', %1)").arg(stored));
            GameState state;
            if (fromTheMenu > 0) {
                load(file, state, player, fromTheMenu);
            }
            load(file, state, player, score, forced);
            QCOMPARE(file.records(), QStringList{after});
            QCOMPARE(state.ForceScoreUpdate, player != QString("ALPHA")); // cleared only with a replacement
        }
    }

    void unreadableRecordsAreSkippedAndAFailedStoreKeepsTheOldRecordAndTheFlag()
    {
        ScoreFile file("('ALPHA', 40), (NULL, 12), ('BIG', 300), ('NEG', -1), ('TEXT', 'abc')");
        test::sql(file.path,
                  "CREATE TRIGGER refuse BEFORE INSERT ON nom BEGIN SELECT RAISE(ABORT, 'plein'); END");
        GameState state;
        const QStringList shown = load(file, state, "ALPHA", 90, true);
        const QStringList skipped = shown.filter("4 enregistrements");
        QCOMPARE(shown.size(), 3); // one line, a message for the failed store, one for the records skipped
        QCOMPARE(shown[0], "  N°   1     ALPHA (040)");
        QVERIFY(skipped.size() == 1 && skipped[0].contains(file.path));
        QCOMPARE(file.records(), (QStringList{"ALPHA|40", "<null>|12", "BIG|300", "NEG|-1", "TEXT|abc"}));
        QVERIFY(state.ForceScoreUpdate);
    }

    void windowLooksAndClosesAsDesigned()
    {
        scorefrm table;
        QCOMPARE(table.windowTitle(), QString(40, u' ') + "Tableau des scores");
        QCOMPARE(table.size(), QSize(756, 566));
        QCOMPARE(table.list()->font().family(), "Garamond");
        QCOMPARE(table.list()->font().pointSizeF(), 26.25);
        table.show();
        QVERIFY(QTest::qWaitForWindowExposed(&table));
        QTest::keyClick(table.list(), Qt::Key_Return);
        QVERIFY(table.result() == QDialog::Accepted && !table.isVisible());
    }
};

QTEST_MAIN(ScorefrmTest)
#include "scorefrm_test.moc"
