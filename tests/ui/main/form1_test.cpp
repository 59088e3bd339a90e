// The board window, offscreen: its keys, clicks and menu reach the game, and it shows what the game computes.

#include "app/resources/PalinorResources.h"
#include "tests/game/RecordingWindows.h"
#include "ui/main/Form1.h"
#include "ui/main/Pictures.h"

#include <QtTest>
#include <QtWidgets>

using namespace palinor;

namespace {

constexpr QColor kLightOrange(255, 192, 128);

// The game's recording fake of the windows, drawing on a real Form1.
struct Board : testing::GameFixture {
    Form1 form{game};

    Board()
    {
        QObject::connect(&form, &Form1::scoreTableRequested, [this] { record("table"); });
        QObject::connect(&form, &Form1::helpRequested, [this] { record("help"); });
        calls.clear(); // what the fake drew before the window stood
        game.LoadBoard();
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
    }
    void announce(std::string_view sentence) override { form.announce(QString::fromUtf8(sentence)); }
    void drawBoard(const BoardView& view) override { form.drawBoard(view); }
    void setLabelCaption(Label l, std::string_view t) override
    {
        form.setLabelCaption(l, QString::fromUtf8(t));
    }
    void setLabelBackColor(Label l, Rgb color) override { form.setLabelBackColor(l, color); }
    void hideNewGameItem() override { form.hideNewGameItem(); }

    // Pictures 1..4 and 0 ("!" when another picture shows); the labels, "*" on red, "?" on any colour but
    // light orange; "undo" while "Annuler" is offered.
    QString shown() const
    {
        QStringList parts;
        for (int i : {1, 2, 3, 4, 0}) {
            const int id = form.image(i)->property("pictureId").toInt();
            parts << QString::number(id) +
                         (form.image(i)->pixmap().toImage() == dominoPicture(id).toImage() ? "" : "!");
        }
        for (int i = 0; i <= 4; ++i) {
            const QColor back = form.label(Label(i))->palette().color(QPalette::Window);
            parts << form.label(Label(i))->text() + (back == Qt::red ? "*" : back == kLightOrange ? "" : "?");
        }
        return parts.join(u'|') + (form.findChild<QAction*>("Annulermn")->isEnabled() ? "|undo" : "");
    }
    void key(int k, Qt::KeyboardModifiers m = {}) { QTest::keyClick(qApp->focusWidget(), Qt::Key(k), m); }
    void click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton); }
    static QString said(QObject* object, QAccessible::Text text = QAccessible::Description)
    {
        return QAccessible::queryAccessibleInterface(object)->text(text);
    }
};

} // namespace

class Form1Test : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { palinor_init_resources(); }

    void keysClicksAndTheMenuReachTheGameAndTheBoardShowsWhatItComputes()
    {
        Board b;
        QCOMPARE(b.shown(), "100|100|100|100|130|JOUEUR : |MANCHE 1 : 0*|MANCHE 2 :|MANCHE 3 :|SCORE : 0");
        QCOMPARE(b.form.label(Label::Player)->textFormat(), Qt::PlainText); // a name is never read as markup
        b.key(Qt::Key_Return);                 // the focus starts on the hidden Command2
        b.key(Qt::Key_N, Qt::ControlModifier); // "Nouvelle partie" is hidden now
        b.click(b.form.pocketButton(4));
        QCOMPARE(b.shown(), "100|100|100|101|129|JOUEUR : \u2068DUPONT\u2069|"
                            "MANCHE 1 : 4*|MANCHE 2 :|MANCHE 3 :|SCORE : 4|undo");
        for (int key : {Qt::Key_F2, Qt::Key_F1, Qt::Key_F1, Qt::Key_F3}) {
            b.key(key); // by index, not by place from the left
        }
        b.key(Qt::Key_Return); // presses the focused pocket button
        b.key(Qt::Key_Enter, Qt::KeypadModifier);
        b.click(b.form.label(Label::Round3)); // not the next round: ignored
        b.click(b.form.label(Label::Round2));
        QCOMPARE(b.shown(), "102|101|101|103|123|JOUEUR : \u2068DUPONT\u2069|"
                            "MANCHE 1 : 29|MANCHE 2 : 29*|MANCHE 3 :|SCORE : 29|undo");
        b.key(Qt::Key_Delete);
        QVERIFY(b.shown().contains("|MANCHE 1 : 29*|MANCHE 2 :|"));
        b.key(Qt::Key_F5, Qt::ShiftModifier);
        QVERIFY(b.shown().contains("|MANCHE 1 : 29|MANCHE 2 : 29*|"));
        b.key(Qt::Key_S, Qt::ControlModifier);
        b.key(Qt::Key_F1, Qt::ControlModifier);
        QCOMPARE(QString::fromStdString(b.calls), "signup; table; help; ");
    }

    void theBoardIsReadByEyeAndByEar()
    {
        Board b;
        QVERIFY(b.said(b.form.newGameButton()).startsWith("Aucune partie en cours."));
        b.key(Qt::Key_Return);
        b.click(b.form.pocketButton(2)); // the focus goes with the click, and the sentence with the focus
        b.click(b.form.pocketButton(2));
        QVERIFY(b.said(b.form.pocketButton(2)).startsWith("Poche 2 : 2 palets.") &&
                b.said(b.form.newGameButton()).isEmpty());
        b.form.setLabelBackColor(Label::Score, board::kRed);
        b.form.setLabelBackColor(Label::Round2, board::kLightPeach);
        QStringList heard; // the pictures' counts, and each label's ground in words
        for (QWidget* w :
             {b.form.image(2), b.form.image(1), b.form.image(0), b.form.label(Label::Round1),
              b.form.label(Label::Score), b.form.label(Label::Round2), b.form.label(Label::Round3)}) {
            heard << b.said(w);
        }
        QCOMPARE(heard.join(", "),
                 "Poche 2 : 2 palets, Poche 1 : 0 palet, Palets restants : 28, manche en cours, "
                 "score final, partie terminée, ");
        QStringList unnamed;
        for (QWidget* widget : b.form.centralWidget()->findChildren<QWidget*>()) {
            if (b.said(widget, QAccessible::Name).isEmpty()) {
                unnamed << widget->objectName();
            }
        }
        QCOMPARE(unnamed, QStringList());
        QCOMPARE(b.said(b.form.image(0), QAccessible::Name) + b.said(b.form.image(2), QAccessible::Name),
                 "Palets restantsPoche 2");
        // Guards a fault: the style, not the panel's colour, filled the frame.
        QWidget* frame = b.form.findChild<QWidget*>("Frame1");
        const QImage shot = frame->grab().toImage();
        const QRect player = b.form.label(Label::Player)->geometry(),
                    round1 = b.form.label(Label::Round1)->geometry();
        // Between two labels, and at the clipped right end of the red one, far from its text.
        QCOMPARE(shot.pixelColor(player.center().x(), (player.bottom() + round1.top()) / 2), kLightOrange);
        QCOMPARE(shot.pixelColor(frame->width() - 10, round1.center().y()), QColor(Qt::red));
    }
};

QTEST_MAIN(Form1Test)
#include "form1_test.moc"
