#pragma once
// How the score table treats the stored records when it loads.

#include "game/GameState.h"

#include <optional>
#include <string_view>

namespace palinor {

/* The score table meets one stored record (name, stored score 0..255). Returns the score that replaces
   the record, or nothing when it stays. A replacement clears ForceScoreUpdate. */
std::optional<Byte> ReplacementScore(GameState& state, std::string_view recordName, Byte storedScore);

/* The player's records hold only scores the table cannot read: the score of the record added beside them,
   CurrentScore. The player then counts as having had no score before this game. Clears ForceScoreUpdate.
   gameInProgress() */
Byte FirstReadableScore(GameState& state);

} // namespace palinor
