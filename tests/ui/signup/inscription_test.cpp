// The sign-up window, constructed directly and driven with the keyboard and the mouse.

#include "../ScoreFiles.h"
#include "ui/signup/inscription.h"

#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QtTest>

using namespace palinor;
using palinor::testing::ScoreFile;

namespace {

// Records what the window tells the user instead of opening a message box.
class TestedSignUp : public inscription {
public:
    using inscription::inscription;
    QStringList reports;

protected:
    void report(const QString& message) override { reports << message; }
};

struct SignUp {
    GameState state;
    TestedSignUp window{state};
    QStringList loadMessages;

    explicit SignUp(const ScoreFile& file)
    {
        loadMessages = window.load(file.path());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }

    void confirm(const QString& typed)
    {
        window.text()->setText(typed);
        QTest::keyClick(window.text(), Qt::Key_Return);
    }

    void pick(int row)
    {
        QListView* list = window.list();
        const QRect item = list->visualRect(list->model()->index(row, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.center());
    }
};

} // namespace

class InscriptionTest : public QObject {
    Q_OBJECT

private slots:
    void firstUseCreatesTheFileAndWaitsForAChange()
    {
        ScoreFile file;
        SignUp s(file);
        QVERIFY(s.loadMessages.isEmpty());
        QVERIFY(QFile::exists(file.path()));
        QVERIFY(s.window.names().isEmpty());
        QCOMPARE(s.window.text()->text(), QStringLiteral("Text1"));
        QVERIFY(!s.window.okButton()->isEnabled());
        QCOMPARE(QApplication::focusWidget(), s.window.list());
        QCOMPARE(s.window.windowTitle(), QStringLiteral("Inscription"));

        QTest::keyClick(s.window.list(), Qt::Key_Return);
        QTest::keyClick(s.window.list(), Qt::Key_Escape);
        QVERIFY(s.window.isVisible()); // neither Enter before a change nor Escape closes it
        QVERIFY(s.state.PlayerName.empty());
    }

    void typedNameIsTrimmedUpperCasedAndRegistered()
    {
        ScoreFile file;
        file.create();
        SignUp s(file);
        s.confirm(QStringLiteral("  dupont "));
        QCOMPARE(s.window.text()->text(), QStringLiteral("DUPONT"));
        QCOMPARE(s.state.PlayerName, std::string("DUPONT"));
        QCOMPARE(s.window.result(), int(QDialog::Accepted));
        QCOMPARE(file.records(), QStringList{"DUPONT=-"});
    }

    void registeredNamesAreComparedExactly()
    {
        ScoreFile file;
        file.create({{"DUPONT", 12}, {"Dupont", QVariant()}, {"JEAN  PAUL", 3}, {QVariant(), 4}});
        {
            SignUp s(file);
            QCOMPARE(s.window.names(), (QStringList{"", "Dupont", "DUPONT", "JEAN  PAUL"}));
            s.confirm(QStringLiteral("dupont"));
            QCOMPARE(s.state.PlayerName, std::string("DUPONT"));
            QCOMPARE(file.records().size(), 4);
        }
        {
            SignUp s(file);
            s.confirm(QStringLiteral("Jean Paul")); // one inner space: another name
            QCOMPARE(s.state.PlayerName, std::string("JEAN PAUL"));
            QCOMPARE(file.records().size(), 5);
        }
    }

    void pickingANameFillsTheTextAndConfirmsWithoutARecord()
    {
        ScoreFile file;
        file.create({{"BRAVO", 5}, {"ALPHA", 7}, {"ÉMILE", 1}, {"ZOÉ", 2}});
        SignUp s(file);
        // French order: accented letters sort with their base letter.
        QCOMPARE(s.window.names(), (QStringList{"ALPHA", "BRAVO", "ÉMILE", "ZOÉ"}));
        s.pick(1);
        QCOMPARE(s.window.text()->text(), QStringLiteral("BRAVO"));
        QVERIFY(s.window.okButton()->isEnabled());
        QTest::keyClick(s.window.list(), Qt::Key_Down); // the arrow keys pick too
        QCOMPARE(s.window.text()->text(), QStringLiteral("ÉMILE"));
        QTest::mouseDClick(s.window.list()->viewport(), Qt::LeftButton, {},
                           s.window.list()->visualRect(s.window.list()->model()->index(0, 0)).center());
        QVERIFY(s.window.isVisible()); // a double click only selects
        QTest::mouseClick(s.window.okButton(), Qt::LeftButton);
        QCOMPARE(s.state.PlayerName, std::string("ALPHA"));
        QCOMPARE(file.records().size(), 4);
    }

    void emptyOrBlankNamesKeepTheWindowOpen()
    {
        ScoreFile file;
        file.create({{QVariant(), 4}});
        SignUp s(file);
        s.confirm(QStringLiteral("    "));
        QVERIFY(s.window.isVisible());
        QCOMPARE(s.window.text()->text(), QString());
        QVERIFY(s.window.okButton()->isEnabled());
        s.pick(0); // the record without a name
        QTest::mouseClick(s.window.okButton(), Qt::LeftButton);
        QVERIFY(s.window.isVisible());
        QVERIFY(s.state.PlayerName.empty());
        QVERIFY(s.window.reports.isEmpty());
    }

    void typingAfterTheInitialTextKeepsIt()
    {
        ScoreFile file;
        SignUp s(file);
        s.window.text()->setFocus();
        s.window.text()->end(false);
        QTest::keyClicks(s.window.text(), QStringLiteral("abc"));
        QTest::keyClick(s.window.text(), Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(s.state.PlayerName, std::string("TEXT1ABC"));
    }

    void refusedRegistrationIsToldAndKeepsThePlayer()
    {
        ScoreFile file;
        file.create();
        SignUp s(file);
        s.state.PlayerName = "AVANT";
        s.confirm(QString(256, u'a'));
        QVERIFY(s.window.isVisible());
        QCOMPARE(s.window.reports.size(), 1);
        QVERIFY(s.window.reports[0].contains(QStringLiteral("255")));
        QCOMPARE(s.state.PlayerName, std::string("AVANT"));
        QVERIFY(file.records().isEmpty());

        s.confirm(QString(255, u'b'));
        QCOMPARE(s.state.PlayerName, std::string(255, 'B'));
    }

    void closeBoxLeavesThePlayerUnchanged()
    {
        ScoreFile file;
        SignUp s(file);
        s.state.PlayerName = "AVANT";
        s.window.text()->setText(QStringLiteral("nouveau"));
        s.window.close();
        QCOMPARE(s.state.PlayerName, std::string("AVANT"));
        QCOMPARE(s.window.result(), int(QDialog::Rejected));
        QVERIFY(file.records().isEmpty());
    }

    void foreignFileIsToldAndLeftUntouched()
    {
        ScoreFile file;
        file.write(QByteArray("\x00\x01\x00\x00Standard Jet DB\x00", 20) + QByteArray(4000, 'x'));
        const QByteArray before = file.checksum();
        SignUp s(file);
        QCOMPARE(s.loadMessages.size(), 1);
        QVERIFY(s.loadMessages[0].contains(QStringLiteral("Access")));
        QVERIFY(s.loadMessages[0].contains(file.path()));
        QVERIFY(s.window.names().isEmpty());
        s.confirm(QStringLiteral("dupont"));
        QCOMPARE(s.window.reports.size(), 1);
        QVERIFY(s.state.PlayerName.empty());
        QCOMPARE(file.checksum(), before);
    }
};

QTEST_MAIN(InscriptionTest)
#include "inscription_test.moc"
