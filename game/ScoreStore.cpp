#include "game/ScoreStore.h"

#include <algorithm>

namespace palinor {

std::optional<Byte> ReplacementScore(GameState& state, std::string_view recordName, Byte storedScore)
{
    // An empty PlayerName never matches: every name the program writes is non-empty.
    if (state.PlayerName.empty() || recordName != state.PlayerName) {
        return std::nullopt;
    }
    if (!state.BestBeforeGame || state.BestBeforeGame->player != state.PlayerName) {
        state.BestBeforeGame = GameState::StoredBest{state.PlayerName, storedScore};
    }
    if (!(state.CurrentScore > storedScore || state.ForceScoreUpdate)) {
        return std::nullopt;
    }
    state.ForceScoreUpdate = false;
    return std::max(state.CurrentScore, state.BestBeforeGame->score);
}

Byte FirstReadableScore(GameState& state)
{
    if (!state.BestBeforeGame || state.BestBeforeGame->player != state.PlayerName) {
        state.BestBeforeGame = GameState::StoredBest{state.PlayerName, 0};
    }
    state.ForceScoreUpdate = false;
    return state.CurrentScore;
}

} // namespace palinor
