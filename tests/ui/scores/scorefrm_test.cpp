// The score table: what its load stores, the ranking it shows, and what it tells.

#include "../WindowTesting.h"
#include "ui/scores/ScoreTable.h"
#include "ui/scores/scorefrm.h"

#include <QtTest>
#include <QtWidgets>

using namespace palinor;
using palinor::testing::ScoreFile;

namespace {

// The table with a game state of its own; what it tells and asks goes to the script.
struct Table : testing::ScriptedMessageBoxes, GameState, scorefrm {
    explicit Table(const char* player = "", int score = 0, bool forced = false)
        : scorefrm(*this, testing::kShortWaits)
    {
        PlayerName = player;
        CurrentScore = Byte(score);
        ForceScoreUpdate = forced;
    }
};

} // namespace

class ScorefrmTest : public QObject {
    Q_OBJECT

private slots:
    void rankingIsBestFirstWithEqualScoresInFrenchOrder()
    {
        ScoreFile file("('ZOÉ', 33), ('CHARLIE', 1), ('ALPHA', 87), ('DELTA', NULL), ('ÉMILE', 33), "
                       "('BIG', 300), (NULL, 5)");
        Table t;
        t.load(t, file.path);
        QCOMPARE(t.ranking(), (QStringList{"  N°   1     ALPHA (087)", "  N°   2     ZOÉ (033)",
                                           "  N°   3     ÉMILE (033)", "  N°   4     CHARLIE (001)",
                                           "  N°   5     DELTA (000)"}));
        QCOMPARE(t.told, QStringList{skippedMessage(2, file.path)});
        QAccessibleInterface* list = QAccessible::queryAccessibleInterface(t.list());
        QCOMPARE(list->child(3)->text(QAccessible::Name), "Rang 4 : CHARLIE, 1 point."); // read as a sentence
    }

    void everyLoadStoresWhenDueAndAPlayerWithOnlyUnreadableRecordsGetsOneBeside()
    {
        ScoreFile file("('ALPHA', 'abc'), ('BRAVO', 20)");
        Table undo("ALPHA", 6, true);
        undo.load(undo, file.path, false); // the undo's load is never seen: it stores and tells nothing
        QVERIFY(undo.told.isEmpty() && !undo.ForceScoreUpdate);
        QCOMPARE(file.records(), (QStringList{"ALPHA|abc", "BRAVO|20", "ALPHA|6"}));
        Table seen("ALPHA", 60);
        seen.load(seen, file.path);
        QCOMPARE(seen.ranking(), (QStringList{"  N°   1     ALPHA (060)", "  N°   2     BRAVO (020)"}));
        QCOMPARE(seen.told, QStringList{skippedMessage(1, file.path)});
        QCOMPARE(file.records(), (QStringList{"ALPHA|abc", "BRAVO|20", "ALPHA|60"}));
        test::sql(file.path, "CREATE TABLE extra (x)"); // kept from writes: a notice the undo does not tell
        undo.load(undo, file.path, false);
        QCOMPARE(undo.told, QStringList());
    }

    void aBusyFileKeepsTheOldRecordAndTheFlagUntilTheUserRetries()
    {
        ScoreFile file("('ALPHA', 40)");
        test::Holder writer(file.path, {"BEGIN IMMEDIATE"});
        QVERIFY(writer.held());
        Table t("ALPHA", 90, true);
        t.load(t, file.path); // "Annuler": nothing is told besides the question
        QVERIFY(t.asked.size() == 1 && t.told.isEmpty() && t.ForceScoreUpdate);
        QCOMPARE(t.ranking(), QStringList{"  N°   1     ALPHA (040)"});
        t.answers = {true};
        t.onAsk = [&writer] { writer.release(); };
        t.load(t, file.path);
        QVERIFY(t.asked.size() == 2 && !t.ForceScoreUpdate);
        QCOMPARE(t.ranking(), QStringList{"  N°   1     ALPHA (090)"});
    }

    void anOldAccessFileIsOfferedForImportOnlyWhenTheTableIsSeenAndImportedOnlyWhenAgreed()
    {
        ScoreFile file;
        QVERIFY(QFile::copy(PALINOR_ACCESS_FIXTURES "/billard-text50.mdb", file.path));
        const QByteArray before = test::contents(file.path);
        Table t;
        t.answers = {false, true};
        t.load(t, file.path, false); // the undo's load asks nothing
        t.load(t, file.path);        // "Annuler": the file stays as it was
        QVERIFY(t.asked.size() == 1 && test::contents(file.path) == before && t.ranking().isEmpty());
        t.told.clear();
        t.load(t, file.path);
        QVERIFY(t.asked.size() == 2 && t.told.value(0).startsWith("4 enregistrements ont été importés"));
        QCOMPARE(t.ranking().value(0), "  N°   1     DUPONT JEAN (148)");
    }
};

QTEST_MAIN(ScorefrmTest)
#include "scorefrm_test.moc"
