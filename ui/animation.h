#pragma once
// The paths cards take on the board: every position of a single card's glide and of the
// deals, worked out from the card-speed setting. The view walks these positions,
// letting events run between steps; nothing here draws.

#include <vector>

#include "hand/effects.h"
#include "rules/game_state.h"

namespace hw {

struct CardPlacement {
  int Left = 0;
  int Top = 0;
  int Width = kCardWidth;
  int Height = kCardHeight;
};

// One card's glide (MoveCard).
struct MovePlan {
  // With a zoom above 8 the card first grows, staying centred, before it moves.
  bool Zoomed = false;
  CardPlacement ZoomedAt;
  // The positions of the glide, in order: speed + 1 of them (speed 0 counts as 1); none
  // when the card is already where it should go, and then it is not placed again.
  std::vector<BoardPoint> Steps;
  bool Moves = false;
  CardPlacement Final;    // where it ends, exactly, at its final size
  bool ShowFace = false;  // its face is shown at the end
};
MovePlan PlanMove(const MoveRequest& move);

// The step length in pixels of a deal at this card speed.
int DealStepLength(int speed, bool toFloor);

// The deal's steps: the cards take turns, one step each, until all have arrived.
struct DealStep {
  int Index = 0;  // which card of the request
  int Left = 0;
  int Top = 0;
};
std::vector<DealStep> PlanDeal(const DealRequest& deal);

}  // namespace hw
