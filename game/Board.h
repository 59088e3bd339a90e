#pragma once
// What the board window shows, computed from the game state as a plain value.

#include "game/BoardDesign.h"
#include "game/GameState.h"

#include <array>
#include <string>
#include <string_view>

namespace palinor {

// The five labels of the board's panel: Label1 (the player) and Label2(1..4).
enum class Label : int { Player = 0, Round1 = 1, Round2 = 2, Round3 = 3, Score = 4 };

/* 1 <= index <= 4 */
Label Label2(int index);

inline constexpr int kFirstPictureId = 100; // picture 100 + k shows k discs
inline constexpr int kLastPictureId = kFirstPictureId + kDiscs;

/* Id of the counting picture for k discs; throws LimitError unless 0 <= k <= 30. */
int pictureIdForCount(int k);

/* The caption a round label has before its round is played: "MANCHE 2 :". 1 <= round <= 3 */
std::string designRoundCaption(int round);
// A label's caption as the game writes it: its design caption, a space and the value ("SCORE : 4").
std::string captionWith(std::string_view designCaption, std::string_view value);
// A name as it is shown within a line: between U+2068 FIRST STRONG ISOLATE and U+2069 POP DIRECTIONAL
// ISOLATE, so that its own direction controls cannot reorder what follows it. No name gives no text.
std::string isolated(std::string_view name);

// Everything one refresh of the board sets, in the refresh's own terms.
struct BoardView {
    bool undoEnabled = false;
    // Image1(0) shows the discs still to be played, Image1(1..4) the discs in each pocket.
    std::array<int, 5> pictureIds{};
    // Back colours of Label2(1..4); index 0 unused.
    std::array<Rgb, 5> label2Colors{};
    // Only the current round's label gets a new caption; the others keep theirs.
    int captionedRound = 1;
    std::string roundCaption;
    std::string scoreCaption;
    // When 30, the refresh ends the game after drawing.
    int discsInPockets = 0;

    bool operator==(const BoardView&) const = default;
};

/* The discs in the pockets in the current round. Throws LimitError past 255. */
Byte DiscsInPockets(const GameState& state);

/* Throws LimitError when the state is outside what a game can reach. */
BoardView ComputeBoard(const GameState& state);

} // namespace palinor
