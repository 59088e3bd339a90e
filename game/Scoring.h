#pragma once

#include "game/GameState.h"

namespace palinor {

inline constexpr int kSetBonus = 10;

/* Score of one round's counts (pockets 1..4): weights 1..4 plus 10 per complete set.
   Throws LimitError above 255. */
Byte ScoreOf(Byte pocket1, Byte pocket2, Byte pocket3, Byte pocket4);

// Recomputes all three RoundScores and sets CurrentScore to the current round's.
void RecomputeScores(GameState& state);

} // namespace palinor
