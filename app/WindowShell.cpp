#include "app/WindowShell.h"

#include "ui/help/Aide.h"
#include "ui/main/Form1.h"
#include "ui/scores/scorefrm.h"
#include "ui/signup/inscription.h"

#include <QApplication>

namespace palinor {

WindowShell::WindowShell(GameState& state, MessageBoxes& boxes,
                         std::function<DatabaseLocation()> locateDatabase, ScoreDatabaseOptions options)
    : state_(state), boxes_(boxes), game_(state, *this), locateDatabase_(std::move(locateDatabase)),
      options_(std::move(options))
{
}

const QString& WindowShell::databasePath()
{
    // Finding the folder touches the disk: not before a window needs the file.
    if (databasePath_.isEmpty()) {
        const DatabaseLocation location = locateDatabase_();
        databasePath_ = location.path;
        if (location.error) {
            boxes_.tell(location.error->message, MessageBoxes::Icon::Warning);
        }
    }
    return databasePath_;
}

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

void WindowShell::showMessage(std::string_view text, MessageIcon icon, std::string_view spoken)
{
    boxes_.tell(QString::fromUtf8(text),
                icon == MessageIcon::Critical ? MessageBoxes::Icon::Critical : MessageBoxes::Icon::None,
                QString::fromUtf8(spoken));
}

void WindowShell::announce(std::string_view sentence)
{
    if (form1_) {
        form1_->announce(QString::fromUtf8(sentence));
    }
}

void WindowShell::showSignUp()
{
    inscription window(state_, boxes_, options_, form1_);
    window.load(databasePath());
    placement_.centre(&window);
    window.exec();
}

void WindowShell::showScoreTable()
{
    scorefrm table(boxes_, options_, form1_);
    table.load(state_, databasePath());
    placement_.centre(&table);
    table.exec();
}

void WindowShell::loadAndUnloadScoreTable()
{
    // Only the load's score store matters: the table is never shown.
    scorefrm table(boxes_, options_, form1_);
    table.load(state_, databasePath(), false);
}

void WindowShell::showHelp()
{
    // The help window alone is not centred: the platform places it.
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
    placement_.centre(form1_);
    form1_->show();
}

} // namespace palinor
