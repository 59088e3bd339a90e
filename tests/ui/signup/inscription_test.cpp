// The sign-up window, constructed directly and driven with the keyboard and the mouse.

#include "../Contrast.h"
#include "../ScoreFiles.h"
#include "../ScriptedMessageBoxes.h"
#include "tests/data/LockHolder.h"
#include "ui/signup/inscription.h"

#include <QtTest>
#include <QtWidgets>

using namespace palinor;
using palinor::testing::ScoreFile;

namespace {

// Loaded and shown; what it tells the user goes to the scripted boxes.
struct SignUp : testing::ScriptedMessageBoxes, inscription {
    QStringList& reports = told;

    SignUp(GameState& state, const ScoreFile& file, bool quiet = true, QList<bool> import = {})
        : inscription(state, *this)
    {
        importAnswers = import;
        load(file.path);
        if (quiet) {
            QCOMPARE(told, QStringList());
        }
        show();
        QVERIFY(QTest::qWaitForWindowExposed(this));
    }
    void confirm(const QString& typed)
    {
        text()->setText(typed);
        QTest::keyClick(text(), Qt::Key_Return);
    }
    QPoint row(int index) const { return list()->visualRect(list()->model()->index(index, 0)).center(); }
};

QString said(QObject* object, QAccessible::Text text)
{
    return QAccessible::queryAccessibleInterface(object)->text(text);
}

} // namespace

