#pragma once
// A game on a fresh state whose windows are faked: they answer as a user would and record every call.

#include "game/Game.h"

#include <functional>
#include <string>
#include <vector>

namespace palinor::testing {

// The discs of one round, pocket by pocket, as a script for play().
inline std::string discs(int p1, int p2, int p3, int p4)
{
    return std::string(p1, '1') + std::string(p2, '2') + std::string(p3, '3') + std::string(p4, '4');
}

struct GameFixture : GameWindows {
    GameState state;
    Game game{state, *this};
    std::string signUpName = "DUPONT";              // empty: the user closes the sign-up without choosing
    std::function<void()> onScoreTableLoad = [] {}; // what the score table's load does with the state
    std::string calls;                              // "board; signup; ..."
    std::vector<BoardView> boards;
    std::vector<std::string> spoken; // every announcement, and what each message box says besides its text

    // The board window's load at start-up, then the moves played.
    explicit GameFixture(std::string_view moves = "")
    {
        game.LoadBoard();
        play(moves);
    }
    // 'N' starts a new game, '>' clicks the next round's label, a digit records a disc in that pocket.
    void play(std::string_view moves)
    {
        for (char move : moves) {
            move == 'N'   ? game.StartNewGame()
            : move == '>' ? game.AdvanceRound(state.CurrentRound + 1)
                          : game.RecordDisc(move - '0');
        }
    }

    void record(const std::string& call) { calls += call + "; "; }
    static std::string named(Label label)
    {
        return label == Label::Player ? "Label1" : "Label2(" + std::to_string(static_cast<int>(label)) + ")";
    }
    void drawBoard(const BoardView& board) override
    {
        boards.push_back(board);
        record("board");
    }
    void showMessage(std::string_view text, MessageIcon icon, std::string_view said) override
    {
        record("message " + std::string(text) + (icon == MessageIcon::Critical ? " [critical]" : ""));
        spoken.emplace_back(said);
    }
    void announce(std::string_view sentence) override { spoken.emplace_back(sentence); }
    void showSignUp() override
    {
        record("signup");
        state.PlayerName = signUpName.empty() ? state.PlayerName : signUpName;
    }
    void showScoreTable() override { record("scores modal"), onScoreTableLoad(); }
    void loadAndUnloadScoreTable() override { record("scores load+unload"), onScoreTableLoad(); }
    void setLabelCaption(Label label, std::string_view caption) override
    {
        record("caption " + named(label) + " " + std::string(caption));
    }
    void setLabelBackColor(Label label, Rgb c) override
    {
        record("color " + named(label) + " " + std::to_string(c.red) + "," + std::to_string(c.green) + "," +
               std::to_string(c.blue));
    }
    void hideNewGameItem() override { record("hide npmn"); }
    void unloadMainWindow() override { record("unload Form1"); }
    void showMainWindow() override { record("show Form1"), game.LoadBoard(); } // a fresh board window's load
};

} // namespace palinor::testing
