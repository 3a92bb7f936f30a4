#include "rules/score.h"

namespace hw {
namespace {

int BrightPoints(const GameState& state, const SeatCardSet& seat, int brights) {
  switch (brights) {
    case 3: {
      // Three brights with the rain bright among them score one point less.
      for (int i = 0; i < brights; ++i) {
        if (state.Card(seat.Captured[kBright][i]).Mark == kMarkRainBright) return 2;
      }
      return 3;
    }
    case 4:
      return 4;
    case 5:
      return 15;
    default:
      return 0;
  }
}

}  // namespace

ScoreFigures ComputeScore(const GameState& state, int player) {
  const SeatCardSet& seat = state.SeatOf(player);
  ScoreFigures f;

  const int brights = seat.CapturedCountByKind[kBright];
  f.BrightScore = BrightPoints(state, seat, brights);
  f.BrightCount = brights;

  const int animals = seat.CapturedCountByKind[kAnimal];
  int animalPoints = 0;
  if (animals >= 3) {
    animalPoints = animals >= 5 ? animals - 4 : 0;
    int birds = 0;  // the animal pile holds exactly the player's captured animals
    for (int i = 0; i < animals; ++i) {
      birds += state.Card(seat.Captured[kAnimal][i]).Mark == kMarkGodoriBird;
    }
    f.Godori = birds == 3;
    if (f.Godori) animalPoints += 5;
  }
  f.SevenAnimals = animals >= 7 ? 1 : 0;

  const int ribbons = seat.CapturedCountByKind[kRibbon];
  int ribbonPoints = 0;
  if (ribbons >= 3) {
    ribbonPoints = ribbons >= 5 ? ribbons - 4 : 0;
    int redPoem = 0, blue = 0, grass = 0;
    for (int i = 0; i < ribbons; ++i) {
      const int mark = state.Card(seat.Captured[kRibbon][i]).Mark;
      redPoem += mark == kMarkRedPoemRibbon;
      blue += mark == kMarkBlueRibbon;
      grass += mark == kMarkGrassRibbon;
    }
    f.Hongdan = redPoem == 3;
    f.Chungdan = blue == 3;
    f.Chodan = grass == 3;
    ribbonPoints += 3 * (f.Hongdan + f.Chungdan + f.Chodan);
  }

  f.JunkCount = seat.CapturedCountByKind[kJunk];
  for (int i = 0; i < f.JunkCount; ++i) {
    f.JunkValue += state.Card(seat.Captured[kJunk][i]).Mark == kMarkDoubleJunk ? 2 : 1;
  }
  f.JunkScore = f.JunkValue >= 10 ? f.JunkValue - 9 : 0;

  f.CapturedCount = brights + animals + ribbons + f.JunkCount;
  f.Score = f.BrightScore + animalPoints + ribbonPoints + f.JunkScore;
  return f;
}

}  // namespace hw
