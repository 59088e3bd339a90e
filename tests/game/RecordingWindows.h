#pragma once
// A fake of the windows that answers as a user would and records every call in order.

#include "game/Game.h"

#include <functional>
#include <string>
#include <vector>

namespace palinor::testing {

inline std::string describe(Label label)
{
    return label == Label::Player ? "Label1" : "Label2(" + std::to_string(static_cast<int>(label)) + ")";
}

inline std::string describe(Rgb c)
{
    return std::to_string(c.red) + "," + std::to_string(c.green) + "," + std::to_string(c.blue);
}

class RecordingWindows : public GameWindows {
public:
    // The name the sign-up window picks; empty: the user closes it without choosing.
    std::string signUpName = "DUPONT";
    // The board window's load, run by showMainWindow as a real window's load would.
    std::function<void()> onShowMainWindow;
    // What the score table's load does with the state (store a score, clear the flag...).
    std::function<void()> onScoreTableLoad;

    GameState* state = nullptr;
    std::vector<std::string> calls;
    std::vector<BoardView> boards;

    void drawBoard(const BoardView& board) override
    {
        boards.push_back(board);
        calls.push_back("board");
    }
    void showMessage(std::string_view text, MessageIcon icon) override
    {
        calls.push_back("message " + std::string(text) +
                        (icon == MessageIcon::Critical ? " [critical]" : ""));
    }
    void showSignUp() override
    {
        calls.push_back("signup");
        if (!signUpName.empty() && state != nullptr) {
            state->PlayerName = signUpName;
        }
    }
    void showScoreTable() override
    {
        calls.push_back("scores modal");
        if (onScoreTableLoad) {
            onScoreTableLoad();
        }
    }
    void loadAndUnloadScoreTable() override
    {
        calls.push_back("scores load+unload");
        if (onScoreTableLoad) {
            onScoreTableLoad();
        }
    }
    void setLabelCaption(Label label, std::string_view caption) override
    {
        calls.push_back("caption " + describe(label) + " " + std::string(caption));
    }
    void setLabelBackColor(Label label, Rgb color) override
    {
        calls.push_back("color " + describe(label) + " " + describe(color));
    }
    void hideNewGameItem() override { calls.push_back("hide npmn"); }
    void unloadMainWindow() override { calls.push_back("unload Form1"); }
    void showMainWindow() override
    {
        calls.push_back("show Form1");
        if (onShowMainWindow) {
            onShowMainWindow();
        }
    }

    const BoardView& lastBoard() const { return boards.back(); }
    bool called(const std::string& call) const
    {
        for (const auto& c : calls) {
            if (c == call) {
                return true;
            }
        }
        return false;
    }
};

// A game on a fresh state with the recording fake, its board loaded as at start-up.
struct GameFixture {
    GameState state;
    RecordingWindows windows;
    Game game{state, windows};

    GameFixture()
    {
        windows.state = &state;
        windows.onShowMainWindow = [this] { game.LoadBoard(); };
        game.LoadBoard();
    }

    void startGame(const std::string& name = "DUPONT")
    {
        windows.signUpName = name;
        game.StartNewGame();
    }

    // Records discs by pocket: "4423" records pockets 4, 4, 2, 3 in that order.
    void play(std::string_view pockets)
    {
        for (char pocket : pockets) {
            game.RecordDisc(pocket - '0');
        }
    }

    // Records the given number of discs in each pocket 1..4.
    void playCounts(int p1, int p2, int p3, int p4)
    {
        const int counts[] = {p1, p2, p3, p4};
        for (int p = 0; p < 4; ++p) {
            for (int i = 0; i < counts[p]; ++i) {
                game.RecordDisc(p + 1);
            }
        }
    }

    void nextRound() { game.AdvanceRound(state.CurrentRound + 1); }
};

} // namespace palinor::testing