class InscriptionTest : public QObject {
    Q_OBJECT

private slots:
    void firstUseCreatesTheFileAndWaitsForAChangeAfterText1()
    {
        ScoreFile file;
        GameState state;
        SignUp s(state, file);
        QVERIFY(QFile::exists(file.path) && s.names().isEmpty());
        QCOMPARE(s.text()->text(), "Text1");
        QVERIFY(!s.okButton()->isEnabled());
        QCOMPARE(QApplication::focusWidget(), s.list());
        // The focus starts in an empty list, which says what to do instead.
        QCOMPARE(said(s.list(), QAccessible::Name), "Joueurs inscrits");
        QCOMPARE(said(s.list(), QAccessible::Description),
                 "Aucun joueur inscrit. Appuyez sur Tab, tapez votre nom, puis appuyez sur Entrée.");
        QCOMPARE(said(s.text(), QAccessible::Name), "Nom du joueur");
        QTest::keyClick(s.list(), Qt::Key_Return);
        QTest::keyClick(s.list(), Qt::Key_Escape);
        QVERIFY(s.isVisible()); // neither Enter before a change nor Escape closes it
        s.text()->setFocus();
        s.text()->end(false);
        QTest::keyClicks(s.text(), "abc");
        QTest::keyClick(s.text(), Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(state.PlayerName, "TEXT1ABC");
        QCOMPARE(file.records(), QStringList{"TEXT1ABC|<null>"});
    }

    void typedNameIsTrimmedUpperCasedAndComparedExactly()
    {
        const struct {
            QString stored, typed, player;
            bool added;
        } cases[] = {
            {"ALPHA", " \t dupont\u00A0 ", "\t DUPONT\u00A0", true}, // only U+0020 is trimmed
            {"DUPONT", "dupont", "DUPONT", false},
            {"Dupont", "Dupont", "DUPONT", true}, // stored in mixed case by another program
            {"JEAN  PAUL", "Jean Paul", "JEAN PAUL", true},
        };
        for (const auto& [stored, typed, player, added] : cases) {
            ScoreFile file("('" + stored + "', NULL)");
            GameState state;
            SignUp s(state, file);
            s.confirm(typed);
            QVERIFY(s.text()->text() == player && QString::fromStdString(state.PlayerName) == player);
            QVERIFY(s.result() == QDialog::Accepted);
            QCOMPARE(file.records(),
                     QStringList{stored + "|<null>"} + QStringList(added, player + "|<null>"));
        }
    }

    void pickingFillsTheTextAndBlankNamesKeepTheWindowOpen()
    {
        ScoreFile file("('BRAVO', 5), ('ALPHA', 7), ('ÉMILE', 1), ('ZOÉ', 2), (NULL, 4)");
        GameState state;
        SignUp s(state, file);
        // French order: accented letters sort with their base letter; a Null name is an empty item.
        QCOMPARE(s.names(), (QStringList{"", "ALPHA", "BRAVO", "ÉMILE", "ZOÉ"}));
        s.confirm("    ");
        QVERIFY(s.isVisible() && s.text()->text().isEmpty() && s.okButton()->isEnabled());
        QTest::mouseClick(s.list()->viewport(), Qt::LeftButton, {}, s.row(2));
        QCOMPARE(s.text()->text(), "BRAVO");
        QTest::keyClick(s.list(), Qt::Key_Down); // the arrow keys pick too
        QCOMPARE(s.text()->text(), "ÉMILE");
        QTest::mouseClick(s.list()->viewport(), Qt::LeftButton, {}, s.row(0));
        QTest::mouseClick(s.okButton(), Qt::LeftButton); // the empty name of the Null record
        QTest::mouseClick(s.list()->viewport(), Qt::LeftButton, {}, s.row(1));
        QTest::mouseDClick(s.list()->viewport(), Qt::LeftButton, {}, s.row(1));
        QVERIFY(s.isVisible()); // neither confirmed: a double click only selects
        QTest::mouseClick(s.okButton(), Qt::LeftButton);
        QCOMPARE(state.PlayerName, "ALPHA");
        QCOMPARE(file.records().size(), 5);
        QVERIFY(s.reports.isEmpty());
    }

    void anOldAccessFileIsImportedOnlyWhenTheUserAgrees()
    {
        for (bool agreed : {false, true}) {
            ScoreFile file;
            ScoreFile::oldAccessFile(file, "billard-text50.mdb");
            const QByteArray before = test::checksum(file.path);
            GameState state;
            SignUp s(state, file, false, {agreed});
            QCOMPARE(s.asked.size(), 1);
            QVERIFY(s.asked[0].contains("vient de l'ancienne version du programme"));
            QCOMPARE(s.told.size(), 1);
            if (!agreed) {
                QVERIFY(s.told[0].contains("Access 2000, moteur Jet 4"));
                QCOMPARE(test::checksum(file.path), before);
                QCOMPARE(s.names(), QStringList());
                continue;
            }
            QVERIFY(s.told[0].startsWith("4 enregistrements ont été importés"));
            QCOMPARE(s.names(), (QStringList{"", "DUPONT JEAN", "ÉLODIE ÈVE", "ŒDIPE"}));
            s.confirm("dupont jean"); // listed: not registered again
            QCOMPARE(state.PlayerName, "DUPONT JEAN");
            QCOMPARE(file.records().size(), 4);
        }
    }

    void arrowKeysPickFromTheFirstName()
    {
        ScoreFile file("('CHARLIE', 3), ('ALPHA', 1), ('BRAVO', 2)");
        GameState state;
        SignUp s(state, file);
        QStringList picked;
        for (Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Up}) {
            QTest::keyClick(s.list(), key);
            picked << s.text()->text();
        }
        QCOMPARE(picked, (QStringList{"ALPHA", "BRAVO", "ALPHA"}));
        QVERIFY(said(s.list(), QAccessible::Description).startsWith("Choisissez votre nom avec les flèches"));
        ScoreFile single("('ALPHA', 1)");
        for (Qt::Key key : {Qt::Key_Down, Qt::Key_Up}) {
            SignUp one(state, single);
            QTest::keyClick(one.list(), key);
            QCOMPARE(one.text()->text(), "ALPHA");
        }
    }

    void darkOnPaleYellowUnderADarkTheme()
    {
        testing::DarkTheme dark;
        ScoreFile file("('ALPHA', 1), ('BRAVO', 2)");
        GameState state;
        SignUp s(state, file);
        QVERIFY(!s.okButton()->isEnabled());
        QCOMPARE(testing::unreadableIn(&s), QStringList());
        const QImage shot = s.grab().toImage();
        const QRect box(s.text()->mapTo(&s, QPoint(4, 4)), s.text()->size() - QSize(8, 8));
        const QRect row = s.list()->visualRect(s.list()->model()->index(1, 0)).adjusted(2, 2, -2, -2);
        for (const QRect& area : {box, row.translated(s.list()->viewport()->mapTo(&s, QPoint(0, 0)))}) {
            const QString ink = testing::inkOn(shot, area, QColor(255, 255, 192));
            QVERIFY2(ink.startsWith("dark"), qPrintable(ink));
        }
    }

