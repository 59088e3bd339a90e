#include "game/Board.h"

#include <gtest/gtest.h>

using namespace palinor;

namespace {

// The board after start-up, a disc and an advance is checked on the real window (tests/ui/main).
TEST(Board, PicturesAndCountsStayWithinTheSet)
{
    EXPECT_EQ(pictureIdForCount(0), 100);
    EXPECT_EQ(pictureIdForCount(30), 130);
    EXPECT_THROW(pictureIdForCount(31), LimitError);
    EXPECT_THROW(pictureIdForCount(-1), LimitError);
    GameState impossible;
    impossible.CurrentRound = 1;
    impossible.PocketCounts(1, 2) = 31;
    EXPECT_THROW(ComputeBoard(impossible), LimitError);
}

} // namespace
