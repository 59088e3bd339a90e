#include "app/WindowShell.h"

#include "ui/help/Aide.h"
#include "ui/main/Form1.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QScreen>

namespace palinor {

WindowShell::WindowShell(GameState& state) : state_(state), game_(state, *this) {}

WindowShell::~WindowShell()
{
    delete form1_.data();
}

void WindowShell::drawBoard(const BoardView& board)
{
    if (form1_) {
        form1_->drawBoard(board);
    }
}

void WindowShell::showMessage(std::string_view text, MessageIcon icon)
{
    QMessageBox box(icon == MessageIcon::Critical ? QMessageBox::Critical : QMessageBox::NoIcon,
                    QApplication::applicationDisplayName(),
                    QString::fromUtf8(text.data(), qsizetype(text.size())), QMessageBox::Ok, form1_);
    box.exec();
}

void WindowShell::showSignUp()
{
    // Stand-in until the sign-up window exists: a plain name prompt, nothing registered.
    bool accepted = false;
    const QString name =
        QInputDialog::getText(form1_, QStringLiteral("Inscription"), QStringLiteral("Nom du joueur :"),
                              QLineEdit::Normal, QString(), &accepted)
            .trimmed()
            .toUpper();
    if (accepted && !name.isEmpty()) {
        state_.PlayerName = name.toStdString();
    }
}

void WindowShell::showScoreTable()
{
    // Stand-in until the score table exists: no score is stored yet.
}

void WindowShell::loadAndUnloadScoreTable()
{
    // Stand-in until the score table exists: the forced store does nothing yet.
}

void WindowShell::showHelp()
{
    Aide aide(form1_);
    aide.exec();
}

void WindowShell::setLabelCaption(Label label, std::string_view caption)
{
    if (form1_) {
        form1_->setLabelCaption(label, QString::fromUtf8(caption.data(), qsizetype(caption.size())));
    }
}

void WindowShell::setLabelBackColor(Label label, Rgb color)
{
    if (form1_) {
        form1_->setLabelBackColor(label, color);
    }
}

void WindowShell::hideNewGameItem()
{
    if (form1_) {
        form1_->hideNewGameItem();
    }
}

void WindowShell::unloadMainWindow()
{
    if (!form1_) {
        return;
    }
    // The game ends inside one of this window's own handlers: it is destroyed once that handler is over.
    form1_->hide();
    form1_->deleteLater();
    form1_ = nullptr;
}

void WindowShell::showMainWindow()
{
    if (form1_) {
        return;
    }
    form1_ = new Form1(game_);
    form1_->setAttribute(Qt::WA_DeleteOnClose);
    connect(form1_, &Form1::scoreTableRequested, this, &WindowShell::showScoreTable);
    connect(form1_, &Form1::helpRequested, this, &WindowShell::showHelp);
    game_.LoadBoard();
    form1_->adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = form1_->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        form1_->move(frame.topLeft());
    }
    form1_->show();
}

} // namespace palinor
