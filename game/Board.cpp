#include "game/Board.h"

namespace palinor {

Label Label2(int index)
{
    if (index < 1 || index > 4) {
        throw LimitError("étiquette Label2(" + std::to_string(index) + ") inexistante");
    }
    return static_cast<Label>(index);
}

int pictureIdForCount(int k)
{
    if (k < 0 || k > kDiscs) {
        throw LimitError("aucune image pour " + std::to_string(k) + " palets");
    }
    return kFirstPictureId + k;
}

std::string designRoundCaption(int round)
{
    if (round < 1 || round > kRounds) {
        throw LimitError("manche " + std::to_string(round) + " inexistante");
    }
    return std::string(board::kRoundCaptions.at(static_cast<std::size_t>(round)));
}

std::string captionWith(std::string_view designCaption, std::string_view value)
{
    return std::string(designCaption) + " " + std::string(value);
}

std::string isolated(std::string_view name)
{
    return name.empty() ? std::string() : "\xE2\x81\xA8" + std::string(name) + "\xE2\x81\xA9";
}

Byte DiscsInPockets(const GameState& state)
{
    Byte total = 0;
    for (int pocket = 1; pocket <= kPockets; ++pocket) {
        total = addToByte(total, state.PocketCounts(state.CurrentRound, pocket), "total des palets");
    }
    return total;
}

BoardView ComputeBoard(const GameState& state)
{
    BoardView view;
    view.undoEnabled = state.MoveCount != 1;

    const Byte total = DiscsInPockets(state);
    for (int pocket = 1; pocket <= kPockets; ++pocket) {
        view.pictureIds[pocket] = pictureIdForCount(state.PocketCounts(state.CurrentRound, pocket));
        view.label2Colors[pocket] = board::kLightOrange;
    }
    view.label2Colors[static_cast<std::size_t>(Label2(state.CurrentRound))] = board::kRed;
    view.pictureIds[0] = pictureIdForCount(kDiscs - total);

    view.captionedRound = state.CurrentRound;
    view.roundCaption = captionWith(designRoundCaption(state.CurrentRound),
                                    std::to_string(state.RoundScores(state.CurrentRound)));
    view.scoreCaption = captionWith(board::kScoreCaption, std::to_string(state.CurrentScore));
    view.discsInPockets = total;
    return view;
}

} // namespace palinor
