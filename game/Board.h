#pragma once
// What the board window shows, computed from the game state as a plain value.

#include "game/GameState.h"

#include <array>
#include <string>

namespace palinor {

struct Rgb {
    Byte red = 0;
    Byte green = 0;
    Byte blue = 0;
    bool operator==(const Rgb&) const = default;
};

inline constexpr Rgb kLightOrange{255, 192, 128}; // labels not of the current round
inline constexpr Rgb kRed{255, 0, 0};             // the current round; the score at the end
inline constexpr Rgb kLightPeach{255, 224, 192};  // the round labels at the end of a game

// The five labels of the board's panel: Label1 (the player) and Label2(1..4).
enum class Label : int { Player = 0, Round1 = 1, Round2 = 2, Round3 = 3, Score = 4 };

/* 1 <= index <= 4 */
Label Label2(int index);

inline constexpr int kFirstPictureId = 100; // picture 100 + k shows k discs
inline constexpr int kLastPictureId = kFirstPictureId + kDiscs;

/* Id of the counting picture for k discs; throws LimitError unless 0 <= k <= 30. */
int pictureIdForCount(int k);

// The caption a round label has before its round is played: "MANCHE 2 :".
std::string designRoundCaption(int round);

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

/* Throws LimitError when the state is outside what a game can reach. */
BoardView ComputeBoard(const GameState& state);

} // namespace palinor
