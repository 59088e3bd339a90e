#include "RecordingWindows.h"

#include <gtest/gtest.h>

using namespace palinor;
using palinor::testing::GameFixture;

namespace {

TEST(Board, IdleBoardAfterLoad)
{
    GameFixture f;
    const BoardView& b = f.windows.lastBoard();
    EXPECT_FALSE(b.undoEnabled);
    EXPECT_EQ(b.pictureIds, (std::array<int, 5>{130, 100, 100, 100, 100}));
    EXPECT_EQ(b.label2Colors[1], kRed);
    EXPECT_EQ(b.label2Colors[2], kLightOrange);
    EXPECT_EQ(b.label2Colors[3], kLightOrange);
    EXPECT_EQ(b.label2Colors[4], kLightOrange);
    EXPECT_EQ(b.captionedRound, 1);
    EXPECT_EQ(b.roundCaption, "MANCHE 1 : 0");
    EXPECT_EQ(b.scoreCaption, "SCORE : 0");
    // The load sets the player label and colours round 1 before the first refresh.
    EXPECT_EQ(f.windows.calls,
              (std::vector<std::string>{"caption Label1 JOUEUR : ", "color Label2(1) 255,0,0", "board"}));
}

TEST(Board, OneDiscInPocketFour)
{
    GameFixture f;
    f.startGame();
    f.play("4");
    const BoardView& b = f.windows.lastBoard();
    EXPECT_TRUE(b.undoEnabled);
    EXPECT_EQ(b.pictureIds, (std::array<int, 5>{129, 100, 100, 100, 101}));
    EXPECT_EQ(b.roundCaption, "MANCHE 1 : 4");
    EXPECT_EQ(b.scoreCaption, "SCORE : 4");
    EXPECT_EQ(b.discsInPockets, 1);
}

TEST(Board, AdvanceCarriesCountsAndRedColourMoves)
{
    GameFixture f;
    f.startGame();
    f.playCounts(3, 0, 2, 5);
    f.nextRound();
    const BoardView& b = f.windows.lastBoard();
    EXPECT_EQ(b.pictureIds, (std::array<int, 5>{120, 103, 100, 102, 105}));
    EXPECT_EQ(b.label2Colors[1], kLightOrange);
    EXPECT_EQ(b.label2Colors[2], kRed);
    EXPECT_EQ(b.captionedRound, 2);
    EXPECT_EQ(b.roundCaption, "MANCHE 2 : 29");
    EXPECT_EQ(b.scoreCaption, "SCORE : 29");
}

TEST(Board, PictureIdsStayWithinTheSet)
{
    EXPECT_EQ(pictureIdForCount(0), 100);
    EXPECT_EQ(pictureIdForCount(30), 130);
    EXPECT_THROW(pictureIdForCount(31), LimitError);
    EXPECT_THROW(pictureIdForCount(-1), LimitError);

    GameState impossible;
    impossible.CurrentRound = 1;
    impossible.MoveCount = 1;
    impossible.PocketCounts(1, 2) = 31;
    EXPECT_THROW(ComputeBoard(impossible), LimitError);
}

} // namespace
