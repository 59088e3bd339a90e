#include "game/Scoring.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace palinor;

namespace {

struct Example {
    int p1, p2, p3, p4, score;
};

class ScoringExamples : public ::testing::TestWithParam<Example> {};

TEST_P(ScoringExamples, AddsWeightsAndTenPerCompleteSet)
{
    const Example e = GetParam();
    EXPECT_EQ(ScoreOf(e.p1, e.p2, e.p3, e.p4), e.score);
}

INSTANTIATE_TEST_SUITE_P(WorkedExamples, ScoringExamples,
                         ::testing::Values(Example{0, 0, 0, 0, 0}, Example{4, 0, 0, 0, 4},
                                           Example{1, 1, 1, 1, 20}, Example{1, 2, 3, 4, 40},
                                           Example{3, 0, 2, 5, 29}, Example{2, 3, 4, 5, 60},
                                           Example{5, 6, 7, 8, 120}, Example{0, 0, 0, 30, 120},
                                           Example{8, 8, 7, 7, 143}, Example{7, 7, 7, 9, 148}));

TEST(Scoring, SetsAreTheSmallestCountWhicheverPocketHoldsIt)
{
    EXPECT_EQ(ScoreOf(2, 5, 5, 5), 67);
    EXPECT_EQ(ScoreOf(5, 5, 5, 2), 58);
    EXPECT_EQ(ScoreOf(3, 3, 9, 3), 78);
    EXPECT_EQ(ScoreOf(2, 2, 4, 4), 54);
}

TEST(Scoring, NoThirtyDiscsScoreMoreThan148)
{
    int best = 0;
    for (int a = 0; a <= 30; ++a) {
        for (int b = 0; a + b <= 30; ++b) {
            for (int c = 0; a + b + c <= 30; ++c) {
                const int d = 30 - a - b - c;
                best = std::max<int>(best, ScoreOf(a, b, c, d));
            }
        }
    }
    EXPECT_EQ(best, 148);
}

TEST(Scoring, ScoreBeyondAByteIsAnErrorNotAWrap)
{
    EXPECT_EQ(ScoreOf(51, 0, 0, 0), 51);
    EXPECT_THROW(ScoreOf(0, 0, 0, 64), LimitError);
    EXPECT_THROW(ScoreOf(30, 30, 30, 30), LimitError);
}

TEST(Scoring, RecomputeLeavesEarlierRoundsAndFollowsTheCurrentOne)
{
    GameState state;
    state.CurrentRound = 2;
    state.PocketCounts(1, 1) = 3;
    state.PocketCounts(1, 3) = 2;
    state.PocketCounts(1, 4) = 5;
    for (int p = 1; p <= 4; ++p) {
        state.PocketCounts(2, p) = state.PocketCounts(1, p);
    }
    state.PocketCounts(2, 2) = 1;
    RecomputeScores(state);
    EXPECT_EQ(state.RoundScores(1), 29);
    EXPECT_EQ(state.RoundScores(2), 41);
    EXPECT_EQ(state.RoundScores(3), 0);
    EXPECT_EQ(state.CurrentScore, 41);
}

} // namespace
