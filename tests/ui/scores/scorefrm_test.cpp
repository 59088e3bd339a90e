// The score table: what its load stores, and the ranking it shows.

#include "../Contrast.h"
#include "../ScoreFiles.h"
#include "../ScriptedMessageBoxes.h"
#include "tests/data/LockHolder.h"
#include "ui/scores/ScoreTable.h"
#include "ui/scores/scorefrm.h"

#include <QtTest>
#include <QtWidgets>

using namespace palinor;
using palinor::testing::ScoreFile;
using palinor::testing::ScriptedMessageBoxes;

namespace {

// One load of the window for this player: its ranking, followed by what it told the user.
QStringList load(ScoreFile& file, GameState& state, const char* player = "", int score = 0,
                 bool forced = false, bool seen = true)
{
    state.PlayerName = player;
    state.CurrentScore = Byte(score);
    state.ForceScoreUpdate = forced;
    ScriptedMessageBoxes boxes;
    scorefrm table(boxes);
    table.load(state, file.path, seen);
    return table.ranking() + boxes.told;
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

    void anOldAccessFileIsOfferedForImportOnlyWhenTheTableIsSeen()
    {
        ScoreFile file;
        ScoreFile::oldAccessFile(file, "billard-text50.mdb");
        GameState state;
        ScriptedMessageBoxes boxes;
        boxes.importAnswers = {true};
        {
            scorefrm unseen(boxes);
            unseen.load(state, file.path, false); // the undo's load asks nothing
        }
        QCOMPARE(boxes.asked, QStringList());
        boxes.told.clear(); // what the unseen load found: an Access file
        scorefrm table(boxes);
        table.load(state, file.path);
        QCOMPARE(boxes.asked.size(), 1);
        QVERIFY(boxes.told.value(0).startsWith("4 enregistrements ont été importés"));
        QCOMPARE(table.ranking().value(0), "  N°   1     DUPONT JEAN (148)");
    }

    void aScreenReaderReadsEachLineAsRankNameAndScore()
    {
        ScoreFile file("('ALPHA', 87), ('BRAVO', 1), ('CHARLIE', 0)");
        GameState idle;
        ScriptedMessageBoxes boxes;
        scorefrm table(boxes);
        table.load(idle, file.path);
        QAccessibleInterface* list = QAccessible::queryAccessibleInterface(table.list());
        QStringList lines;
        for (int i = 0; i < list->childCount(); ++i) {
            lines << list->child(i)->text(QAccessible::Name);
        }
        QCOMPARE(lines, (QStringList{"Rang 1 : ALPHA, 87 points.", "Rang 2 : BRAVO, 1 point.",
                                     "Rang 3 : CHARLIE, 0 point."}));
        QCOMPARE(list->text(QAccessible::Description),
                 "3 joueurs classés. Flèches pour parcourir, Entrée pour fermer.");
        QCOMPARE(table.ranking()[0], "  N°   1     ALPHA (087)"); // what is seen stays as it was
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

    void unreadableRecordsAreSkippedAndABusyFileKeepsTheOldRecordAndTheFlag()
    {
        ScoreFile file("('ALPHA', 40), (NULL, 12), ('BIG', 300), ('NEG', -1), ('TEXT', 'abc')");
        GameState state;
        state.PlayerName = "ALPHA";
        state.CurrentScore = 90;
        state.ForceScoreUpdate = true;
        ScriptedMessageBoxes boxes;
        {
            // Another program writes: the store waits, then asks; "Annuler" leaves everything as it was.
            test::Holder writer(file.path, {"BEGIN IMMEDIATE"});
            QVERIFY(writer.held());
            scorefrm table(boxes);
            table.load(state, file.path);
            QCOMPARE(table.ranking(), QStringList{"  N°   1     ALPHA (040)"});
        }
        QCOMPARE(boxes.asked.size(), 1);
        QVERIFY(boxes.asked[0].contains("Réessayer") && boxes.asked[0].contains(file.path));
        QCOMPARE(boxes.told.size(), 1); // the records skipped; the busy file was asked about, not told again
        QVERIFY(boxes.told[0].contains("4 enregistrements") && boxes.told[0].contains(file.path));
        QCOMPARE(file.records(), (QStringList{"ALPHA|40", "<null>|12", "BIG|300", "NEG|-1", "TEXT|abc"}));
        QVERIFY(state.ForceScoreUpdate);

        // "Réessayer" once the other program is done stores the score.
        test::Holder writer(file.path, {"BEGIN IMMEDIATE"});
        boxes.retryAnswers = {true};
        boxes.onAsk = [&writer] { writer.release(); };
        scorefrm table(boxes);
        table.load(state, file.path);
        QCOMPARE(boxes.asked.size(), 2);
        QCOMPARE(table.ranking(), QStringList{"  N°   1     ALPHA (090)"});
        QVERIFY(!state.ForceScoreUpdate);
    }

    void aPlayerWhoseRecordsAreUnreadableGetsOneBesideThem()
    {
        ScoreFile file("('ALPHA', 300), ('ALPHA', 'abc'), ('BRAVO', 20)");
        GameState state;
        // The undo's load is never seen: it ranks, but says nothing of skipped records.
        QCOMPARE(load(file, state, "ALPHA", 6, true, false),
                 (QStringList{"  N°   1     BRAVO (020)", "  N°   2     ALPHA (006)"}));
        QCOMPARE(file.records(), (QStringList{"ALPHA|300", "ALPHA|abc", "BRAVO|20", "ALPHA|6"}));
        QVERIFY(!state.ForceScoreUpdate);
        // From then on the added record is found and replaced by the normal rule.
        const QStringList shown = load(file, state, "ALPHA", 60);
        QCOMPARE(shown.mid(0, 2), (QStringList{"  N°   1     ALPHA (060)", "  N°   2     BRAVO (020)"}));
        QVERIFY(shown.size() == 3 && shown[2].contains("2 enregistrements"));
        QCOMPARE(file.records(), (QStringList{"ALPHA|300", "ALPHA|abc", "BRAVO|20", "ALPHA|60"}));
        // An undone disc may lower it: there was no readable best before this game.
        load(file, state, "ALPHA", 56, true, false);
        QCOMPARE(file.records().last(), "ALPHA|56");
    }

    void windowLooksAndClosesAsDesigned()
    {
        ScriptedMessageBoxes boxes;
        scorefrm table(boxes);
        QCOMPARE(table.windowTitle(), QString(40, u' ') + "Tableau des scores");
        QCOMPARE(table.size(), QSize(756, 566));
        QCOMPARE(table.list()->font().family(), "Garamond");
        QCOMPARE(table.list()->font().pointSizeF(), 26.25);
        table.show();
        QVERIFY(QTest::qWaitForWindowExposed(&table));
        QTest::keyClick(table.list(), Qt::Key_Return);
        QVERIFY(table.result() == QDialog::Accepted && !table.isVisible());
    }

    void purpleOnLightOrangeUnderADarkTheme()
    {
        testing::DarkTheme dark;
        ScriptedMessageBoxes boxes;
        scorefrm table(boxes);
        QCOMPARE(testing::unreadableIn(&table), QStringList());
    }
};

PALINOR_TEST_MAIN_WITH_HOLDER(ScorefrmTest)
#include "scorefrm_test.moc"