    void refusedNameIsToldAndTheCloseBoxKeepsThePlayer()
    {
        ScoreFile file("");
        GameState state;
        state.PlayerName = "AVANT";
        SignUp s(state, file);
        s.confirm(QString(256, u'a'));
        QVERIFY(s.isVisible() && s.reports.size() == 1 && s.reports[0].contains("255"));
        s.close();
        QVERIFY(s.result() == QDialog::Rejected && state.PlayerName == "AVANT" && file.records().isEmpty());
    }

    void aBusyFileIsAskedAboutAndTheSameWindowWorksOnceItIsFree()
    {
        ScoreFile file("('ALPHA', 5)");
        GameState state;
        auto exclusive = std::make_unique<test::Holder>(
            file.path, QStringList{"BEGIN EXCLUSIVE", "DELETE FROM nom WHERE 0"});
        QVERIFY(exclusive->held());
        SignUp s(state, file, false);
        // Nothing could be read: the user was asked, chose "Annuler", and was told nothing more.
        QCOMPARE(s.asked.size(), 1);
        QVERIFY(s.asked[0].contains("utilisé") && s.asked[0].contains(file.path));
        QVERIFY(s.told.isEmpty() && s.names().isEmpty());
        exclusive.reset();
        // The confirmation reads the file afresh: ALPHA is known, so nothing is added.
        s.confirm("alpha");
        QCOMPARE(state.PlayerName, "ALPHA");
        QCOMPARE(file.records(), QStringList{"ALPHA|5"});

        // A registration while another program writes waits, asks, and on "Réessayer" goes through.
        GameState next;
        SignUp again(next, file);
        test::Holder writer(file.path, {"BEGIN IMMEDIATE"});
        QVERIFY(writer.held());
        again.confirm("bravo");
        QVERIFY(again.isVisible() && next.PlayerName.empty() && again.asked.size() == 1);
        again.retryAnswers = {true};
        again.onAsk = [&writer] { writer.release(); };
        again.confirm("bravo");
        QCOMPARE(next.PlayerName, "BRAVO");
        QCOMPARE(file.records(), (QStringList{"ALPHA|5", "BRAVO|<null>"}));
        QVERIFY(again.told.isEmpty());
    }

    void aFileThatCannotBeMadeIsToldWithItsCauseAtEveryTry()
    {
        QTemporaryDir dir;
        GameState state;
        struct Away : testing::ScriptedMessageBoxes, inscription {
            explicit Away(GameState& s) : inscription(s, *this) {}
        } s(state);
        s.load(dir.filePath("absent/billard.mdb"));
        s.show();
        QCOMPARE(s.told.size(), 1);
        QVERIFY(s.told[0].contains("ne peut pas être créé") &&
                s.told[0].contains("son dossier n'existe pas"));
        s.text()->setText("dupont");
        QTest::keyClick(s.text(), Qt::Key_Return);
        QCOMPARE(s.told.size(), 2);
        QCOMPARE(s.told[1], s.told[0]);
        QVERIFY(s.isVisible() && state.PlayerName.empty());
    }

    void aPlayerWithAnUnreadableScoreIsStillRegistered()
    {
        ScoreFile file("('ALPHA', 300)");
        GameState state;
        SignUp s(state, file);
        QCOMPARE(s.names(), QStringList{"ALPHA"});
        s.confirm("alpha");
        QCOMPARE(state.PlayerName, "ALPHA");
        QCOMPARE(file.records(), QStringList{"ALPHA|300"});
    }
};

PALINOR_TEST_MAIN_WITH_HOLDER(InscriptionTest)
#include "inscription_test.moc"
