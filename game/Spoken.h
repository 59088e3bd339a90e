#pragma once
// What a screen reader says after each command of the board: one short French sentence, computed from the
// state the command left.

#include "game/GameState.h"

#include <string>

namespace palinor::spoken {

// No game is in progress: what the Enter key does.
std::string idle();
// A disc or a round advance asked for without a game: the refusal, then what to do.
std::string refusal();
// A game has just started, or the player has changed: who plays, the round, the score, the discs left.
std::string gameStarted(const GameState& state);
/* 1 <= pocket <= 4. "Poche 4 : 2 palets. Manche 1 : 24 points. 25 palets restants." */
std::string disc(const GameState& state, int pocket);
// "Manche 2. Score : 24."
std::string round(const GameState& state);
/* 1 <= pocket <= 4: the disc taken back was in that pocket. */
std::string discTakenBack(const GameState& state, int pocket);
// The round advance taken back: the round now played again.
std::string roundTakenBack(const GameState& state);
std::string nothingToTakeBack();
// "Partie terminée. Score final : 35."
std::string gameOver(const GameState& state);

} // namespace palinor::spoken
