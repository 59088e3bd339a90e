#include "game/Board.h"
#include "game/Scoring.h"

#include <gtest/gtest.h>

using namespace palinor;

namespace {

TEST(Scoring, AddsWeightsAndTenPerCompleteSet)
{
    // Pockets 1 to 4, then the score: the worked examples of the rules.
    const int examples[][5] = {{0, 0, 0, 0, 0},   {4, 0, 0, 0, 4},   {1, 1, 1, 1, 20},  {1, 2, 3, 4, 40},
                               {3, 0, 2, 5, 29},  {2, 3, 4, 5, 60},  {5, 6, 7, 8, 120}, {0, 0, 0, 30, 120},
                               {8, 8, 7, 7, 143}, {7, 7, 7, 9, 148}, {51, 0, 0, 0, 51}};
    for (const auto& e : examples) {
        EXPECT_EQ(ScoreOf(Byte(e[0]), Byte(e[1]), Byte(e[2]), Byte(e[3])), e[4])
            << e[0] << e[1] << e[2] << e[3];
    }
}

TEST(Scoring, BeyondAByteOrThePictureSetIsAnErrorNotAWrap)
{
    EXPECT_THROW(ScoreOf(0, 0, 0, 64), LimitError);
    EXPECT_THROW(ScoreOf(30, 30, 30, 30), LimitError);
    EXPECT_EQ(pictureIdForCount(0), 100);
    EXPECT_EQ(pictureIdForCount(30), 130);
    EXPECT_THROW(pictureIdForCount(31), LimitError);
    EXPECT_THROW(pictureIdForCount(-1), LimitError);
    EXPECT_THROW(Label2(0), LimitError);
    EXPECT_THROW(Label2(5), LimitError);
    GameState impossible;
    impossible.CurrentRound = 1;
    impossible.PocketCounts(1, 2) = 31;
    EXPECT_THROW(ComputeBoard(impossible), LimitError);
}

} // namespace
