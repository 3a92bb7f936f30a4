#include "mainwindow/computer_opponents.h"

namespace hw {

ComputerPlayer& ComputerOpponents::For(OpponentLevel level) {
  if (level == OpponentLevel::kSearch) return strong_;
  return WrittenPlayer::Default();
}

void ComputerOpponents::Seat(Game& game) {
  game.levels[static_cast<std::size_t>(OpponentLevel::kSearch)] = &strong_;
  game.SeatComputerOfLevel();
}

}  // namespace hw
