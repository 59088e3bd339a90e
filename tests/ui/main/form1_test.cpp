// The board window on the offscreen platform, driven with the mouse and the keyboard.

#include "app/resources/PalinorResources.h"
#include "tests/game/RecordingWindows.h"
#include "tests/ui/Contrast.h"
#include "ui/main/Form1.h"
#include "ui/main/Pictures.h"

#include <QtTest>
#include <QtWidgets>

using namespace palinor;

namespace {

using Text = std::string_view;

// The game's recording fake of the windows, drawing on a real Form1.
struct Board : testing::GameFixture {
    Form1 form{game};

    Board()
    {
        calls.clear(); // what the fake drew before the window stood
        game.LoadBoard();
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
    }
    // A message carries the board as it stood when the box opened.
    void showMessage(Text t, MessageIcon, Text said) override
    {
        record(std::string(t) + " " + qPrintable(shown()));
        spoken.emplace_back(said);
    }
    void announce(Text sentence) override
    {
        form.announce(QString::fromUtf8(sentence));
        spoken.emplace_back(sentence);
    }
    void drawBoard(const BoardView& view) override { form.drawBoard(view); }
    void setLabelCaption(Label l, Text t) override { form.setLabelCaption(l, QString::fromUtf8(t)); }
    void setLabelBackColor(Label l, Rgb color) override { form.setLabelBackColor(l, color); }
    void hideNewGameItem() override { form.hideNewGameItem(); }

    // Pictures 1..4 and 0 ("!" when another pixmap shows); the labels, marked "*" red, "~" light peach,
    // nothing light orange, "?" any other colour; whether "Annuler" is offered.
    QString shown() const
    {
        const QList<QColor> colours{QColor(255, 192, 128), Qt::red, QColor(255, 224, 192)};
        QStringList parts;
        for (int i : {1, 2, 3, 4, 0}) {
            const int id = form.image(i)->property("pictureId").toInt();
            parts << QString::number(id) +
                         (form.image(i)->pixmap().toImage() == dominoPicture(id).toImage() ? "" : "!");
        }
        for (int i = 0; i <= 4; ++i) {
            const QColor back = form.label(Label(i))->palette().color(QPalette::Window);
            parts << form.label(Label(i))->text() + QStringList{"?", "", "*", "~"}[colours.indexOf(back) + 1];
        }
        return parts.join(u'|') + (form.findChild<QAction*>("Annulermn")->isEnabled() ? "|undo" : "");
    }
    void key(int k, Qt::KeyboardModifiers m = {}) { QTest::keyClick(qApp->focusWidget(), Qt::Key(k), m); }
    void click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton); }
};

} // namespace

