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
        QCOMPARE(
            t.ranking(),
            (QStringList{"  N°   1     \u2068ALPHA\u2069 (087)", "  N°   2     \u2068ZOÉ\u2069 (033)",
                         "  N°   3     \u2068ÉMILE\u2069 (033)", "  N°   4     \u2068CHARLIE\u2069 (001)",
                         "  N°   5     \u2068DELTA\u2069 (000)"}));
        QCOMPARE(t.told, QStringList{skippedMessage(2, file.path)});
        QAccessibleInterface* list = QAccessible::queryAccessibleInterface(t.list());
        QCOMPARE(list->child(3)->text(QAccessible::Name), "Rang 4 : CHARLIE, 1 point."); // read as a sentence
        // A name's direction controls end with it, and a name is never shown as markup.
        QCOMPARE(rankingLine(1, u"BOB \u202E", u"005"), "  N°   1     \u2068BOB \u202E\u2069 (005)");
        // A box is wide enough for its whole title, however short its text.
        bool plainAndWide = false;
        QTimer::singleShot(0, [&plainAndWide] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            plainAndWide = box->textFormat() == Qt::PlainText && box->width() >= minimumBoxWidth("Palinor");
            box->accept();
        });
        QApplication::setApplicationName("Palinor");
        QtMessageBoxes().tell("<u>GAME OVER</u>", MessageBoxes::Icon::None, {});
        QVERIFY(plainAndWide);
        // A name too long for its line loses its end, never the rank or the score.
        const QFontMetrics metrics(t.list()->font());
        const QString cut = fittedLine(rankingLine(12, QString(255, u'W'), u"012"), metrics, 700);
        QVERIFY(cut.startsWith("  N°  12     \u2068WW") && cut.endsWith("W…\u2069 (012)") &&
                metrics.horizontalAdvance(cut) <= 700);
        // Nothing looks chosen: the arrow keys move through the ranking, and it is drawn as before.
        t.show();
        QVERIFY(QTest::qWaitForWindowExposed(&t));
        QListView* view = t.list();
        const QRect line = view->visualRect(view->model()->index(1, 0));
        const QImage plain = view->viewport()->grab(line).toImage();
        view->setFocus();
        QTest::keyClick(view, Qt::Key_Down);
        QVERIFY(view->currentIndex().row() == 1 && !view->selectionModel()->hasSelection());
        QCOMPARE(view->viewport()->grab(line).toImage(), plain);
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
        QCOMPARE(seen.ranking(), (QStringList{"  N°   1     \u2068ALPHA\u2069 (060)",
                                              "  N°   2     \u2068BRAVO\u2069 (020)"}));
        // The unreadable record is told once while it stays as it is.
        seen.load(seen, file.path);
        test::sql(file.path, "UPDATE nom SET Score = 300 WHERE Score = 20");
        seen.load(seen, file.path);
        QCOMPARE(seen.told, QStringList({skippedMessage(1, file.path), skippedMessage(2, file.path)}));
        QCOMPARE(file.records(), (QStringList{"ALPHA|abc", "BRAVO|300", "ALPHA|60"}));
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
        QCOMPARE(t.ranking(), QStringList{"  N°   1     \u2068ALPHA\u2069 (040)"});
        t.answers = {true};
        t.onAsk = [&writer] { writer.release(); };
        t.load(t, file.path);
        QVERIFY(t.asked.size() == 2 && !t.ForceScoreUpdate);
        QCOMPARE(t.ranking(), QStringList{"  N°   1     \u2068ALPHA\u2069 (090)"});
        // Another copy of the program stores 120 between this one's reading and its store: the store sees it,
        // and the player keeps one record, the best.
        const auto player = [](int score) {
            GameState state;
            state.PlayerName = "ALPHA", state.CurrentScore = Byte(score);
            return state;
        };
        GameState late = player(100);
        ScoreDatabase db(file.path);
        const ScoreTableContents shown =
            loadScoreTable(db, late, [&, attempt = 0](const FileOperation& op) mutable {
                if (++attempt == 2) {
                    test::Child([&](int) {
                        GameState other = player(120);
                        ScoreDatabase theirs(file.path);
                        return int(loadScoreTable(theirs, other).ranking.size());
                    }).end();
                }
                return op();
            });
        QCOMPARE(file.records(), QStringList{"ALPHA|120"});
        QCOMPARE(shown.ranking, QStringList{"  N°   1     \u2068ALPHA\u2069 (120)"});
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
        QCOMPARE(t.ranking().value(0), "  N°   1     \u2068DUPONT JEAN\u2069 (148)");
    }
};

QTEST_MAIN(ScorefrmTest)
#include "scorefrm_test.moc"
