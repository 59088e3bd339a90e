#include "ui/main/Form1.h"

#include "game/Plural.h"
#include "ui/main/BoardWidgets.h"
#include "ui/main/Form1Design.h"
#include "ui/main/PanelFrame.h"
#include "ui/main/Pictures.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLayout>
#include <QMenuBar>
#include <QPushButton>
#include <QWindow>

namespace palinor {

namespace {

constexpr QColor toQColor(Rgb c)
{
    return QColor(c.red, c.green, c.blue);
}

QString toQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Members of a control array share their name and carry their index.
template <typename Widget> Widget* named(Widget* widget, const char* name, int index = -1)
{
    widget->setObjectName(QString::fromLatin1(name));
    if (index >= 0) {
        widget->setProperty("index", index);
    }
    return widget;
}

QString pocketDescription(int pocket, int pictureId)
{
    const int discs = pictureId - kFirstPictureId;
    return QStringLiteral("Poche %1 : %2").arg(pocket).arg(QString::fromStdString(counted(discs, "palet")));
}

// Qt tells a screen reader of every description set, changed or not: only a change is set.
void describe(QWidget* widget, const QString& description)
{
    if (widget->accessibleDescription() != description) {
        widget->setAccessibleDescription(description);
    }
}

// What a label's ground tells a sighted player, in words.
QString groundMeaning(Label label, Rgb ground)
{
    if (ground == board::kRed) {
        return label == Label::Score ? QStringLiteral("score final") : QStringLiteral("manche en cours");
    }
    return ground == board::kLightPeach ? QStringLiteral("partie terminée") : QString();
}

} // namespace

Form1::Form1(Game& game, QWidget* parent) : QMainWindow(parent), game_(game)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(toQString(board::kCaption));

    auto* client = new QWidget(this);
    client->setAccessibleName(QStringLiteral("Billard"));
    client->setFixedSize(form1::toPixels(form1::kClientArea).size());
    design::setGround(client, toQColor(board::kBoardBrown), toQColor(board::kTextOnDark));
    setCentralWidget(client);

    // Siblings stack in creation order: the bottom of the design's stacking comes first.
    buildBoard(client);
    buildPanel(client);
    for (int i = 1; i <= kPockets; ++i) {
        auto* button = named(new QPushButton(client), "Command1", i);
        button->setGeometry(form1::toPixels(form1::kCommand1[i]));
        button->setIcon(dieFaceIcon(i));
        button->setIconSize(QSize(30, 30));
        button->setAccessibleName(QStringLiteral("Poche %1").arg(i));
        connect(button, &QPushButton::clicked, this, [this, i] { Command1_Click(i); });
        Command1_[i] = button;
    }
    QWidget::setTabOrder(Command2_, Command1_[1]);
    for (int i = 1; i < kPockets; ++i) {
        QWidget::setTabOrder(Command1_[i], Command1_[i + 1]);
    }
    buildMenu();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    Command2_->setFocus();
}

void Form1::buildBoard(QWidget* client)
{
    auto* shape1 = named(new OutlineShape(client, toQColor(board::kBoardBrown)), "Shape1");
    shape1->setGeometry(form1::toPixels(form1::kShapes[1]));
    shape1->setAccessibleName(QStringLiteral("Plateau"));
    // From left to right the pocket outlines hold pockets 2, 3, 4 and 1.
    static constexpr int kPocketOfShape[6] = {0, 0, 2, 3, 4, 1};
    for (int i = 2; i <= 5; ++i) {
        auto* pocket = new OutlineShape(client);
        pocket->setObjectName(QStringLiteral("Shape%1").arg(i));
        pocket->setGeometry(form1::toPixels(form1::kShapes[i]));
        pocket->setAccessibleName(QStringLiteral("Contour de la poche %1").arg(kPocketOfShape[i]));
    }
    auto* line = named(new QWidget(client), "Line1");
    line->setAccessibleName(QStringLiteral("Ligne de départ"));
    line->setGeometry(form1::toPixels(form1::kLine1));
    design::setGround(line, toQColor(board::kLine), toQColor(board::kTextOnDark));

    for (int i : {1, 2, 3, 4, 0}) {
        auto* picture = named(new QLabel(client), "Image1", i);
        picture->setGeometry(form1::toPixels(form1::kImage1[i]));
        picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        picture->setAccessibleName(i == 0 ? QStringLiteral("Palets restants")
                                          : QStringLiteral("Poche %1").arg(i));
        Image1_[i] = picture;
    }
}

