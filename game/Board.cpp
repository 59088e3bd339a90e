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
    return "MANCHE " + std::to_string(round) + " :";
}

BoardView ComputeBoard(const GameState& state)
{
    BoardView board;
    board.undoEnabled = state.MoveCount != 1;

    Byte total = 0;
    for (int pocket = 1; pocket <= kPockets; ++pocket) {
        const Byte count = state.PocketCounts(state.CurrentRound, pocket);
        total = addToByte(total, count, "total des palets");
        board.pictureIds[pocket] = pictureIdForCount(count);
        board.label2Colors[pocket] = kLightOrange;
    }
    board.label2Colors[static_cast<std::size_t>(Label2(state.CurrentRound))] = kRed;
    board.pictureIds[0] = pictureIdForCount(kDiscs - total);

    board.captionedRound = state.CurrentRound;
    board.roundCaption = "MANCHE " + std::to_string(state.CurrentRound) + " : " +
                         std::to_string(state.RoundScores(state.CurrentRound));
    board.scoreCaption = "SCORE : " + std::to_string(state.CurrentScore);
    board.discsInPockets = total;
    return board;
}

} // namespace palinor
