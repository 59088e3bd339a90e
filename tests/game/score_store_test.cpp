#include "RecordingWindows.h"
#include "game/ScoreStore.h"

#include <gtest/gtest.h>
#include <map>

using namespace palinor;
using palinor::testing::GameFixture;

namespace {

GameState playing(const std::string& name, Byte score, bool forced = false)
{
    GameState s;
    s.PlayerName = name;
    s.CurrentScore = score;
    s.CurrentRound = 1;
    s.ForceScoreUpdate = forced;
    return s;
}

TEST(ScoreStore, AHigherScoreReplacesTheRecordAndClearsTheFlag)
{
    GameState s = playing("ALPHA", 90);
    s.ForceScoreUpdate = true;
    EXPECT_EQ(ReplacementScore(s, "ALPHA", 87), 90);
    EXPECT_FALSE(s.ForceScoreUpdate);
}

TEST(ScoreStore, AnEqualOrLowerScoreLeavesTheRecord)
{
    GameState s = playing("ALPHA", 90);
    EXPECT_EQ(ReplacementScore(s, "ALPHA", 90), std::nullopt);
    EXPECT_EQ(ReplacementScore(s, "ALPHA", 120), std::nullopt);
}

TEST(ScoreStore, NamesMatchExactlyAndAnEmptyPlayerMatchesNothing)
{
    GameState s = playing("Alpha", 90, true);
    EXPECT_EQ(ReplacementScore(s, "ALPHA", 10), std::nullopt);
    EXPECT_TRUE(s.ForceScoreUpdate) << "the flag waits for a record of the player";
    GameState idle = playing("", 90, true);
    EXPECT_EQ(ReplacementScore(idle, "", 0), std::nullopt);
    EXPECT_TRUE(idle.ForceScoreUpdate);
}

TEST(ScoreStore, NewPlayerWithoutScoreIsReplacedFromOnePoint)
{
    GameState s = playing("BRAVO", 0);
    EXPECT_EQ(ReplacementScore(s, "BRAVO", 0), std::nullopt);
    s.CurrentScore = 1;
    EXPECT_EQ(ReplacementScore(s, "BRAVO", 0), 1);
}

TEST(ScoreStore, AfterTheFirstForcedReplacementLaterDuplicatesMustBeBeaten)
{
    GameState s = playing("ALPHA", 60, true);
    EXPECT_EQ(ReplacementScore(s, "ALPHA", 30), 60);
    EXPECT_EQ(ReplacementScore(s, "ALPHA", 100), std::nullopt);
    EXPECT_EQ(ReplacementScore(s, "ALPHA", 40), 60);
}

TEST(ScoreStore, AForcedStoreNeverGoesBelowTheBestFromBeforeTheGame)
{
    GameState s = playing("ALPHA", 60, true);
    EXPECT_EQ(ReplacementScore(s, "ALPHA", 120), 120);
    EXPECT_FALSE(s.ForceScoreUpdate);
    ASSERT_TRUE(s.BestBeforeGame);
    EXPECT_EQ(s.BestBeforeGame->score, 120);

    // Another player chosen in the middle of the game starts from their own best.
    s.PlayerName = "BRAVO";
    s.ForceScoreUpdate = true;
    EXPECT_EQ(ReplacementScore(s, "BRAVO", 20), 60);
    EXPECT_EQ(s.BestBeforeGame->player, "BRAVO");
}

// The score table over an in-memory table of best scores, as the real one runs over the file.
struct ScoreTableFake {
    std::map<std::string, Byte> records;
    void load(GameState& state)
    {
        for (auto& [name, score] : records) {
            if (auto replacement = ReplacementScore(state, name, score)) {
                score = *replacement;
            }
        }
    }
};

TEST(ScoreStoreWithUndo, UndoKeepsABetterScoreOfAnEarlierGame)
{
    GameFixture f;
    ScoreTableFake table{{{"DUPONT", 120}}};
    f.windows.onScoreTableLoad = [&] { table.load(f.state); };
    f.startGame();
    f.play("432");
    f.game.UndoLastMove();
    EXPECT_EQ(table.records["DUPONT"], 120);
    EXPECT_FALSE(f.state.ForceScoreUpdate);
}

TEST(ScoreStoreWithUndo, UndoAfterAStoreFromTheMenuStoresTheScoreWithoutTheDisc)
{
    GameFixture f;
    ScoreTableFake table{{{"DUPONT", 50}}};
    f.windows.onScoreTableLoad = [&] { table.load(f.state); };
    f.startGame();
    f.playCounts(0, 0, 2, 21); // 6 + 84 points, no set
    ASSERT_EQ(int{f.state.CurrentScore}, 90);
    table.load(f.state); // "Tableau des scores" from the menu
    EXPECT_EQ(table.records["DUPONT"], 90);
    f.game.UndoLastMove(); // the last disc was in pocket 4
    EXPECT_EQ(table.records["DUPONT"], 86);

    f.game.EndGame();
    EXPECT_FALSE(f.state.BestBeforeGame) << "the end of the game forgets the player's best";
}

} // namespace
