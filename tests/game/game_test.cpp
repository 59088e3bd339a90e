#include "RecordingWindows.h"

#include <gtest/gtest.h>

using namespace palinor;
using palinor::testing::discs;
using palinor::testing::GameFixture;
using Counts = std::array<int, 4>;

namespace {

Counts counts(const GameState& s, int round)
{
    return {s.PocketCounts(round, 1), s.PocketCounts(round, 2), s.PocketCounts(round, 3),
            s.PocketCounts(round, 4)};
}

const std::string kIdle = "Aucune partie en cours. Appuyez sur Entrée pour commencer une partie.";

TEST(Game, WithoutAPlayerDiscsAndTheNextRoundAreRefusedAndNothingChanges)
{
    GameFixture f;
    f.signUpName.clear(); // the sign-up closed without a choice
    f.calls.clear();
    f.play("N");
    const GameState before = f.state;
    f.game.UndoLastMove(); // nothing to undo: only a redraw
    f.play("2>");
    EXPECT_EQ(f.state, before);
    EXPECT_EQ(f.calls,
              "signup; caption Label1 JOUEUR : ; hide npmn; board; "
              "message Pas de Partie en cours! [critical]; message Pas de Partie en cours! [critical]; ");
    f.signUpName = "BOB \u202E"; // its override ends with the name, not at the end of the caption
    f.calls.clear();
    f.play("N");
    EXPECT_EQ(f.calls, "signup; caption Label1 JOUEUR : \u2068BOB \u202E\u2069; hide npmn; ");
}

TEST(Game, CountsAreCarriedIntoTheNextRoundOnlyItsLabelReactsAndUndoWalksBackAcrossIt)
{
    GameFixture f("N" + discs(3, 0, 2, 5));
    const GameState before = f.state;
    for (int round : {0, 1, 3, 4}) {
        f.game.AdvanceRound(round); // not the next round: ignored without a word
    }
    EXPECT_EQ(f.state, before);
    f.play(">1");
    EXPECT_EQ(counts(f.state, 1), (Counts{3, 0, 2, 5}));
    EXPECT_EQ(counts(f.state, 2), (Counts{4, 0, 2, 5}));
    EXPECT_EQ(f.state.RoundScores(1), 29); // a round left keeps its score
    EXPECT_EQ(f.state.CurrentScore, 30);
    f.game.UndoLastMove();
    f.calls.clear();
    f.game.UndoLastMove();
    EXPECT_EQ(f.calls, "caption Label2(2) MANCHE 2 :; board; "); // and no score stored
    EXPECT_EQ(f.state.CurrentRound, 1);
    EXPECT_EQ(counts(f.state, 2), Counts{});
    f.game.UndoLastMove();
    EXPECT_EQ(counts(f.state, 1), (Counts{3, 0, 2, 4})); // the last disc of round 1 was in pocket 4
    EXPECT_EQ(f.state.MoveCount, 10);
}

TEST(Game, TheThirtiethDiscOrTheLastAdvanceEndsTheGameOnAFreshBoard)
{
    // The moves; what the score table sees: the next history slot, the 32nd entry, the score; what is said
    // last before the end.
    const std::tuple<std::string, std::string, std::string> games[] = {
        {discs(7, 7, 7, 8) + "4", "31 0 148", "Poche 4 : 9 palets. Manche 1 : 148 points. 0 palet restant."},
        {discs(5, 0, 0, 5) + ">" + discs(5, 0, 0, 5) + ">" + discs(0, 9, 0, 0) + ">", "33 5 68", ""}};
    for (const auto& [moves, seenByTheTable, said] : games) {
        GameFixture f("N" + moves.substr(0, moves.size() - 1));
        f.state.ForceScoreUpdate = true; // as an undo leaves it: the board's load clears it
        std::string seen;
        f.onScoreTableLoad = [&] {
            seen = std::to_string(f.state.MoveCount) + " " + std::to_string(f.state.MoveHistory(32)) + " " +
                   std::to_string(f.state.CurrentScore);
        };
        f.calls.clear();
        f.boards.clear();
        f.spoken.clear();
        f.play(moves.substr(moves.size() - 1));
        EXPECT_EQ(seen, seenByTheTable);
        const bool byDisc = !said.empty();
        EXPECT_EQ(
            f.calls,
            (byDisc ? "board; " : "") +
                std::string(
                    "color Label2(1) 255,224,192; color Label2(2) 255,224,192; "
                    "color Label2(3) 255,224,192; color Label2(4) 255,0,0; message GAME OVER; scores modal; "
                    "unload Form1; show Form1; caption Label1 JOUEUR : ; color Label2(1) 255,0,0; board; ") +
                (byDisc ? "" : "board; "));
        const std::string end = "Partie terminée. Score final : " + seenByTheTable.substr(5) + ".";
        // The board says the last move and the end, the "GAME OVER" box the end again, the fresh board no
        // game.
        const std::vector<std::string> last{said, end, end, kIdle};
        EXPECT_EQ(f.spoken, std::vector(last.begin() + !byDisc, last.end()));
        EXPECT_EQ(f.boards.front().scoreCaption, byDisc ? "SCORE : 148" : "SCORE : 0");
        const GameFixture fresh;
        EXPECT_EQ(f.state, fresh.state);
        EXPECT_EQ(f.boards.back(), fresh.boards.back());
    }
}

TEST(Game, PastTheLimitsIsAnErrorNotAWrap)
{
    GameFixture f("N");
    f.state.MoveCount = 33;
    EXPECT_THROW(f.game.PushMove("1"), LimitError);
    f.state.MoveCount = 1;
    EXPECT_THROW(f.game.PushMove("256"), LimitError);
    EXPECT_THROW(f.game.PushMove("x"), LimitError);
    f.state.PocketCounts(1, 1) = 255;
    EXPECT_THROW(f.game.RecordDisc(1), LimitError);
}

TEST(Game, AScreenReaderHearsTheResultOfEveryCommandInOneSentence)
{
    GameFixture f("4");
    f.play("N44");
    f.game.UndoLastMove();
    f.play(">");
    for (int undo = 0; undo < 3; ++undo) {
        f.game.UndoLastMove();
    }
    EXPECT_EQ(f.spoken, (std::vector<std::string>{
                            kIdle, "", // the refusal's box says its own text
                            "Pas de Partie en cours! Appuyez sur Entrée pour commencer une partie.",
                            "Joueur : DUPONT. Manche 1 : 0 point. 30 palets restants.",
                            "Poche 4 : 1 palet. Manche 1 : 4 points. 29 palets restants.",
                            "Poche 4 : 2 palets. Manche 1 : 8 points. 28 palets restants.",
                            "Palet annulé. Poche 4 : 1 palet. Manche 1 : 4 points. 29 palets restants.",
                            "Manche 2. Score : 4.", "Retour à la manche 1. Score : 4.",
                            "Palet annulé. Poche 4 : 0 palet. Manche 1 : 0 point. 30 palets restants.",
                            "Rien à annuler."}));
}

} // namespace
