// The program's windows together: message boxes, sign-up, score table, the board rebuilt after a game.

#include "app/Application.h"
#include "app/StartUp.h"
#include "app/WindowShell.h"
#include "tests/ui/ScoreFiles.h"
#include "tests/ui/ScriptedMessageBoxes.h"
#include "ui/scores/scorefrm.h"
#include "ui/signup/inscription.h"

#include <QtTest>
#include <QtWidgets>

using namespace palinor;

class ShellTest : public QObject {
    Q_OBJECT

private slots:
    void applicationIdentity()
    {
        setUpApplication(*qApp);
        QCOMPARE(QApplication::applicationName(), "Palinor");
        QCOMPARE(QApplication::applicationDisplayName(), "Palinor");
        QCOMPARE(QApplication::applicationVersion(), "1.00");
        QCOMPARE(QLocale().language(), QLocale::French);
        QVERIFY(!QApplication::windowIcon().isNull());
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Annuler");
        QCOMPARE(QFontInfo(QFont("MS Sans Serif", 24)).family(), kSansSubstitute);
    }

    void startUpFailuresAreToldForWhatTheyAre()
    {
        const QString display = startUpFailureLine("could not connect", true);
        QVERIFY(display.startsWith("Palinor : aucun écran graphique"));
        // A display that works but a failure of another kind is not told as a missing display.
        const QString other = startUpFailureLine("QFontDatabase: no font could be found\nmore", false);
        QVERIFY(other.startsWith("Palinor : le programme n'a pas pu démarrer") && !other.contains("écran"));
        QVERIFY(other.contains("« QFontDatabase: no font could be found »") && !other.contains('\n'));
    }

    void aScreenTooSmallForTheBoardGetsTheLargestScaleThatFits()
    {
        const QSize board = boardWindowSize();
        QVERIFY(board.width() > 792 && board.height() > 547 + 20);
        QCOMPARE(fittingScale(board, QRect(0, 0, 1920, 1080)), 1.0);
        // 1920 x 1080 at 200 %: 960 x 540 less a panel of 24.
        const double scale = fittingScale(board, QRect(0, 24, 960, 516));
        QVERIFY(scale < 1.0 && scale > 0.75);
        QVERIFY(board.height() * scale <= 516 && board.width() * scale <= 960);
        QVERIFY(board.height() * (scale + 0.01) > 516); // the largest that fits, to a hundredth
    }

    void aWholeGameWithTheTableFromTheMenuAndAnUndoWhereverTheProgramStarted()
    {
        // Every modal window is answered from a timer as a user would, so that each flow through exec() goes
        // on: the sign-up with the next name, the table once its ranking is read. Messages go to the double.
        QStringList names{"  martin "}, seen, ranking;
        QList<QSize> sizes;
        QTimer answering;
        answering.callOnTimeout([&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == nullptr || !modal->isVisible()) {
                return;
            }
            seen << modal->windowTitle();
            sizes << modal->size();
            if (auto* signUp = qobject_cast<inscription*>(modal)) {
                signUp->text()->setText(names.takeFirst());
                QTest::keyClick(signUp, Qt::Key_Return);
            } else if (auto* table = qobject_cast<scorefrm*>(modal)) {
                ranking = table->ranking();
                QTest::keyClick(table, Qt::Key_Return);
            }
        });
        answering.start(5);

        testing::ScoreFile file;
        QTemporaryDir elsewhere;
        const QString started = QDir::currentPath();
        QDir::setCurrent(elsewhere.path());
        GameState state;
        testing::ScriptedMessageBoxes boxes;
        WindowShell shell(state, boxes, [&file] { return DatabaseLocation{file.path, std::nullopt}; });
        shell.showMainWindow();
        QPointer<Form1> first = shell.mainWindow();
        QTest::mouseClick(first->pocketButton(1), Qt::LeftButton);
        first->Command2_Click();
        for (int pocket : {4, 4, 4}) {
            first->Command1_Click(pocket);
        }
        first->findChild<QAction*>("tsmn")->trigger();
        QCOMPARE(ranking, QStringList{"  N°   1     MARTIN (012)"});
        QCOMPARE(file.records(), QStringList{"MARTIN|12"});
        // The table is loaded and unloaded without showing; the player had no best before this game.
        first->Annulermn_Click();
        QCOMPARE(file.records(), QStringList{"MARTIN|8"});
        for (int disc = 0; disc < 28; ++disc) {
            first->Command1_Click(disc % 4 + 1);
        }
        QDir::setCurrent(started);
        const QString table = QString(40, u' ') + "Tableau des scores";
        QCOMPARE(seen, (QStringList{"Inscription", table, table}));
        // Client areas as designed once the shell has shown them: nothing shrinks them to their contents.
        QCOMPARE(sizes, (QList<QSize>{{327, 152}, {756, 566}, {756, 566}}));
        QCOMPARE(boxes.told, (QStringList{"Pas de Partie en cours!", "GAME OVER"}));
        QCOMPARE(boxes.icons, (QList{MessageBoxes::Icon::Critical, MessageBoxes::Icon::None}));
        QCOMPARE(ranking, QStringList{"  N°   1     MARTIN (148)"});
        QVERIFY(file.records() == QStringList{"MARTIN|148"} &&
                !QFile::exists(elsewhere.filePath("billard.mdb")));
        // The old board is destroyed once its handler is over; a fresh one stands idle.
        QTRY_VERIFY(first.isNull());
        Form1* board = shell.mainWindow();
        QVERIFY(board->isVisible() && board->findChild<QAction*>("npmn")->isVisible());
        QCOMPARE(board->centralWidget()->size(), QSize(792, 547));
        QCOMPARE(board->centralWidget()->y(), board->menuBar()->height()); // the board lies below the menu
        QCOMPARE(board->label(Label::Player)->text(), "JOUEUR : ");

        // The event loop ends by itself once the board is closed; the second timer only guards the test.
        QTimer::singleShot(0, board, &QWidget::close);
        QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(2); });
        QCOMPARE(QApplication::exec(), 0);
        QTRY_VERIFY(shell.mainWindow() == nullptr);
    }
};

QTEST_MAIN(ShellTest)
#include "shell_test.moc"
