#include "game/Spoken.h"

#include "game/Board.h"
#include "game/Plural.h"

namespace palinor::spoken {

namespace {

std::string roundScore(const GameState& state)
{
    return "Manche " + std::to_string(state.CurrentRound) + " : " +
           counted(state.RoundScores(state.CurrentRound), "point") + ".";
}

std::string discsLeft(const GameState& state)
{
    const int left = kDiscs - DiscsInPockets(state);
    return counted(left, "palet") + " " + plural(left, "restant") + ".";
}

std::string pocketCount(const GameState& state, int pocket)
{
    return "Poche " + std::to_string(pocket) + " : " +
           counted(state.PocketCounts(state.CurrentRound, pocket), "palet") + ".";
}

} // namespace

std::string idle()
{
    return "Aucune partie en cours. Appuyez sur Entrée pour commencer une partie.";
}

std::string refusal()
{
    return "Pas de Partie en cours! Appuyez sur Entrée pour commencer une partie.";
}

std::string gameStarted(const GameState& state)
{
    if (!state.gameInProgress()) {
        return idle();
    }
    return "Joueur : " + state.PlayerName + ". " + roundScore(state) + " " + discsLeft(state);
}

std::string disc(const GameState& state, int pocket)
{
    return pocketCount(state, pocket) + " " + roundScore(state) + " " + discsLeft(state);
}

std::string round(const GameState& state)
{
    return "Manche " + std::to_string(state.CurrentRound) +
           ". Score : " + std::to_string(state.CurrentScore) + ".";
}

std::string discTakenBack(const GameState& state, int pocket)
{
    return "Palet annulé. " + disc(state, pocket);
}

std::string roundTakenBack(const GameState& state)
{
    return "Retour à la manche " + std::to_string(state.CurrentRound) +
           ". Score : " + std::to_string(state.CurrentScore) + ".";
}

std::string nothingToTakeBack()
{
    return "Rien à annuler.";
}

std::string gameOver(const GameState& state)
{
    return "Partie terminée. Score final : " + std::to_string(state.CurrentScore) + ".";
}

} // namespace palinor::spoken
