// The program's windows together: message boxes, the board rebuilt after a game.

#include "ModalAnswer.h"
#include "app/Application.h"
#include "app/WindowShell.h"
#include "ui/main/Form1.h"
#include "ui/scores/scorefrm.h"
#include "ui/signup/inscription.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

using namespace palinor;
using palinor::testing::ModalAnswers;

namespace {

// Every record of the score file as "NAME=SCORE".
QStringList storedScores(const QString& path)
{
    QStringList rows;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("check"));
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery query(QStringLiteral("SELECT \"Nom Complet\", Score FROM nom"), db);
            while (query.next()) {
                rows << query.value(0).toString() + QLatin1Char('=') + query.value(1).toString();
            }
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("check"));
    return rows;
}

// Types a name in the sign-up window and confirms it.
ModalAnswers::Answer signUpAs(const QString& typed)
{
    return [typed](QWidget* w) {
        auto* window = qobject_cast<inscription*>(w);
        QVERIFY(window);
        window->text()->setText(typed);
        QTest::keyClick(window->text(), Qt::Key_Return);
    };
}

} // namespace

class ShellTest : public QObject {
    Q_OBJECT

    QTemporaryDir folder_;
    QString scoreFile() const { return folder_.filePath(QStringLiteral("billard.mdb")); }

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
        WindowShell shell(state, [this] { return scoreFile(); });
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
        WindowShell shell(state, [this] { return scoreFile(); });
        shell.showMainWindow();
        QPointer<Form1> first = shell.mainWindow();
        QVERIFY(QTest::qWaitForWindowExposed(first));

        ModalAnswers answers;
        answers.then(signUpAs(QStringLiteral("  dupont ")));
        QTest::keyClick(first, Qt::Key_Return);
        QCOMPARE(state.PlayerName, std::string("DUPONT"));
        QCOMPARE(first->label(Label::Player)->text(), QStringLiteral("JOUEUR : DUPONT"));

        QString gameOver;
        answers.then([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            QVERIFY(box);
            gameOver = box->text();
            box->accept();
        });
        QStringList ranking;
        answers.then([&](QWidget* w) {
            auto* table = qobject_cast<scorefrm*>(w);
            QVERIFY(table);
            ranking = table->ranking();
            QTest::keyClick(table->list(), Qt::Key_Return);
        });
        for (int disc = 0; disc < 30; ++disc) {
            first->Command1_Click(disc % 4 + 1);
        }
        QCOMPARE(gameOver, QStringLiteral("GAME OVER"));
        QCOMPARE(ranking, QStringList{"  N°   1     DUPONT (143)"});
        QCOMPARE(storedScores(scoreFile()), QStringList{"DUPONT=143"});
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

    void menuTableStoresTheRunningScoreAndUndoStoresItWithoutTheDisc()
    {
        GameState state;
        WindowShell shell(state, [this] { return scoreFile(); });
        shell.showMainWindow();
        Form1* board = shell.mainWindow();
        ModalAnswers answers;
        answers.then(signUpAs(QStringLiteral("martin")));
        board->npmn_Click();
        for (int pocket : {4, 4, 4}) {
            board->Command1_Click(pocket);
        }
        answers.then([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
        board->findChild<QAction*>("tsmn")->trigger();
        QVERIFY(answers.allAnswered());
        QVERIFY(storedScores(scoreFile()).contains("MARTIN=12"));

        // The table is loaded and unloaded without showing; the new player had no best before this game.
        board->Annulermn_Click();
        QVERIFY(storedScores(scoreFile()).contains("MARTIN=8"));
        QVERIFY(!state.ForceScoreUpdate);
        QCOMPARE(answers.titles.size(), 2);
    }

    void tableFromTheMenuReadsTheSameFileAsTheSignUpWhereverTheProgramStarted()
    {
        QTemporaryDir elsewhere;
        const QString started = QDir::currentPath();
        QDir::setCurrent(elsewhere.path());
        GameState state;
        WindowShell shell(state, [this] { return scoreFile(); });
        shell.showMainWindow();
        ModalAnswers answers;
        QStringList ranking;
        answers.then([&](QWidget* w) {
            ranking = qobject_cast<scorefrm*>(w)->ranking();
            qobject_cast<QDialog*>(w)->accept();
        });
        shell.mainWindow()->findChild<QAction*>("tsmn")->trigger();
        QDir::setCurrent(started);
        QVERIFY(!ranking.isEmpty());
        QVERIFY(ranking.first().endsWith(QStringLiteral("DUPONT (143)")));
        QVERIFY(!QFile::exists(elsewhere.filePath(QStringLiteral("billard.mdb"))));
    }

    void closingTheBoardEndsTheProgram()
    {
        GameState state;
        WindowShell shell(state, [this] { return scoreFile(); });
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
