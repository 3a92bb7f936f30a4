#include "rules/game_state.h"

namespace hw {

GameState::GameState() {
  PpeokOwner.fill(-1);
  StackMonthTag.fill(-1);
  for (SeatCardSet& seat : SeatCards) {
    seat.Hand.fill(kNoCard);
    for (auto& pile : seat.Captured)
      pile.fill(kNoCard);
  }
}

}  // namespace hw
