#pragma once
// The score of a player's captured cards.

#include "core/game.h"

namespace hw {

// Recomputes the player's points from the four capture piles and stores the figures in
// the player record: brights, animals (godori, seven animals), ribbons (the three
// colour sets) and junk. The first time in a hand a set is complete, its announcement
// plays in the player's voice. The seat's junk label shows the junk value; the player's
// score and the mission marks are redrawn. May be called any number of times.
void CalculateScore(Game& game, int player);

}  // namespace hw
