#include "game/GameState.h"

namespace palinor {

int GameState::discsInPockets() const
{
    int total = 0;
    for (int p = 1; p <= kPockets; ++p) {
        total += PocketCounts(CurrentRound, p);
    }
    return total;
}

void GameState::reset()
{
    PlayerName.clear();
    CurrentScore = 0;
    CurrentRound = 1;
    RoundScores.clear();
    MoveHistory.clear();
    PocketCounts.clear();
    MoveCount = 0;
    BestBeforeGame.reset();
}

} // namespace palinor
