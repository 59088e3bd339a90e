#pragma once
// The window instances: each window exists at most once, and is built anew from its layout when shown again.

#include "game/Game.h"
#include "ui/main/Form1.h"

#include <QObject>
#include <QPointer>
#include <QStringList>

namespace palinor {

class WindowShell : public QObject, public GameWindows {
    Q_OBJECT
public:
    // Borrows the game state shared by every window; both the sign-up window and the score table use
    // the score file at databasePath.
    WindowShell(GameState& state, QString databasePath);
    ~WindowShell() override;

    Game& game() { return game_; }
    // The board window now shown, if any.
    Form1* mainWindow() const { return form1_; }

    void drawBoard(const BoardView& board) override;
    void showMessage(std::string_view text, MessageIcon icon) override;
    void showSignUp() override;
    void showScoreTable() override;
    void loadAndUnloadScoreTable() override;
    void setLabelCaption(Label label, std::string_view caption) override;
    void setLabelBackColor(Label label, Rgb color) override;
    void hideNewGameItem() override;
    void unloadMainWindow() override;
    void showMainWindow() override;

    void showHelp();

private:
    // Message boxes for what a window's load found wrong.
    void tell(const QStringList& messages);

    GameState& state_;
    Game game_;
    QString databasePath_;
    QPointer<Form1> form1_;
};

} // namespace palinor
