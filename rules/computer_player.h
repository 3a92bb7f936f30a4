#pragma once
// The computer's choices: which card to play and whether to go on. A rule list that
// looks only at the table as it is; it never changes it and draws nothing at random.

#include "rules/game_state.h"

namespace hw {

// A card number to play, or -1 for one of the player's bomb cards. Asked for the
// computer's every turn and for a human whose time ran out: the human plays the lowest
// real card, else the lowest service card, else a bomb card (0 when there is nothing).
int ChooseCard(const GameState& state, int player);

// -1 Go, 0 Stop: the computer goes on while the human has 4 points or less, or holds a
// card that matches the floor.
int ChooseGoOrStop(const GameState& state, int player);

// The lowest-indexed bomb card the player may still play, or -1.
int FirstAvailableBombCard(const GameState& state, int player);

}  // namespace hw
