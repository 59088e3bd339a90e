#include "game/Scoring.h"

namespace palinor {

Byte ScoreOf(Byte pocket1, Byte pocket2, Byte pocket3, Byte pocket4)
{
    const Byte counts[kPockets] = {pocket1, pocket2, pocket3, pocket4};
    Byte sets = counts[0];
    for (int p = 1; p < kPockets; ++p) {
        if (counts[p] < sets) {
            sets = counts[p];
        }
    }
    // Bytes cannot overflow an int here: at most 255 * 10 + 255 * 10.
    int score = sets * kSetBonus;
    for (int p = 0; p < kPockets; ++p) {
        score += counts[p] * (p + 1);
    }
    return checkedByte(score, "score");
}

void RecomputeScores(GameState& state)
{
    for (int r = 1; r <= kRounds; ++r) {
        const auto& c = state.PocketCounts;
        state.RoundScores(r) = ScoreOf(c(r, 1), c(r, 2), c(r, 3), c(r, 4));
    }
    state.CurrentScore = state.RoundScores(state.CurrentRound);
}

} // namespace palinor
