#include "mainwindow/computer_opponents.h"

namespace hw {

ComputerPlayer& ComputerOpponents::For(OpponentLevel level) {
  if (level == OpponentLevel::kSearch) return strong_;
  return WrittenPlayer::Default();
}

void ComputerOpponents::Seat(Game& game) {
  game.computer = &For(game.state.Room.Opponent);
}

}  // namespace hw
