// The sign-up window, constructed directly and driven with the keyboard and the mouse.

#include "../ScoreFiles.h"
#include "ui/signup/inscription.h"

#include <QtTest>
#include <QtWidgets>

using namespace palinor;
using palinor::testing::ScoreFile;

namespace {

// Loaded and shown; keeps what the window tells the user instead of opening a message box.
struct SignUp : inscription {
    QStringList reports;

    SignUp(GameState& state, const ScoreFile& file) : inscription(state)
    {
        QVERIFY(load(file.path).isEmpty());
        show();
        QVERIFY(QTest::qWaitForWindowExposed(this));
    }
    void report(const QString& message) override { reports << message; }
    void confirm(const QString& typed)
    {
        text()->setText(typed);
        QTest::keyClick(text(), Qt::Key_Return);
    }
    QPoint row(int index) const { return list()->visualRect(list()->model()->index(index, 0)).center(); }
};

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
};

QTEST_MAIN(InscriptionTest)
#include "inscription_test.moc"
