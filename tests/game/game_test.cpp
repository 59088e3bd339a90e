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
}

TEST(Game, CountsAreCarriedIntoTheNextRoundAndOnlyItsLabelReacts)
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
}

TEST(Game, UndoAcrossARoundAdvanceRestoresTheCaptionThenTakesBackTheLastDisc)
{
    GameFixture f("N" + discs(3, 0, 2, 5) + ">");
    f.calls.clear();
    f.game.UndoLastMove();
    EXPECT_EQ(f.calls, "caption Label2(2) MANCHE 2 :; board; "); // and no score stored
    EXPECT_EQ(f.state.CurrentRound, 1);
    EXPECT_EQ(counts(f.state, 2), Counts{});
    f.game.UndoLastMove();
    EXPECT_EQ(counts(f.state, 1), (Counts{3, 0, 2, 4})); // the last disc of round 1 was in pocket 4
    EXPECT_EQ(f.state.MoveCount, 10);
}

TEST(Game, ThirtiethDiscInRoundOneIsDrawnThenEndsTheGameOnTheLoadedBoard)
{
    GameFixture f("N" + discs(7, 7, 7, 8));
    std::string stored;
    f.onScoreTableLoad = [&] { stored = f.state.PlayerName + " " + std::to_string(f.state.CurrentScore); };
    f.state.ForceScoreUpdate = true; // as an undo leaves it: the board's load clears it
    f.calls.clear();
    f.boards.clear();
    f.play("4");
    EXPECT_EQ(stored, "DUPONT 148");
    EXPECT_EQ(f.calls,
              "board; color Label2(1) 255,224,192; color Label2(2) 255,224,192; "
              "color Label2(3) 255,224,192; color Label2(4) 255,0,0; message GAME OVER; scores modal; "
              "unload Form1; show Form1; caption Label1 JOUEUR : ; color Label2(1) 255,0,0; board; ");
    EXPECT_EQ(f.boards.front().pictureIds[0], 100);
    EXPECT_EQ(f.boards.front().scoreCaption, "SCORE : 148");
    EXPECT_EQ(f.state, GameFixture().state);
}

TEST(Game, ThirtyTwoHistoryEntriesEndTheGameByTheLastAdvanceOrTheThirtiethDisc)
{
    // Seen by the score table: the next history slot, the 32nd entry, the score stored.
    const std::pair<std::string, std::string> games[] = {
        {discs(5, 0, 0, 5) + ">" + discs(5, 0, 0, 5) + ">" + discs(0, 9, 0, 0) + ">", "33 5 68"},
        {discs(10, 0, 0, 0) + ">" + discs(0, 10, 0, 0) + ">" + discs(0, 0, 10, 0), "33 3 60"}};
    for (const auto& [moves, seenByTheTable] : games) {
        GameFixture f;
        std::string seen;
        f.onScoreTableLoad = [&] {
            seen = std::to_string(f.state.MoveCount) + " " + std::to_string(f.state.MoveHistory(32)) + " " +
                   std::to_string(f.state.CurrentScore);
        };
        f.play("N" + moves);
        const GameFixture fresh;
        EXPECT_EQ(seen, seenByTheTable) << moves;
        EXPECT_NE(f.calls.find("message GAME OVER; scores modal; unload Form1; show Form1; "),
                  std::string::npos);
        EXPECT_EQ(f.state, fresh.state) << moves;
        EXPECT_EQ(f.boards.back(), fresh.boards.back()) << moves;
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

} // namespace

TEST(Game, AScreenReaderHearsTheResultOfEveryCommandInOneSentence)
{
    GameFixture f("4");
    f.play("N44");
    f.game.UndoLastMove();
    f.play(">");
    f.game.UndoLastMove();
    f.game.UndoLastMove();
    f.game.UndoLastMove();
    EXPECT_EQ(f.spoken, (std::vector<std::string>{
                            "Aucune partie en cours. Appuyez sur Entrée pour commencer une partie.",
                            "", // the refusal's box says its own text
                            "Pas de Partie en cours! Appuyez sur Entrée pour commencer une partie.",
                            "Joueur : DUPONT. Manche 1 : 0 point. 30 palets restants.",
                            "Poche 4 : 1 palet. Manche 1 : 4 points. 29 palets restants.",
                            "Poche 4 : 2 palets. Manche 1 : 8 points. 28 palets restants.",
                            "Palet annulé. Poche 4 : 1 palet. Manche 1 : 4 points. 29 palets restants.",
                            "Manche 2. Score : 4.",
                            "Retour à la manche 1. Score : 4.",
                            "Palet annulé. Poche 4 : 0 palet. Manche 1 : 0 point. 30 palets restants.",
                            "Rien à annuler.",
                        }));

    // The 30th disc is said, then the end with the final score, by the board and by the "GAME OVER" box; the
    // board loaded afresh says that no game is in progress. The end past round 3 says no round.
    for (const std::string& moves : {discs(7, 7, 7, 8) + "3", discs(1, 0, 0, 0) + ">>>"}) {
        GameFixture end("N" + moves);
        const std::vector<std::string> last(end.spoken.end() - 4, end.spoken.end());
        EXPECT_EQ(last[0], moves.back() == '3' ? "Poche 3 : 8 palets. Manche 1 : 147 points. 0 palet restant."
                                               : "Manche 3. Score : 1.");
        EXPECT_EQ(last[1], moves.back() == '3' ? "Partie terminée. Score final : 147."
                                               : "Partie terminée. Score final : 1.");
        EXPECT_EQ(last[2], last[1]);
        EXPECT_EQ(last[3], "Aucune partie en cours. Appuyez sur Entrée pour commencer une partie.");
    }
}
