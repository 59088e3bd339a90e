#include "RecordingWindows.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace palinor;
using palinor::testing::GameFixture;

namespace {

std::array<int, 4> counts(const GameState& s, int round)
{
    return {s.PocketCounts(round, 1), s.PocketCounts(round, 2), s.PocketCounts(round, 3),
            s.PocketCounts(round, 4)};
}

// The idle state as the board window's load leaves it, on a fresh state.
GameState idleState()
{
    GameFixture f;
    return f.state;
}

TEST(GameRefusals, DiscAndNextRoundWithoutPlayerAreRefusedAndChangeNothing)
{
    GameFixture f;
    const GameState before = f.state;
    f.windows.calls.clear();

    f.game.RecordDisc(2);
    f.game.AdvanceRound(2);

    EXPECT_EQ(f.state, before);
    EXPECT_EQ(f.windows.calls, (std::vector<std::string>{"message Pas de Partie en cours! [critical]",
                                                         "message Pas de Partie en cours! [critical]"}));
}

TEST(GameRefusals, OnlyTheNextRoundLabelReacts)
{
    GameFixture f;
    f.windows.calls.clear();
    f.game.AdvanceRound(1);
    f.game.AdvanceRound(3);
    f.game.AdvanceRound(4);
    EXPECT_TRUE(f.windows.calls.empty()) << "rounds other than the next one are ignored silently";

    f.startGame();
    f.play("1");
    const GameState before = f.state;
    f.windows.calls.clear();
    f.game.AdvanceRound(1);
    f.game.AdvanceRound(3);
    f.game.AdvanceRound(0);
    EXPECT_EQ(f.state, before);
    EXPECT_TRUE(f.windows.calls.empty());
}

TEST(GameRefusals, SignUpClosedWithoutChoiceHidesNewGameButStillRefusesDiscs)
{
    GameFixture f;
    f.windows.calls.clear();
    f.startGame("");
    EXPECT_EQ(f.windows.calls, (std::vector<std::string>{"signup", "caption Label1 JOUEUR : ", "hide npmn"}));
    f.game.RecordDisc(1);
    EXPECT_EQ(f.state.MoveCount, 1);
    EXPECT_EQ(f.windows.calls.back(), "message Pas de Partie en cours! [critical]");
}

TEST(GamePlay, StartNewGameShowsThePlayerAndHidesNewGame)
{
    GameFixture f;
    f.windows.calls.clear();
    f.startGame("MARTIN");
    EXPECT_EQ(f.state.PlayerName, "MARTIN");
    EXPECT_EQ(f.windows.calls,
              (std::vector<std::string>{"signup", "caption Label1 JOUEUR : MARTIN", "hide npmn"}));
}

TEST(GamePlay, RecordDiscPushesTheMoveAndRecomputes)
{
    GameFixture f;
    f.startGame();
    f.play("4");
    f.play("2");
    EXPECT_EQ(f.state.MoveCount, 3);
    EXPECT_EQ(f.state.MoveHistory(1), 4);
    EXPECT_EQ(f.state.MoveHistory(2), 2);
    EXPECT_EQ(counts(f.state, 1), (std::array<int, 4>{0, 1, 0, 1}));
    EXPECT_EQ(f.state.CurrentScore, 6);
}

TEST(GamePlay, CountsAreCarriedIntoTheNextRound)
{
    GameFixture f;
    f.startGame();
    f.playCounts(3, 0, 2, 5);
    f.nextRound();
    EXPECT_EQ(f.state.CurrentRound, 2);
    EXPECT_EQ(counts(f.state, 2), (std::array<int, 4>{3, 0, 2, 5}));
    EXPECT_EQ(f.state.RoundScores(1), 29);
    EXPECT_EQ(f.state.CurrentScore, 29);
    EXPECT_EQ(f.state.MoveHistory(f.state.MoveCount - 1), RoundAdvanceMark);

    f.play("1");
    EXPECT_EQ(f.state.RoundScores(1), 29) << "a round left keeps its score";
    EXPECT_EQ(f.state.CurrentScore, 30);
}

TEST(GameUndo, UndoAcrossARoundAdvanceRestoresTheCaptionThenTakesBackTheLastDisc)
{
    GameFixture f;
    f.startGame();
    f.playCounts(3, 0, 2, 5);
    f.nextRound();
    f.windows.calls.clear();

    f.game.UndoLastMove();
    EXPECT_EQ(f.windows.calls.front(), "caption Label2(2) MANCHE 2 :");
    EXPECT_FALSE(f.windows.called("scores load+unload")) << "undoing an advance stores no score";
    EXPECT_EQ(f.state.CurrentRound, 1);
    EXPECT_EQ(counts(f.state, 2), (std::array<int, 4>{0, 0, 0, 0}));
    EXPECT_EQ(counts(f.state, 1), (std::array<int, 4>{3, 0, 2, 5}));
    EXPECT_EQ(f.state.CurrentScore, 29);
    EXPECT_EQ(f.windows.lastBoard().label2Colors[1], kRed);
    EXPECT_EQ(f.windows.lastBoard().label2Colors[2], kLightOrange);

    f.game.UndoLastMove();
    EXPECT_EQ(counts(f.state, 1), (std::array<int, 4>{3, 0, 2, 4}))
        << "the last disc of round 1 was pocket 4";
    EXPECT_EQ(f.state.MoveCount, 10);
}

TEST(GameUndo, UndoingADiscStoresTheScoreWithoutThatDisc)
{
    GameFixture f;
    f.startGame();
    f.play("334");
    int scoreSeenByTheTable = -1;
    bool forcedSeenByTheTable = false;
    f.windows.onScoreTableLoad = [&] {
        scoreSeenByTheTable = f.state.CurrentScore;
        forcedSeenByTheTable = f.state.ForceScoreUpdate;
        f.state.ForceScoreUpdate = false; // the player has a record: the table clears the flag
    };
    f.windows.calls.clear();

    f.game.UndoLastMove();

    EXPECT_EQ(scoreSeenByTheTable, 6);
    EXPECT_TRUE(forcedSeenByTheTable);
    EXPECT_FALSE(f.state.ForceScoreUpdate);
    EXPECT_EQ(f.state.MoveCount, 3);
    EXPECT_EQ(f.windows.calls, (std::vector<std::string>{"scores load+unload", "board"}));
}

TEST(GameUndo, NothingToUndoOnlyRedrawsWithUndoDisabled)
{
    GameFixture f;
    f.startGame();
    const GameState before = f.state;
    f.windows.calls.clear();
    f.game.UndoLastMove();
    EXPECT_EQ(f.state, before);
    EXPECT_EQ(f.windows.calls, (std::vector<std::string>{"board"}));
    EXPECT_FALSE(f.windows.lastBoard().undoEnabled);
}

TEST(GameEnd, ThirtiethDiscInRoundOneEndsTheGameAfterDrawingIt)
{
    GameFixture f;
    f.startGame();
    f.playCounts(7, 7, 7, 8);
    ASSERT_EQ(f.state.PlayerName, "DUPONT");
    int storedScore = -1;
    std::string storedFor;
    f.windows.onScoreTableLoad = [&] {
        storedScore = f.state.CurrentScore;
        storedFor = f.state.PlayerName;
    };
    f.windows.calls.clear();
    f.windows.boards.clear();

    f.play("4");

    EXPECT_EQ(storedScore, 148);
    EXPECT_EQ(storedFor, "DUPONT");
    const std::vector<std::string> expected{
        "board",
        "color Label2(1) 255,224,192",
        "color Label2(2) 255,224,192",
        "color Label2(3) 255,224,192",
        "color Label2(4) 255,0,0",
        "message GAME OVER",
        "scores modal",
        "unload Form1",
        "show Form1",
        "caption Label1 JOUEUR : ",
        "color Label2(1) 255,0,0",
        "board",
    };
    EXPECT_EQ(f.windows.calls, expected);
    // The first board shows the 30th disc and the final score before "GAME OVER".
    EXPECT_EQ(f.windows.boards.front().pictureIds[0], 100);
    EXPECT_EQ(f.windows.boards.front().scoreCaption, "SCORE : 148");
    EXPECT_EQ(f.state, idleState());
}

TEST(GameEnd, AdvancePastRoundThreeEndsTheGame)
{
    GameFixture f;
    f.startGame();
    f.play("1234");
    f.nextRound();
    f.play("44");
    f.nextRound();
    f.play("1");
    int storedScore = -1;
    f.windows.onScoreTableLoad = [&] { storedScore = f.state.CurrentScore; };
    f.windows.calls.clear();

    f.game.AdvanceRound(4);

    EXPECT_EQ(storedScore, 29); // counts 2, 1, 1, 3: one set and 19 points of weights
    EXPECT_TRUE(f.windows.called("message GAME OVER"));
    EXPECT_EQ(f.windows.calls.back(), "board") << "the advance ends by drawing the fresh state";
    EXPECT_EQ(f.state, idleState());
    EXPECT_EQ(f.windows.lastBoard(), GameFixture().windows.lastBoard());
}

TEST(GameEnd, StateAfterEndGameEqualsTheLoadedIdleState)
{
    GameFixture f;
    f.startGame();
    f.play("1234");
    f.state.ForceScoreUpdate = true;
    f.game.EndGame();
    EXPECT_EQ(f.state, idleState());
    EXPECT_FALSE(f.state.ForceScoreUpdate);
    EXPECT_TRUE(f.state.PlayerName.empty());
    EXPECT_EQ(f.state.MoveCount, 1);
}

TEST(GameEnd, ResetWithoutReloadLeavesMoveCountZero)
{
    GameState s;
    s.CurrentRound = 2;
    s.MoveCount = 7;
    s.PlayerName = "X";
    s.ForceScoreUpdate = true;
    s.PocketCounts(2, 3) = 4;
    s.reset();
    EXPECT_EQ(s.MoveCount, 0);
    EXPECT_EQ(s.CurrentRound, 1);
    EXPECT_TRUE(s.ForceScoreUpdate) << "the reset leaves the flag to the board's load";
    EXPECT_EQ(s.PocketCounts(2, 3), 0);
}

TEST(GameHistory, ThirtyTwoEntriesFillTheHistoryExactly)
{
    {
        // 29 discs and three advances: the last advance, the 32nd entry, ends the game.
        GameFixture f;
        f.startGame();
        f.playCounts(5, 0, 0, 5);
        f.nextRound();
        f.playCounts(5, 0, 0, 5);
        f.nextRound();
        f.playCounts(0, 9, 0, 0);
        EXPECT_EQ(f.state.MoveCount, 32);
        bool sawFullHistory = false;
        f.windows.onScoreTableLoad = [&] { sawFullHistory = f.state.MoveCount == 33; };
        f.nextRound();
        EXPECT_TRUE(sawFullHistory);
        EXPECT_EQ(f.state, idleState());
    }
    {
        // 30 discs and two advances: the 30th disc, the 32nd entry, ends the game.
        GameFixture f;
        f.startGame();
        f.playCounts(10, 0, 0, 0);
        f.nextRound();
        f.playCounts(0, 10, 0, 0);
        f.nextRound();
        f.playCounts(0, 0, 9, 0);
        bool sawFullHistory = false;
        f.windows.onScoreTableLoad = [&] {
            sawFullHistory = f.state.MoveCount == 33 && f.state.MoveHistory(32) == 3;
        };
        f.play("3");
        EXPECT_TRUE(sawFullHistory);
        EXPECT_EQ(f.state, idleState());
    }
}

TEST(GameHistory, PastTheLimitsIsAnErrorNotAWrap)
{
    GameFixture f;
    f.startGame();
    f.state.MoveCount = 33;
    EXPECT_THROW(f.game.PushMove("1"), LimitError);
    f.state.MoveCount = 1;
    EXPECT_THROW(f.game.PushMove("256"), LimitError);
    EXPECT_THROW(f.game.PushMove("x"), LimitError);
    f.state.PocketCounts(1, 1) = 255;
    EXPECT_THROW(f.game.RecordDisc(1), LimitError);
}

} // namespace
