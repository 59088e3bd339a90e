// The board window on the offscreen platform, driven with the mouse and the keyboard.

#include "app/resources/PalinorResources.h"
#include "ui/main/Form1.h"
#include "ui/main/Pictures.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QtTest>
#include <memory>

using namespace palinor;

namespace {

// Draws on a real Form1 and stands in for every other window.
class BoardHarness : public GameWindows {
public:
    GameState state;
    Game game{state, *this};
    std::unique_ptr<Form1> form = std::make_unique<Form1>(game);
    QStringList calls;
    // What Image1(0) showed when each message box opened.
    QList<int> discsLeftAtMessage;

    BoardHarness()
    {
        game.LoadBoard();
        form->show();
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
    }

    void drawBoard(const BoardView& board) override { form->drawBoard(board); }
    void showMessage(std::string_view text, MessageIcon) override
    {
        calls << QString::fromStdString(std::string(text));
        discsLeftAtMessage << pictureId(0) - 100;
    }
    void showSignUp() override
    {
        calls << "signup";
        state.PlayerName = "DUPONT";
    }
    void showScoreTable() override { calls << "scores"; }
    void loadAndUnloadScoreTable() override { calls << "scores load+unload"; }
    void setLabelCaption(Label label, std::string_view caption) override
    {
        form->setLabelCaption(label, QString::fromStdString(std::string(caption)));
    }
    void setLabelBackColor(Label label, Rgb color) override { form->setLabelBackColor(label, color); }
    void hideNewGameItem() override { form->hideNewGameItem(); }
    void unloadMainWindow() override { calls << "unload"; }
    void showMainWindow() override
    {
        calls << "show";
        form = std::make_unique<Form1>(game);
        game.LoadBoard();
        form->show();
    }

    int pictureId(int index) const { return form->image(index)->property("pictureId").toInt(); }
    QString caption(Label which) const { return form->label(which)->text(); }
    QColor color(Label which) const { return form->label(which)->palette().color(QPalette::Window); }
    QAction* action(const char* name, int index = -1) const
    {
        for (QAction* a : form->findChildren<QAction*>(QString::fromLatin1(name))) {
            if (index < 0 || a->property("index").toInt() == index) {
                return a;
            }
        }
        return nullptr;
    }
    void key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : form.get(), Qt::Key(key),
                        modifiers);
    }
    void clickPocket(int pocket) { QTest::mouseClick(form->pocketButton(pocket), Qt::LeftButton); }
    void clickLabel(Label which) { QTest::mouseClick(form->label(which), Qt::LeftButton); }
};

const QColor kOrange(255, 192, 128);
const QColor kRedColour(255, 0, 0);

} // namespace

