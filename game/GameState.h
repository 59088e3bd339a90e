#pragma once
// The one record of the game in progress, shared by every window.

#include "game/Checked.h"

#include <optional>
#include <string>

namespace palinor {

inline constexpr int kRounds = 3;
inline constexpr int kPockets = 4;
inline constexpr int kDiscs = 30;
inline constexpr int kHistorySize = 32;
// The history entry of a round advance; entries 1..4 are discs in that pocket.
inline constexpr Byte RoundAdvanceMark = 5;

struct GameState {
    // When true, the next score table load stores CurrentScore even over a higher stored score.
    bool ForceScoreUpdate = false;
    // UTF-8; empty means that no game is in progress.
    std::string PlayerName;
    Byte CurrentScore = 0;
    Byte CurrentRound = 0;
    // Counts are cumulative: each round starts from the previous one's.
    Array2<Byte, kRounds, kPockets> PocketCounts;
    Array1<Byte, kRounds> RoundScores;
    Array1<Byte, kHistorySize> MoveHistory;
    // Next free MoveHistory slot: 1 is an empty history, 0 only between a reset and the board's reload.
    Byte MoveCount = 0;

    // The player's stored best as the score table first met it during this game: a store forced by
    // an undo never goes below it, so taking back a disc cannot wipe a better score of an earlier game.
    struct StoredBest {
        std::string player;
        Byte score = 0;
        bool operator==(const StoredBest&) const = default;
    };
    std::optional<StoredBest> BestBeforeGame;

    bool gameInProgress() const { return !PlayerName.empty(); }

    // What the end of a game does; ForceScoreUpdate is left alone.
    void reset();

    bool operator==(const GameState&) const = default;
};

} // namespace palinor
