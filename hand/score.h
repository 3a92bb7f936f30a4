#pragma once
// The score of a player's captured cards.

#include "hand/game.h"

namespace hw {

// A player's points and figures as the capture piles give them.
struct ScoreFigures {
  int BrightCount = 0;
  int BrightScore = 0;
  int SevenAnimals = 0;
  int JunkCount = 0;
  int JunkValue = 0;
  int JunkScore = 0;
  int CapturedCount = 0;
  int Score = 0;
  // The sets that are complete.
  bool Godori = false;
  bool Hongdan = false;
  bool Chungdan = false;
  bool Chodan = false;
};
ScoreFigures ComputeScore(const GameState& state, int player);

// Recomputes the player's points from the four capture piles and stores the figures in
// the player record: brights, animals (godori, seven animals), ribbons (the three
// colour sets) and junk. The first time in a hand a set is complete, its announcement
// plays in the player's voice. The seat's junk label shows the junk value; the player's
// score and the mission marks are redrawn. May be called any number of times.
void CalculateScore(Game& game, int player);

// What follows from the player's new score at the end of a turn, in this order: the
// September animal's role is chosen, Go or Stop is asked (or the hand settled when the
// player has no card left), a hand where nobody could stop is drawn, a third ppeok wins.
// Returns -1 when none of these applies and the turn carries on, 0 when one of them has
// taken over (the caller then returns at once).
int DecideAfterScore(Game& game, int player);

}  // namespace hw
