#include "RecordingWindows.h"
#include "game/ScoreStore.h"

#include <gtest/gtest.h>

using namespace palinor;

namespace {

GameState playing(const std::string& name, Byte score, bool forced)
{
    GameState s;
    s.PlayerName = name;
    s.CurrentScore = score;
    s.ForceScoreUpdate = forced;
    return s;
}

TEST(ScoreStore, ReplacesOnlyTheSamePlayersLowerScoreUnlessForcedAndClearsTheFlagOnlyThen)
{
    const std::tuple<std::string, Byte, bool, std::string, Byte, std::optional<Byte>> meetings[] = {
        {"ALPHA", 90, false, "ALPHA", 87, 90}, {"ALPHA", 90, true, "ALPHA", 87, 90},
        {"ALPHA", 90, false, "ALPHA", 90, {}}, {"ALPHA", 90, false, "ALPHA", 120, {}},
        {"Alpha", 90, true, "ALPHA", 10, {}},  {"", 90, true, "", 0, {}},
        {"BRAVO", 0, false, "BRAVO", 0, {}},   {"BRAVO", 1, false, "BRAVO", 0, 1},
        {"ALPHA", 60, true, "ALPHA", 120, 120}};
    for (const auto& [player, score, forced, record, stored, replacement] : meetings) {
        GameState s = playing(player, score, forced);
        SCOPED_TRACE(player + " " + std::to_string(score) + (forced ? " forced" : ""));
        EXPECT_EQ(ReplacementScore(s, record, stored), replacement);
        EXPECT_EQ(s.ForceScoreUpdate, forced && !replacement);
    }
    // After the forced replacement, later duplicates must be beaten; the best before the game is kept.
    GameState s = playing("ALPHA", 60, true);
    EXPECT_EQ(ReplacementScore(s, "ALPHA", 30), 60);
    EXPECT_EQ(ReplacementScore(s, "ALPHA", 100), std::nullopt);
    EXPECT_EQ(ReplacementScore(s, "ALPHA", 40), 60);
    // A player chosen in the middle of the game starts from their own best, not the previous player's.
    s = playing("BRAVO", 20, true);
    s.BestBeforeGame = GameState::StoredBest{"ALPHA", 100};
    EXPECT_EQ(ReplacementScore(s, "BRAVO", 10), 20);
    // Only unreadable records: the current score, and the player counts as having had none before.
    s = playing("CHARLIE", 35, true);
    EXPECT_EQ(FirstReadableScore(s), 35);
    EXPECT_FALSE(s.ForceScoreUpdate);
    EXPECT_EQ(s.BestBeforeGame, (GameState::StoredBest{"CHARLIE", 0}));
}

// A game whose score table holds DUPONT's best and runs the rule over it, as the real one does over the file.
struct GameWithTable : palinor::testing::GameFixture {
    Byte stored;
    explicit GameWithTable(Byte best) : GameFixture("N"), stored(best)
    {
        onScoreTableLoad = [this] { stored = ReplacementScore(state, "DUPONT", stored).value_or(stored); };
    }
};

TEST(ScoreStore, UndoNeverWipesAnEarlierBestAndStoresTheScoreWithoutTheDisc)
{
    GameWithTable earlier(120);
    earlier.play("432");
    earlier.game.UndoLastMove();
    EXPECT_EQ(earlier.stored, 120);
    EXPECT_FALSE(earlier.state.ForceScoreUpdate);

    GameWithTable g(50);
    g.play(palinor::testing::discs(0, 0, 2, 21)); // 6 + 84 points, no set
    g.onScoreTableLoad();                         // "Tableau des scores" from the menu
    EXPECT_EQ(g.stored, 90);
    g.game.UndoLastMove(); // the last disc was in pocket 4
    EXPECT_EQ(g.stored, 86);
    g.game.EndGame();
    EXPECT_FALSE(g.state.BestBeforeGame); // the player's best is forgotten with the game
}

} // namespace
