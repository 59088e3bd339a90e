#pragma once
// The board window's captions and colours, without Qt: the game computes with them, the window draws them.

#include "game/Checked.h"

#include <array>
#include <string_view>

namespace palinor {

struct Rgb {
    Byte red = 0;
    Byte green = 0;
    Byte blue = 0;
    bool operator==(const Rgb&) const = default;
};

namespace board {

inline constexpr std::string_view kCaption = "VERTALINE ET LE BILLARD HOLLANDAIS...";

// The panel's design captions; at run time a label shows its caption, a space and its value ("SCORE : 4").
inline constexpr std::string_view kPlayerCaption = "JOUEUR :";
inline constexpr std::array<std::string_view, 4> kRoundCaptions{"", "MANCHE 1 :", "MANCHE 2 :", "MANCHE 3 :"};
inline constexpr std::string_view kScoreCaption = "SCORE :";
inline constexpr std::string_view kNewGameButton = "ok";

inline constexpr std::string_view kMenu = "Menu";
inline constexpr std::string_view kNewGameItem = "Nouvelle partie";
inline constexpr std::string_view kScoreTableItem = "Tableau des scores";
inline constexpr std::array<std::string_view, 5> kPocketItems{"", "Poche 1", "Poche 2", "Poche 3", "Poche 4"};
inline constexpr std::string_view kNextRoundItem = "Manche suivante";
inline constexpr std::string_view kHelpItem = "Aide";
inline constexpr std::string_view kUndoItem = "Annuler";

// Dark grounds carry white text and light ones black, so that whatever is written on them stays readable.
inline constexpr Rgb kBoardBrown{128, 64, 0}; // the window's ground, and the board's fill
inline constexpr Rgb kLine{0, 0, 0};
inline constexpr Rgb kLightOrange{255, 192, 128}; // the panel; labels not of the current round
inline constexpr Rgb kRed{255, 0, 0};             // the current round; the score at the end
inline constexpr Rgb kLightPeach{255, 224, 192};  // the round labels at the end of a game
inline constexpr Rgb kTextOnDark{255, 255, 255};
inline constexpr Rgb kTextOnLight{0, 0, 0};

} // namespace board

} // namespace palinor
