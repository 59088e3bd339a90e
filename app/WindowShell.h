#pragma once
// The window instances: each window exists at most once, and is built anew from its layout when shown again.

#include "app/WindowPlacement.h"
#include "data/DatabaseFolder.h"
#include "data/ScoreDatabase.h"
#include "game/Game.h"
#include "ui/main/Form1.h"
#include "ui/messages/MessageBoxes.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <functional>

namespace palinor {

class WindowShell : public QObject, public GameWindows {
    Q_OBJECT
public:
    // Borrows the game state shared by every window, and the message boxes every window asks for. Both the
    // sign-up window and the score table use the score file that locateDatabase names, asked once, when a
    // window first needs it, and open it with options.
    WindowShell(GameState& state, MessageBoxes& boxes, std::function<DatabaseLocation()> locateDatabase,
                ScoreDatabaseOptions options = {});
    ~WindowShell() override;

    Game& game() { return game_; }
    // The board window now shown, if any.
    Form1* mainWindow() const { return form1_; }

    void drawBoard(const BoardView& board) override;
    void showMessage(std::string_view text, MessageIcon icon, std::string_view spoken) override;
    void announce(std::string_view sentence) override;
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
    GameState& state_;
    MessageBoxes& boxes_;
    Game game_;
    const QString& databasePath();

    std::function<DatabaseLocation()> locateDatabase_;
    QString databasePath_;
    ScoreDatabaseOptions options_;
    QPointer<Form1> form1_;
    WindowPlacement placement_;
};

} // namespace palinor
