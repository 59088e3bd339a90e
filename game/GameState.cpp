#include "game/GameState.h"

namespace palinor {

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
