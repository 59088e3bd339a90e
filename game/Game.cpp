#include "game/Game.h"

#include "game/Scoring.h"
#include "game/Spoken.h"

#include <charconv>
#include <string>

namespace palinor {

void Game::LoadBoard()
{
    state_.ForceScoreUpdate = false;
    windows_.setLabelCaption(Label::Player, captionWith(board::kPlayerCaption, isolated(state_.PlayerName)));
    state_.CurrentRound = 1;
    state_.MoveCount = 1;
    windows_.setLabelBackColor(Label::Round1, board::kRed);
    RecomputeScores(state_);
    RefreshBoard();
    windows_.announce(spoken::gameStarted(state_));
}

void Game::RefreshBoard()
{
    const BoardView board = ComputeBoard(state_);
    windows_.drawBoard(board);
    // Last, so that the board already shows the 30th disc and the final score.
    if (board.discsInPockets == kDiscs) {
        EndGame();
    }
}

void Game::PushMove(std::string_view text)
{
    int entry = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), entry);
    if (error != std::errc{} || end != text.data() + text.size()) {
        throw LimitError("coup illisible : " + std::string(text));
    }
    state_.MoveHistory(state_.MoveCount) = checkedByte(entry, "coup");
    state_.MoveCount = addToByte(state_.MoveCount, 1, "nombre de coups");
}

bool Game::refuseWithoutPlayer()
{
    if (state_.gameInProgress()) {
        return false;
    }
    windows_.showMessage(kNoGameMessage, MessageIcon::Critical, {});
    windows_.announce(spoken::refusal());
    return true;
}

void Game::RecordDisc(int pocket)
{
    if (pocket < 1 || pocket > kPockets) {
        throw LimitError("poche " + std::to_string(pocket) + " inexistante");
    }
    if (refuseWithoutPlayer()) {
        return;
    }
    PushMove(std::to_string(pocket));
    Byte& count = state_.PocketCounts(state_.CurrentRound, pocket);
    count = addToByte(count, 1, "nombre de palets");
    RecomputeScores(state_);
    // Said before the refresh, which may end the game and say so.
    windows_.announce(spoken::disc(state_, pocket));
    RefreshBoard();
}

void Game::AdvanceRound(int target)
{
    if (target != state_.CurrentRound + 1) {
        return;
    }
    if (refuseWithoutPlayer()) {
        return;
    }
    state_.CurrentRound = checkedByte(target, "manche");
    PushMove(std::to_string(RoundAdvanceMark));
    const bool ended = state_.CurrentRound == kRounds + 1;
    if (ended) {
        EndGame();
    } else {
        for (int p = 1; p <= kPockets; ++p) {
            state_.PocketCounts(state_.CurrentRound, p) = state_.PocketCounts(state_.CurrentRound - 1, p);
        }
    }
    RecomputeScores(state_);
    if (!ended) {
        windows_.announce(spoken::round(state_));
    }
    RefreshBoard();
}

void Game::UndoLastMove()
{
    // 0 while nothing was taken back.
    Byte entry = 0;
    if (state_.MoveCount > 1) {
        entry = state_.MoveHistory(state_.MoveCount - 1);
        if (entry == RoundAdvanceMark) {
            windows_.setLabelCaption(Label2(state_.CurrentRound), designRoundCaption(state_.CurrentRound));
            for (int p = 1; p <= kPockets; ++p) {
                state_.PocketCounts(state_.CurrentRound, p) = 0;
            }
            state_.CurrentRound = addToByte(state_.CurrentRound, -1, "manche");
        } else {
            Byte& count = state_.PocketCounts(state_.CurrentRound, entry);
            count = addToByte(count, -1, "nombre de palets");
            // Recomputed first, so that the forced store carries the score without the disc taken back.
            RecomputeScores(state_);
            state_.ForceScoreUpdate = true;
            windows_.loadAndUnloadScoreTable();
        }
        state_.MoveCount = addToByte(state_.MoveCount, -1, "nombre de coups");
    }
    RecomputeScores(state_);
    windows_.announce(entry == 0                  ? spoken::nothingToTakeBack()
                      : entry == RoundAdvanceMark ? spoken::roundTakenBack(state_)
                                                  : spoken::discTakenBack(state_, entry));
    RefreshBoard();
}

void Game::StartNewGame()
{
    windows_.showSignUp();
    windows_.setLabelCaption(Label::Player, captionWith(board::kPlayerCaption, isolated(state_.PlayerName)));
    windows_.hideNewGameItem();
    windows_.announce(spoken::gameStarted(state_));
}

void Game::EndGame()
{
    for (int round = 1; round <= kRounds; ++round) {
        windows_.setLabelBackColor(Label2(round), board::kLightPeach);
    }
    windows_.setLabelBackColor(Label::Score, board::kRed);
    const std::string finalScore = spoken::gameOver(state_);
    windows_.announce(finalScore);
    windows_.showMessage(kGameOverMessage, MessageIcon::None, finalScore);
    windows_.showScoreTable();
    windows_.unloadMainWindow();
    state_.reset();
    windows_.showMainWindow();
}

} // namespace palinor
