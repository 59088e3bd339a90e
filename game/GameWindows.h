#pragma once
// Everything the game asks of its windows. The windows implement it; tests fake it.

#include "game/Board.h"

#include <string_view>

namespace palinor {

enum class MessageIcon { None, Critical };

class GameWindows {
public:
    virtual ~GameWindows() = default;

    // Draws one refresh of the board.
    virtual void drawBoard(const BoardView& board) = 0;
    // A modal message box with an OK button and the application's title; returns on OK. A screen reader
    // says spoken with the text, when it is not empty.
    virtual void showMessage(std::string_view text, MessageIcon icon, std::string_view spoken) = 0;
    // Tells a screen reader the result of a command, through whatever the player's focus is on; nothing seen
    // changes.
    virtual void announce(std::string_view sentence) = 0;
    // The sign-up window, modal; on return PlayerName holds the chosen player, or is unchanged.
    virtual void showSignUp() = 0;
    // The score table, modal; its load stores the player's score.
    virtual void showScoreTable() = 0;
    // The score table loaded and unloaded at once: only its score store matters.
    virtual void loadAndUnloadScoreTable() = 0;
    virtual void setLabelCaption(Label label, std::string_view caption) = 0;
    virtual void setLabelBackColor(Label label, Rgb color) = 0;
    // Hides "Nouvelle partie" until the board window is loaded again.
    virtual void hideNewGameItem() = 0;
    virtual void unloadMainWindow() = 0;
    // Shows a fresh board window; its load runs Game::LoadBoard.
    virtual void showMainWindow() = 0;
};

} // namespace palinor