void Form1::buildPanel(QWidget* client)
{
    // Under the frame, never seen: the Enter key reaches it as the window's default button.
    Command2_ = named(new QPushButton(toQString(board::kNewGameButton), client), "Command2");
    Command2_->setGeometry(form1::toPixels(form1::kCommand2));
    Command2_->setAccessibleName(QStringLiteral("Nouvelle partie"));
    connect(Command2_, &QPushButton::clicked, this, &Form1::Command2_Click);

    Frame1_ = named(new PanelFrame(client), "Frame1");
    Frame1_->setGeometry(form1::toPixels(form1::kFrame1));
    Frame1_->setFocusPolicy(Qt::NoFocus);
    Frame1_->setAccessibleName(QStringLiteral("Marque"));
    design::setGround(Frame1_, toQColor(board::kLightOrange), toQColor(board::kTextOnLight));

    // Asked through the program's registered stand-in, so that no search is made for a font the system lacks.
    const QFont font(QFont::substitute(QString::fromLatin1(kLabelFontFamily)), kLabelFontPoints);
    auto makeLabel = [&](const form1::Twips& where, const QString& caption) {
        auto* label = new ClickableLabel(caption, Frame1_);
        label->setTextFormat(Qt::PlainText); // the player's name is shown as typed, never as markup
        label->setGeometry(form1::toPixels(where));
        label->setFont(font);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        design::setGround(label, toQColor(board::kLightOrange), toQColor(board::kTextOnLight));
        return label;
    };
    for (int i = 4; i >= 1; --i) {
        Label2_[i] =
            named(makeLabel(form1::kLabel2[i], i == 4 ? toQString(board::kScoreCaption)
                                                      : QString::fromStdString(designRoundCaption(i))),
                  "Label2", i);
        connect(Label2_[i], &ClickableLabel::clicked, this, [this, i] { Label2_Click(i); });
    }
    Label1_ = named(makeLabel(form1::kLabel1, toQString(board::kPlayerCaption)), "Label1");
}

void Form1::buildMenu()
{
    menumn_ = named(menuBar()->addMenu(toQString(board::kMenu)), "menumn");
    auto addItem = [this](std::string_view caption, const QKeySequence& shortcut, const char* name,
                          int index = -1) {
        QAction* action = named(menumn_->addAction(toQString(caption)), name, index);
        action->setShortcut(shortcut);
        return action;
    };
    npmn_ = addItem(board::kNewGameItem, QKeySequence(Qt::CTRL | Qt::Key_N), "npmn");
    connect(npmn_, &QAction::triggered, this, &Form1::npmn_Click);
    tsmn_ = addItem(board::kScoreTableItem, QKeySequence(Qt::CTRL | Qt::Key_S), "tsmn");
    connect(tsmn_, &QAction::triggered, this, &Form1::scoreTableRequested);
    static constexpr Qt::Key kPocketKeys[5] = {Qt::Key_unknown, Qt::Key_F1, Qt::Key_F2, Qt::Key_F3,
                                               Qt::Key_F4};
    for (int i = 1; i <= kPockets; ++i) {
        pmn_[i] = addItem(board::kPocketItems.at(static_cast<std::size_t>(i)), QKeySequence(kPocketKeys[i]),
                          "pmn", i);
        connect(pmn_[i], &QAction::triggered, this, [this, i] { Command1_Click(i); });
    }
    msmn_ = addItem(board::kNextRoundItem, QKeySequence(Qt::SHIFT | Qt::Key_F5), "msmn");
    connect(msmn_, &QAction::triggered, this, [this] { Label2_Click(game_.state().CurrentRound + 1); });
    aidemn_ = addItem(board::kHelpItem, QKeySequence(Qt::CTRL | Qt::Key_F1), "aidemn");
    connect(aidemn_, &QAction::triggered, this, &Form1::helpRequested);
    Annulermn_ = addItem(board::kUndoItem, QKeySequence(Qt::Key_Delete), "Annulermn");
    connect(Annulermn_, &QAction::triggered, this, &Form1::Annulermn_Click);
}

