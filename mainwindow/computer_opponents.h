#pragma once
// The computer's two levels of play (상대 수준) in the game: the written rule list (보통)
// and one search player (고수), and which of them the hand asks. The room's level is
// chosen between hands only, so the player never changes while a hand runs.

#include "hand/game.h"
#include "rules/computer_player.h"
#include "rules/game_state.h"
#include "search/search_player.h"

namespace hw {

class ComputerOpponents {
 public:
  // The player of a level; any number outside the two is the written player.
  ComputerPlayer& For(OpponentLevel level);
  // Gives the game its search player and makes the player of the room's level the one
  // it asks for the computer's moves (every deal seats the level again).
  void Seat(Game& game);

  search::SearchPlayer& Strong() { return strong_; }

 private:
  // With the default settings only: the portal settles the hands played against it with
  // the same ones, and the answers must agree.
  search::SearchPlayer strong_;
};

}  // namespace hw
