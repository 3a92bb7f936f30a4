#include "ui/animation.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace hw {
namespace {

using ::testing::ElementsAre;

MoveRequest Move(int fromX, int fromY, int toX, int toY, int speed, int zoom = 0) {
  MoveRequest move;
  move.Card = 5;
  move.FromX = fromX;
  move.FromY = fromY;
  move.ToX = toX;
  move.ToY = toY;
  move.Speed = speed;
  move.Zoom = zoom;
  return move;
}

TEST(MovePlanTest, StepsFollowTheLongerAxis) {
  // 40 across, 10 down in 4 steps of 10: the shorter axis moves a step whenever the
  // error reaches 40.
  const MovePlan plan = PlanMove(Move(100, 100, 140, 110, 4));
  ASSERT_TRUE(plan.Moves);
  EXPECT_THAT(plan.Steps,
              ElementsAre(BoardPoint{100, 100}, BoardPoint{110, 100}, BoardPoint{120, 100},
                          BoardPoint{130, 110}, BoardPoint{140, 110}));
  EXPECT_EQ(plan.Final.Left, 140);
  EXPECT_EQ(plan.Final.Top, 110);

  const MovePlan up = PlanMove(Move(50, 300, 50, 100, 80));
  EXPECT_EQ(up.Steps.size(), 81u) << "speed + 1 positions";
  EXPECT_EQ(up.Steps[1].Top, 298) << "297.5 after one step of 2.5, rounded";
  EXPECT_EQ(up.Steps.back().Top, 100);
}

TEST(MovePlanTest, SpeedsZeroAndOneTakeTwoPositions) {
  for (const int speed : {0, 1}) {
    const MovePlan plan = PlanMove(Move(10, 20, 310, 120, speed));
    EXPECT_THAT(plan.Steps, ElementsAre(BoardPoint{10, 20}, BoardPoint{310, 20})) << speed;
    EXPECT_EQ(plan.Final.Left, 310);
    EXPECT_EQ(plan.Final.Top, 120) << "then placed exactly";
  }
}

TEST(MovePlanTest, AMoveToItsOwnPlaceDoesNotMove) {
  const MovePlan plan = PlanMove(Move(227, 175, 227, 175, 80));
  EXPECT_FALSE(plan.Moves);
  EXPECT_TRUE(plan.Steps.empty());
  EXPECT_FALSE(plan.ShowFace);
}

TEST(MovePlanTest, AZoomAbove8EnlargesTheCardCentred) {
  const MovePlan eight = PlanMove(Move(100, 100, 200, 200, 10, 8));
  EXPECT_FALSE(eight.Zoomed);
  const MovePlan nine = PlanMove(Move(100, 100, 200, 200, 10, 9));
  ASSERT_TRUE(nine.Zoomed);
  EXPECT_EQ(nine.ZoomedAt.Width, 45);
  EXPECT_EQ(nine.ZoomedAt.Height, 68);
  EXPECT_EQ(nine.ZoomedAt.Left, 96);
  EXPECT_EQ(nine.ZoomedAt.Top, 94);
  EXPECT_TRUE(nine.ShowFace) << "a zoomed card shows its face at the end";
}

TEST(DealPlanTest, StepLengthsFollowTheCardSpeed) {
  EXPECT_EQ(DealStepLength(60, false), 40);
  EXPECT_EQ(DealStepLength(61, false), 30);
  EXPECT_EQ(DealStepLength(120, false), 30);
  EXPECT_EQ(DealStepLength(121, false), 20);
  EXPECT_EQ(DealStepLength(181, false), 10);
  EXPECT_EQ(DealStepLength(40, true), 40);
  EXPECT_EQ(DealStepLength(41, true), 30);
  EXPECT_EQ(DealStepLength(61, true), 30);
  EXPECT_EQ(DealStepLength(81, true), 20);
  EXPECT_EQ(DealStepLength(121, true), 10);
}

TEST(DealPlanTest, CardsTakeTurnsUntilEachHasArrived) {
  DealRequest deal;
  deal.Speed = 41;  // 30-pixel steps on the floor
  deal.ToFloor = true;
  deal.Cards = {{0, 258, 255, 318, 255}, {1, 258, 255, 258, 195}};
  const std::vector<DealStep> steps = PlanDeal(deal);
  std::vector<std::vector<int>> seen;
  for (const DealStep& s : steps)
    seen.push_back({s.Index, s.Left, s.Top});
  // Each card travels 60 pixels: positions at 0, 30 and 60 along its axis.
  EXPECT_EQ(seen, (std::vector<std::vector<int>>{{0, 258, 255},
                                                 {1, 258, 255},
                                                 {0, 288, 255},
                                                 {1, 258, 225},
                                                 {0, 318, 255},
                                                 {1, 258, 195}}));
}

}  // namespace
}  // namespace hw
