#pragma once
// After every turn: the player's score recomputed, and what follows from it.

#include "hand/game.h"
#include "rules/score.h"

namespace hw {

// Recomputes the player's points from the four capture piles and stores the figures in
// the player record: brights, animals (godori, seven animals), ribbons (the three
// colour sets) and junk. The first time in a hand a set is complete, its announcement
// plays in the player's voice. The seat's junk label shows the junk value; the player's
// score and the mission marks are redrawn. May be called any number of times.
void CalculateScore(Game& game, int player);

// What follows from the player's new score at the end of a turn, in this order: the
// September animal's role is chosen, Go or Stop is asked (or the hand settled when the
// player has no card left), a hand where nobody could stop is drawn, a third ppeok wins.
// Whether one of them has taken over (the caller then returns at once) or the turn goes
// on to the opponent.
enum class AfterScore { kTurnGoesOn, kTakenOver };
AfterScore DecideAfterScore(Game& game, int player);

}  // namespace hw
