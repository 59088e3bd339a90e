#pragma once
// The game actions: each changes the state, then has the scores recomputed and the board redrawn.

#include "game/GameState.h"
#include "game/GameWindows.h"

#include <string_view>

namespace palinor {

inline constexpr std::string_view kNoGameMessage = "Pas de Partie en cours!";
inline constexpr std::string_view kGameOverMessage = "GAME OVER";

// Borrows the state and the windows; both must outlive it.
class Game {
public:
    Game(GameState& state, GameWindows& windows) : state_(state), windows_(windows) {}

    GameState& state() { return state_; }
    const GameState& state() const { return state_; }
    // The windows the game draws and speaks through, for the board window's own messages.
    GameWindows& windows() { return windows_; }

    // The board window's load: the idle board of round 1.
    void LoadBoard();
    // Draws the state; ends the game when 30 discs lie in the pockets.
    void RefreshBoard();

    /* text: "1".."4" or "5". Throws LimitError past the 32nd entry. */
    void PushMove(std::string_view text);
    /* 1 <= pocket <= 4 */
    void RecordDisc(int pocket);
    // Only the next round (4 = past the last) reacts; other targets are ignored.
    void AdvanceRound(int target);
    void UndoLastMove();
    void StartNewGame();
    void EndGame();

private:
    bool refuseWithoutPlayer();

    GameState& state_;
    GameWindows& windows_;
};

} // namespace palinor