template <typename Action> void Form1::run(Action action)
{
    try {
        action();
    } catch (const LimitError& error) {
        game_.windows().showMessage(std::string("Le décompte de la partie est sorti de ses limites : ") +
                                        error.what(),
                                    MessageIcon::Critical, {});
    }
}

void Form1::Command1_Click(int index)
{
    run([&] { game_.RecordDisc(index); });
}

void Form1::Label2_Click(int index)
{
    run([&] { game_.AdvanceRound(index); });
}

void Form1::npmn_Click()
{
    run([&] { game_.StartNewGame(); });
}

void Form1::Command2_Click()
{
    npmn_Click();
}

void Form1::Annulermn_Click()
{
    run([&] { game_.UndoLastMove(); });
}

void Form1::keyPressEvent(QKeyEvent* event)
{
    // The window's default-button rule: Enter presses the focused push button, or else Command2.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        (event->modifiers() & ~Qt::KeyboardModifiers(Qt::KeypadModifier)) == Qt::NoModifier) {
        auto* focused = qobject_cast<QPushButton*>(QApplication::focusWidget());
        (focused != nullptr && isAncestorOf(focused) ? focused : Command2_)->click();
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void Form1::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!followsScreen_ && windowHandle() != nullptr) {
        followsScreen_ = true;
        connect(windowHandle(), &QWindow::screenChanged, this, [this] {
            for (int i = 0; i <= kPockets; ++i) {
                if (const QVariant shown = Image1_[i]->property("pictureId"); shown.isValid()) {
                    showPicture(i, shown.toInt());
                }
            }
        });
    }
}

QLabel* Form1::label(Label which) const
{
    return which == Label::Player ? Label1_ : Label2_.at(static_cast<std::size_t>(which));
}

void Form1::drawBoard(const BoardView& board)
{
    Annulermn_->setEnabled(board.undoEnabled);
    for (int i = 1; i <= kPockets; ++i) {
        showPicture(i, board.pictureIds[i]);
        describe(Image1_[i], pocketDescription(i, board.pictureIds[i]));
        setLabelBackColor(Label2(i), board.label2Colors[i]);
    }
    showPicture(0, board.pictureIds[0]);
    describe(Image1_[0], QStringLiteral("Palets restants : %1").arg(board.pictureIds[0] - kFirstPictureId));
    setLabelCaption(Label2(board.captionedRound), QString::fromStdString(board.roundCaption));
    setLabelCaption(Label::Score, QString::fromStdString(board.scoreCaption));
}

void Form1::showPicture(int index, int pictureId)
{
    QLabel* picture = Image1_.at(static_cast<std::size_t>(index));
    picture->setPixmap(dominoPicture(pictureId, picture->devicePixelRatioF()));
    // Kept beside the pixmap so that tests and tools can tell which picture is shown.
    picture->setProperty("pictureId", pictureId);
}

void Form1::setLabelCaption(Label which, const QString& caption)
{
    label(which)->setText(caption);
}

void Form1::setLabelBackColor(Label which, Rgb color)
{
    design::setGround(label(which), toQColor(color), toQColor(board::kTextOnLight));
    describe(label(which), groundMeaning(which, color));
}

void Form1::hideNewGameItem()
{
    npmn_->setVisible(false);
}

void Form1::announce(const QString& sentence)
{
    // The focus is on the hidden default button, or on a pocket button once one has been pressed.
    QWidget* holder = Command2_;
    for (int i = 1; i <= kPockets; ++i) {
        if (focusWidget() == Command1_[i]) {
            holder = Command1_[i];
        }
    }
    // A button reached later by Tab says its own name, not an old result.
    for (QPushButton* button : {Command2_, Command1_[1], Command1_[2], Command1_[3], Command1_[4]}) {
        if (button != holder) {
            describe(button, QString());
        }
    }
    // Sent with its change event even when the sentence is the same as the last: it is said again.
    holder->setAccessibleDescription(sentence);
}

} // namespace palinor