class Form1Test : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { palinor_init_resources(); }

    void layoutFollowsTheDesign()
    {
        BoardHarness h;
        Form1& f = *h.form;
        QCOMPARE(f.windowTitle(), QStringLiteral("VERTALINE ET LE BILLARD HOLLANDAIS..."));
        QCOMPARE(f.centralWidget()->size(), QSize(792, 547));
        // Pockets stand 2, 3, 4, 1 from left to right; picture and button share a left edge.
        QCOMPARE(f.pocketButton(2)->geometry(), QRect(32, 112, 33, 33));
        QCOMPARE(f.pocketButton(1)->geometry(), QRect(176, 112, 33, 33));
        QCOMPARE(f.image(1)->geometry(), QRect(176, 56, 33, 33));
        QCOMPARE(f.image(0)->geometry(), QRect(152, 496, 49, 49));
        // The labels run past the frame's right edge, which clips them.
        QWidget* frame = f.findChild<QWidget*>("Frame1");
        QCOMPARE(frame->geometry(), QRect(232, 40, 545, 521));
        QCOMPARE(f.label(Label::Score)->geometry(), QRect(16, 344, 553, 73));
        QVERIFY(f.label(Label::Score)->geometry().right() > frame->rect().right());
        QCOMPARE(f.label(Label::Player)->font().family(), QStringLiteral("MS Sans Serif"));
        QCOMPARE(f.label(Label::Player)->font().pointSize(), 24);
        // Command2 lies wholly under the frame, which is above it.
        QVERIFY(frame->geometry().contains(f.newGameButton()->geometry()));
        const QObjectList& stack = f.centralWidget()->children();
        QVERIFY(stack.indexOf(frame) > stack.indexOf(f.newGameButton()));
        QVERIFY(stack.indexOf(f.pocketButton(4)) > stack.indexOf(f.findChild<QWidget*>("Shape1")));

        QStringList captions;
        QStringList shortcuts;
        for (QAction* a : f.findChild<QMenu*>("menumn")->actions()) {
            captions << a->text();
            shortcuts << a->shortcut().toString();
        }
        QCOMPARE(captions, (QStringList{"Nouvelle partie", "Tableau des scores", "Poche 1", "Poche 2",
                                        "Poche 3", "Poche 4", "Manche suivante", "Aide", "Annuler"}));
        QCOMPARE(shortcuts,
                 (QStringList{"Ctrl+N", "Ctrl+S", "F1", "F2", "F3", "F4", "Shift+F5", "Ctrl+F1", "Del"}));
    }

    void boardRightAfterStartUp()
    {
        BoardHarness h;
        for (int i = 1; i <= 4; ++i) {
            QCOMPARE(h.pictureId(i), 100);
        }
        QCOMPARE(h.pictureId(0), 130);
        QCOMPARE(h.form->image(0)->accessibleDescription(), QStringLiteral("Palets restants : 30"));
        QCOMPARE(h.caption(Label::Player), QStringLiteral("JOUEUR : "));
        QCOMPARE(h.caption(Label::Round1), QStringLiteral("MANCHE 1 : 0"));
        QCOMPARE(h.caption(Label::Round2), QStringLiteral("MANCHE 2 :"));
        QCOMPARE(h.caption(Label::Round3), QStringLiteral("MANCHE 3 :"));
        QCOMPARE(h.caption(Label::Score), QStringLiteral("SCORE : 0"));
        QCOMPARE(h.color(Label::Round1), kRedColour);
        QCOMPARE(h.color(Label::Round2), kOrange);
        QCOMPARE(h.color(Label::Score), kOrange);
        QVERIFY(!h.action("Annulermn")->isEnabled());
        QCOMPARE(QApplication::focusWidget(), h.form->newGameButton());
    }

    void oneDiscInPocketFour()
    {
        BoardHarness h;
        h.key(Qt::Key_Return);
        QCOMPARE(h.calls, QStringList{"signup"});
        QCOMPARE(h.caption(Label::Player), QStringLiteral("JOUEUR : DUPONT"));
        QVERIFY(!h.action("npmn")->isVisible());

        h.clickPocket(4);
        QCOMPARE(h.pictureId(4), 101);
        QCOMPARE(h.pictureId(0), 129);
        QCOMPARE(h.form->image(4)->accessibleDescription(), QStringLiteral("Poche 4 : 1 palet"));
        QCOMPARE(h.caption(Label::Round1), QStringLiteral("MANCHE 1 : 4"));
        QCOMPARE(h.caption(Label::Score), QStringLiteral("SCORE : 4"));
        QVERIFY(h.action("Annulermn")->isEnabled());
    }

    void advanceWithCountsThenUndo()
    {
        BoardHarness h;
        h.form->npmn_Click();
        for (int pocket : {1, 1, 1, 3, 3, 4, 4, 4, 4, 4}) {
            h.clickPocket(pocket);
        }
        h.clickLabel(Label::Round3); // not the next round: ignored
        QCOMPARE(h.state.CurrentRound, 1);
        h.clickLabel(Label::Round2);
        QCOMPARE(h.caption(Label::Round1), QStringLiteral("MANCHE 1 : 29"));
        QCOMPARE(h.color(Label::Round1), kOrange);
        QCOMPARE(h.caption(Label::Round2), QStringLiteral("MANCHE 2 : 29"));
        QCOMPARE(h.color(Label::Round2), kRedColour);
        QCOMPARE(h.caption(Label::Score), QStringLiteral("SCORE : 29"));
        QCOMPARE(h.pictureId(1), 103);
        QCOMPARE(h.pictureId(2), 100);
        QCOMPARE(h.pictureId(3), 102);
        QCOMPARE(h.pictureId(4), 105);
        QCOMPARE(h.pictureId(0), 120);

        h.key(Qt::Key_Delete);
        QCOMPARE(h.caption(Label::Round2), QStringLiteral("MANCHE 2 :"));
        QCOMPARE(h.color(Label::Round2), kOrange);
        QCOMPARE(h.color(Label::Round1), kRedColour);
        QCOMPARE(h.pictureId(4), 105);
        QCOMPARE(h.pictureId(0), 120);
        QVERIFY(!h.calls.contains("scores load+unload"));
    }

    void pocketKeysActByIndexNotByPosition()
    {
        BoardHarness h;
        h.form->npmn_Click();
        h.key(Qt::Key_F2);
        h.key(Qt::Key_F1);
        h.key(Qt::Key_F1);
        QCOMPARE(h.state.PocketCounts(1, 2), 1);
        QCOMPARE(h.state.PocketCounts(1, 1), 2);
        QCOMPARE(h.pictureId(2), 101); // the leftmost picture
        QCOMPARE(h.pictureId(1), 102); // the rightmost picture
        h.key(Qt::Key_F5, Qt::ShiftModifier);
        QCOMPARE(h.state.CurrentRound, 2);
    }

    void enterPressesTheFocusedPocketOrElseStartsANewGame()
    {
        BoardHarness h;
        h.form->npmn_Click();
        h.clickPocket(3);
        QCOMPARE(QApplication::focusWidget(), h.form->pocketButton(3));
        h.key(Qt::Key_Return);
        h.key(Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(h.state.PocketCounts(1, 3), 3);
        QCOMPARE(h.calls, QStringList{"signup"});

        h.form->newGameButton()->setFocus();
        h.key(Qt::Key_Return);
        QCOMPARE(h.calls, (QStringList{"signup", "signup"}));
        QCOMPARE(h.state.PocketCounts(1, 3), 3); // a new sign-up keeps the counts
    }

    void hiddenOrDisabledItemsIgnoreTheirShortcuts()
    {
        BoardHarness h;
        h.key(Qt::Key_Delete); // "Annuler" is disabled: no undo, no redraw
        h.form->npmn_Click();
        QCOMPARE(h.calls, QStringList{"signup"});
        h.key(Qt::Key_N, Qt::ControlModifier); // "Nouvelle partie" is hidden
        QCOMPARE(h.calls, QStringList{"signup"});
    }

    void refusedWithoutAPlayer()
    {
        BoardHarness h;
        h.clickPocket(1);
        h.clickLabel(Label::Round2);
        h.clickLabel(Label::Score);
        QCOMPARE(h.calls, (QStringList{"Pas de Partie en cours!", "Pas de Partie en cours!"}));
        QCOMPARE(h.state.MoveCount, 1);
    }

    void thirtiethDiscIsDrawnBeforeGameOver()
    {
        BoardHarness h;
        h.form->npmn_Click();
        for (int disc = 0; disc < 30; ++disc) {
            h.key(Qt::Key_F4);
        }
        QCOMPARE(h.calls, (QStringList{"signup", "GAME OVER", "scores", "unload", "show"}));
        QCOMPARE(h.discsLeftAtMessage, QList<int>{0});
        QCOMPARE(h.pictureId(0), 130);
        QVERIFY(h.action("npmn")->isVisible());
    }

    void everyPictureDecodes()
    {
        for (int id = 100; id <= 130; ++id) {
            const QPixmap picture = dominoPicture(id);
            QCOMPARE(picture.size(), QSize(25, 25));
            QCOMPARE(picture.toImage().pixelColor(0, 24), QColor(128, 64, 0));
        }
        QVERIFY(dominoPicture(99).isNull());
        QVERIFY(dominoPicture(131).isNull());
        QVERIFY(decodeDib(QByteArray("not a bitmap")).isNull());
        QFile stored(QStringLiteral(":/pictures/115.dib"));
        QVERIFY(stored.open(QIODevice::ReadOnly));
        const QByteArray dib = stored.readAll();
        QVERIFY(decodeDib(dib.left(dib.size() - 1)).isNull()); // one byte short of its pixels
        QByteArray huge = dib;
        huge[4] = '\xff'; // a width no picture of the program has
        QVERIFY(decodeDib(huge).isNull());
        for (int pips = 1; pips <= 4; ++pips) {
            QCOMPARE(dieFace(pips).size(), QSize(30, 30));
        }
    }
};

QTEST_MAIN(Form1Test)
#include "form1_test.moc"