class Form1Test : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { palinor_init_resources(); }

    void layoutFollowsTheDesign()
    {
        Board b;
        QCOMPARE(b.form.centralWidget()->size(), QSize(792, 547));
        // Pockets stand 2, 3, 4, 1 from left to right; picture and button share a left edge.
        QCOMPARE(b.form.pocketButton(2)->geometry(), QRect(32, 112, 33, 33));
        QCOMPARE(b.form.pocketButton(1)->geometry(), QRect(176, 112, 33, 33));
        QCOMPARE(b.form.image(1)->geometry(), QRect(176, 56, 33, 33));
        QCOMPARE(b.form.image(0)->geometry(), QRect(152, 496, 49, 49));
        // The labels run past the right edge of the frame, which clips them.
        auto* frame = b.form.findChild<QWidget*>("Frame1");
        QCOMPARE(frame->geometry(), QRect(232, 40, 545, 521));
        QCOMPARE(b.form.label(Label::Score)->geometry(), QRect(16, 344, 553, 73));
        QCOMPARE(b.form.label(Label::Score)->parentWidget(), frame);
        // Command2 lies wholly under the frame; the pocket buttons lie above the board.
        QVERIFY(frame->geometry().contains(b.form.newGameButton()->geometry()));
        const QObjectList& stack = b.form.centralWidget()->children();
        QVERIFY(stack.indexOf(frame) > stack.indexOf(b.form.newGameButton()));
        QVERIFY(stack.indexOf(b.form.pocketButton(4)) > stack.indexOf(b.form.findChild<QWidget*>("Shape1")));
        QStringList menu;
        for (QAction* item : b.form.findChild<QMenu*>("menumn")->actions()) {
            menu << item->text() + "=" + item->shortcut().toString();
        }
        QCOMPARE(menu.join(','), "Nouvelle partie=Ctrl+N,Tableau des scores=Ctrl+S,Poche 1=F1,Poche 2=F2,"
                                 "Poche 3=F3,Poche 4=F4,Manche suivante=Shift+F5,Aide=Ctrl+F1,Annuler=Del");
    }

    void panelIsFlatLightOrangeInsideItsEdge()
    {
        Board b;
        QWidget* client = b.form.centralWidget();
        const QImage shot = client->grab().toImage();
        auto* frame = b.form.findChild<QWidget*>("Frame1");
        // Within a two-pixel edge; the frame runs below the client area.
        const QRect inside = frame->geometry().adjusted(2, 2, -2, -2) & shot.rect();
        // Each label is flat in its own colour (round 1 is red) but for its text.
        struct Area {
            QRect label, text;
            QColor ground;
        };
        QList<Area> labels;
        for (int i = 0; i <= 4; ++i) {
            const QLabel* label = b.form.label(Label(i));
            const QPoint at = label->mapTo(client, QPoint(0, 0));
            const QSize text(label->fontMetrics().horizontalAdvance(label->text()),
                             label->fontMetrics().height());
            labels << Area{QRect(at, label->size()), QRect(at, text).adjusted(-2, -2, 2, 2),
                           label->palette().color(QPalette::Window)};
        }
        QStringList stray;
        for (int y = inside.top(); y <= inside.bottom(); ++y) {
            for (int x = inside.left(); x <= inside.right(); ++x) {
                QColor expected(255, 192, 128);
                bool text = false;
                for (const Area& a : labels) {
                    if (a.label.contains(x, y)) {
                        expected = a.ground;
                        text = a.text.contains(x, y);
                    }
                }
                if (!text && shot.pixelColor(x, y) != expected && stray.size() < 5) {
                    stray << QStringLiteral("(%1,%2) %3").arg(x).arg(y).arg(shot.pixelColor(x, y).name());
                }
            }
        }
        QCOMPARE(stray, QStringList());
    }

    void everyGroundKeepsReadableTextUnderADarkTheme()
    {
        testing::DarkTheme dark;
        Board b;
        QCOMPARE(testing::unreadableIn(b.form.centralWidget()), QStringList());
        // The colours a game gives the round labels: light orange, red, light peach.
        for (const QColor& ground : {QColor(255, 192, 128), QColor(255, 0, 0), QColor(255, 224, 192)}) {
            b.form.setLabelBackColor(Label::Round2,
                                     Rgb{Byte(ground.red()), Byte(ground.green()), Byte(ground.blue())});
            QCOMPARE(b.form.label(Label::Round2)->palette().color(QPalette::Window), ground);
            QCOMPARE(testing::unreadable(b.form.label(Label::Round2)), QStringList());
        }
    }

    void startUpOneDiscAnAdvanceWithCountsAndItsUndo()
    {
        Board b;
        QSignalSpy undone(b.form.findChild<QAction*>("Annulermn"), &QAction::triggered);
        QCOMPARE(b.shown(), "100|100|100|100|130|JOUEUR : |MANCHE 1 : 0*|MANCHE 2 :|MANCHE 3 :|SCORE : 0");
        b.key(Qt::Key_Delete);                 // "Annuler" is disabled
        b.key(Qt::Key_Return);                 // the focus starts on the hidden Command2
        b.key(Qt::Key_N, Qt::ControlModifier); // "Nouvelle partie" is hidden now
        b.click(b.form.pocketButton(4));
        QCOMPARE(b.shown(),
                 "100|100|100|101|129|JOUEUR : DUPONT|MANCHE 1 : 4*|MANCHE 2 :|MANCHE 3 :|SCORE : 4|undo");
        for (int pocket : {1, 1, 1, 3, 3, 4, 4, 4, 4}) {
            b.click(b.form.pocketButton(pocket));
        }
        b.click(b.form.label(Label::Round3)); // not the next round: ignored
        QCOMPARE(b.state.CurrentRound, 1);
        b.click(b.form.label(Label::Round2));
        QCOMPARE(
            b.shown(),
            "103|100|102|105|120|JOUEUR : DUPONT|MANCHE 1 : 29|MANCHE 2 : 29*|MANCHE 3 :|SCORE : 29|undo");
        QCOMPARE(undone.count(), 0);
        b.key(Qt::Key_Delete);
        QCOMPARE(b.shown(),
                 "103|100|102|105|120|JOUEUR : DUPONT|MANCHE 1 : 29*|MANCHE 2 :|MANCHE 3 :|SCORE : 29|undo");
        QCOMPARE(QString::fromStdString(b.calls), "signup; ");
    }

    void keysAndEnterPlayAGameUntilTheThirtiethDiscIsDrawnBeforeGameOver()
    {
        Board b;
        b.form.npmn_Click();
        for (int key : {Qt::Key_F2, Qt::Key_F1, Qt::Key_F1}) {
            b.key(key); // by index, not by place from the left
        }
        b.click(b.form.pocketButton(3));
        b.key(Qt::Key_Return); // presses the focused pocket button
        b.key(Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(b.shown().left(15), "102|101|103|100");
        b.form.newGameButton()->setFocus();
        b.key(Qt::Key_Return); // a new sign-up, which keeps the counts
        b.key(Qt::Key_F5, Qt::ShiftModifier);
        for (int disc = 0; disc < 24; ++disc) {
            b.key(Qt::Key_F4);
        }
        QCOMPARE(QString::fromStdString(b.calls),
                 "signup; signup; GAME OVER 102|101|103|124|100|JOUEUR : DUPONT|MANCHE 1 : 13~|"
                 "MANCHE 2 : 119~|MANCHE 3 :~|SCORE : 119*|undo; scores modal; unload Form1; show Form1; ");
    }

    void aScreenReaderHearsEachCommandFromTheButtonThatHoldsTheFocus()
    {
        Board b;
        const auto said = [](QObject* object, QAccessible::Text text = QAccessible::Description) {
            return QAccessible::queryAccessibleInterface(object)->text(text);
        };
        QCOMPARE(said(b.form.newGameButton()),
                 "Aucune partie en cours. Appuyez sur Entrée pour commencer une partie.");
        b.key(Qt::Key_F1);
        QCOMPARE(said(b.form.newGameButton()),
                 "Pas de Partie en cours! Appuyez sur Entrée pour commencer une partie.");
        b.key(Qt::Key_Return);
        b.click(b.form.pocketButton(2)); // the focus goes with the click
        QCOMPARE(said(b.form.pocketButton(2)), "Poche 2 : 1 palet. Manche 1 : 2 points. 29 palets restants.");
        QCOMPARE(said(b.form.newGameButton()), ""); // reached by Tab later, it says no old result
        QCOMPARE(said(b.form.label(Label::Round1)), "manche en cours");
        b.key(Qt::Key_F5, Qt::ShiftModifier);
        QCOMPARE(said(b.form.pocketButton(2)), "Manche 2. Score : 2.");
        QCOMPARE(said(b.form.label(Label::Round1)) + "|" + said(b.form.label(Label::Round2)),
                 "|manche en cours");
        QCOMPARE(said(b.form.label(Label::Round2), QAccessible::Name), "MANCHE 2 : 2");

        // What has nothing to say still has a name: no object of the board is read as a blank.
        QStringList unnamed;
        for (QWidget* widget : b.form.centralWidget()->findChildren<QWidget*>()) {
            if (said(widget, QAccessible::Name).isEmpty()) {
                unnamed << widget->objectName();
            }
        }
        QCOMPARE(unnamed, QStringList());
        QCOMPARE(said(b.form.findChild<QWidget*>("Shape5"), QAccessible::Name), "Contour de la poche 1");
    }

    void picturesDecodeAndBadBitmapsAreRefused()
    {
        for (int id = 100; id <= 130; ++id) {
            QCOMPARE(dominoPicture(id).size(), QSize(25, 25));
            QCOMPARE(dominoPicture(id).toImage().pixelColor(0, 24), QColor(128, 64, 0));
        }
        QVERIFY(dominoPicture(99).isNull() && dominoPicture(131).isNull() &&
                decodeDib("not a bitmap").isNull());
        QFile stored(":/pictures/115.dib");
        QVERIFY(stored.open(QIODevice::ReadOnly));
        QByteArray dib = stored.readAll();
        QVERIFY(decodeDib(dib.chopped(1)).isNull()); // one byte short of its pixels
        dib[4] = '\xff';                             // a width no picture of the program has
        QVERIFY(decodeDib(dib).isNull());
        QCOMPARE(dieFace(4).size(), QSize(30, 30));
    }
};

QTEST_MAIN(Form1Test)
#include "form1_test.moc"
