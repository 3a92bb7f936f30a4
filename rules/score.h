#pragma once
// The score of a player's captured cards: brights, animals (godori, seven animals),
// ribbons (the three colour sets) and junk.

#include "rules/game_state.h"

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
// The double junk cards in the player's junk pile.
int DoubleJunkCount(const GameState& state, int player);

}  // namespace hw
