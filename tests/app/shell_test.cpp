// The program's windows together: message boxes, the board rebuilt after a game.

#include "ModalAnswer.h"
#include "app/Application.h"
#include "app/WindowShell.h"
#include "ui/main/Form1.h"

#include <QAction>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

using namespace palinor;
using palinor::testing::ModalAnswers;

class ShellTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { setUpApplication(*qApp); }

    void applicationIdentity()
    {
        QCOMPARE(QApplication::applicationName(), QStringLiteral("Palinor"));
        QCOMPARE(QApplication::applicationDisplayName(), QStringLiteral("Palinor"));
        QCOMPARE(QApplication::applicationVersion(), QStringLiteral("1.00"));
        QCOMPARE(QLocale().language(), QLocale::French);
        QVERIFY(!QApplication::windowIcon().isNull());
        // Qt's own dialog texts come in French.
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Annuler"));
        QCOMPARE(QFontInfo(QFont("MS Sans Serif", 24)).family(), QString::fromLatin1(kSansSubstitute));
    }

    void refusalIsACriticalBoxWithTheProgramsTitle()
    {
        GameState state;
        WindowShell shell(state);
        shell.showMainWindow();
        ModalAnswers answers;
        QString text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        answers.then([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            QVERIFY(box);
            text = box->text();
            icon = box->icon();
            QCOMPARE(box->standardButtons(), QMessageBox::Ok);
            box->button(QMessageBox::Ok)->click();
        });
        QTest::mouseClick(shell.mainWindow()->pocketButton(1), Qt::LeftButton);
        QCOMPARE(text, QStringLiteral("Pas de Partie en cours!"));
        QCOMPARE(icon, QMessageBox::Critical);
        QCOMPARE(answers.titles, QStringList{"Palinor"});
    }

    void wholeGameEndsOnAFreshBoard()
    {
        GameState state;
        WindowShell shell(state);
        shell.showMainWindow();
        QPointer<Form1> first = shell.mainWindow();
        QVERIFY(QTest::qWaitForWindowExposed(first));

        ModalAnswers answers;
        answers.then([](QWidget* w) {
            auto* dialog = qobject_cast<QInputDialog*>(w);
            QVERIFY(dialog);
            dialog->setTextValue(QStringLiteral("  dupont "));
            dialog->accept();
        });
        first->npmn_Click();
        QCOMPARE(state.PlayerName, std::string("DUPONT"));
        QCOMPARE(first->label(Label::Player)->text(), QStringLiteral("JOUEUR : DUPONT"));

        QString gameOver;
        answers.then([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            QVERIFY(box);
            gameOver = box->text();
            box->accept();
        });
        for (int disc = 0; disc < 30; ++disc) {
            first->Command1_Click(disc % 4 + 1);
        }
        QCOMPARE(gameOver, QStringLiteral("GAME OVER"));
        QVERIFY(answers.allAnswered());

        // The old board is destroyed once its handler is over; a fresh one stands idle.
        QTRY_VERIFY(first.isNull());
        Form1* fresh = shell.mainWindow();
        QVERIFY(fresh);
        QVERIFY(fresh->isVisible());
        QCOMPARE(fresh->label(Label::Player)->text(), QStringLiteral("JOUEUR : "));
        QCOMPARE(fresh->label(Label::Round1)->text(), QStringLiteral("MANCHE 1 : 0"));
        QCOMPARE(fresh->label(Label::Score)->text(), QStringLiteral("SCORE : 0"));
        QVERIFY(fresh->findChild<QAction*>("npmn")->isVisible());
        QVERIFY(state.PlayerName.empty());
        QCOMPARE(state.MoveCount, 1);
    }

    void closingTheBoardEndsTheProgram()
    {
        GameState state;
        WindowShell shell(state);
        shell.showMainWindow();
        QPointer<Form1> board = shell.mainWindow();
        // The event loop ends by itself once the board is closed; the second timer only guards the test.
        QTimer::singleShot(0, board, &QWidget::close);
        QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(2); });
        QCOMPARE(QApplication::exec(), 0);
        QTRY_VERIFY(board.isNull());
    }
};

QTEST_MAIN(ShellTest)
#include "shell_test.moc"
