// The program's windows together: the shell opens each for the game, and builds the board anew after it.

#include "app/Application.h"
#include "app/StartUp.h"
#include "app/WindowShell.h"
#include "tests/ui/WindowTesting.h"
#include "ui/scores/scorefrm.h"
#include "ui/signup/inscription.h"

#include <QtTest>
#include <QtWidgets>

using namespace palinor;

class ShellTest : public QObject {
    Q_OBJECT

private slots:
    void applicationIdentityAndStartUp()
    {
        setUpApplication(*qApp);
        QVERIFY(QApplication::applicationName() == "Palinor" && QApplication::applicationVersion() == "1.00");
        QVERIFY(QLocale().language() == QLocale::French && !QApplication::windowIcon().isNull());
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Annuler");
        QCOMPARE(QFontInfo(QFont("MS Sans Serif", 24)).family(), kSansSubstitute);
        QCOMPARE(QFontInfo(QFont("Garamond")).family(), kGaramondSubstitute);
        // The scores' figures stand as tall as a capital: « 000 » never reads as « ooo ».
        const QFontMetrics garamond(QFont("Garamond", 26));
        QVERIFY(garamond.tightBoundingRect("0").height() >=
                garamond.tightBoundingRect("H").height() * 9 / 10);
        // A display that works but a failure of another kind is not told as a missing display.
        QCOMPARE(startUpFailureLine("QFontDatabase: no font could be found\nmore", false),
                 "Palinor : le programme n'a pas pu démarrer (Qt indique : « QFontDatabase: no font could be "
                 "found »).");
    }

    void aWholeGameThroughEveryWindowWhereverTheProgramStarted()
    {
        // Every modal window is answered from a timer as a user would, so that each flow through exec() goes
        // on.
        QStringList seen, ranking;
        QTimer answering;
        answering.callOnTimeout([&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == nullptr || !modal->isVisible()) {
                return;
            }
            seen << modal->windowTitle().trimmed();
            auto* table = qobject_cast<scorefrm*>(modal);
            ranking = table != nullptr ? table->ranking() : ranking;
            auto* signUp = qobject_cast<inscription*>(modal);
            if (signUp != nullptr) {
                signUp->text()->setText("  martin ");
            }
            QTest::keyClick(modal, signUp != nullptr ? Qt::Key_Return : Qt::Key_Escape);
        });
        answering.start(5);
        testing::ScoreFile file;
        QTemporaryDir elsewhere;
        QDir::setCurrent(elsewhere.path());
        GameState state;
        testing::ScriptedMessageBoxes boxes;
        const DbError noFolder{DbError::Kind::NoDataFolder, "Pas de dossier"};
        WindowShell shell(
            state, boxes,
            [&] {
                return DatabaseLocation{file.path, noFolder};
            },
            testing::kShortWaits);
        shell.showMainWindow();
        QPointer<Form1> first = shell.mainWindow();
        QTest::mouseClick(first->pocketButton(1), Qt::LeftButton);
        first->Command2_Click();
        for (int pocket : {4, 4, 4}) {
            first->Command1_Click(pocket);
        }
        first->findChild<QAction*>("tsmn")->trigger();
        QCOMPARE(ranking, QStringList{"  N°   1     \u2068MARTIN\u2069 (012)"});
        first->Annulermn_Click(); // the table's load, unseen: the player had no best before this game
        QCOMPARE(file.records(), QStringList{"MARTIN|8"});
        for (int disc = 0; disc < 28; ++disc) {
            first->Command1_Click(disc % 4 + 1);
        }
        QDir::setCurrent(QCoreApplication::applicationDirPath());
        QCOMPARE(seen, (QStringList{"Inscription", "Tableau des scores", "Tableau des scores"}));
        QCOMPARE(boxes.told, (QStringList{"Pas de Partie en cours!", "Pas de dossier", "GAME OVER"}));
        using Icon = MessageBoxes::Icon;
        QCOMPARE(boxes.icons, (QList{Icon::Critical, Icon::Warning, Icon::None}));
        QCOMPARE(ranking, QStringList{"  N°   1     \u2068MARTIN\u2069 (148)"});
        QVERIFY(file.records() == QStringList{"MARTIN|148"} &&
                !QFile::exists(elsewhere.filePath("billard.mdb")));
        // The old board is destroyed once its handler is over; a fresh one stands idle, and closing it ends
        // the event loop by itself (the second timer only guards the test).
        QTRY_VERIFY(first.isNull());
        QCOMPARE(shell.mainWindow()->label(Label::Player)->text(), "JOUEUR : ");
        QTimer::singleShot(0, shell.mainWindow(), &QWidget::close);
        QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(2); });
        QCOMPARE(QApplication::exec(), 0);
        QTRY_VERIFY(shell.mainWindow() == nullptr);
    }
};

QTEST_MAIN(ShellTest)
#include "shell_test.moc"
