#include "rules/score.h"

#include "rules/card_table.h"

namespace hw {
namespace {

constexpr CardSet kRainBright = CardsMarked(kMarkRainBright);
// The sets of three: godori's birds and the three colours of ribbons.
constexpr CardSet kGodoriBirds = CardsMarked(kMarkGodoriBird);
constexpr CardSet kRedPoemRibbons = CardsMarked(kMarkRedPoemRibbon);
constexpr CardSet kBlueRibbons = CardsMarked(kMarkBlueRibbon);
constexpr CardSet kGrassRibbons = CardsMarked(kMarkGrassRibbon);
static_assert(CardCount(kGodoriBirds) == 3 && CardCount(kRedPoemRibbons) == 3 &&
              CardCount(kBlueRibbons) == 3 && CardCount(kGrassRibbons) == 3);

bool HasAll(CardSet captured, CardSet set) {
  return (captured & set) == set;
}

// Looked up rather than branched on: the count of brights is chance.
int BrightPoints(CardSet captured, int brights) {
  static constexpr int kPoints[] = {0, 0, 0, 3, 4, 15};
  // Three brights with the rain bright among them score one point less.
  const bool rainy = brights == 3 && (captured & kRainBright) != 0;
  return kPoints[brights] - static_cast<int>(rainy);
}

}  // namespace

// Each pile holds exactly the player's captured cards of its kind, so the marks are
// counted on the player's set of captured cards. Only the September animal changes its
// kind: it is double junk only once it has been moved to the junk pile.
int DoubleJunkCount(const GameState& state, int player) {
  constexpr CardSet kDoubleJunk = CardsMarked(kMarkDoubleJunk);
  return CardCount(state.CardsAt(CapturedBy(player)) & kDoubleJunk & CardsOfKind(state, kJunk));
}

ScoreFigures ComputeScore(const GameState& state, int player) {
  const SeatCardSet& seat = state.SeatOf(player);
  const CardSet captured = state.CardsAt(CapturedBy(player));
  ScoreFigures f;

  const int brights = seat.CapturedCountByKind[kBright];
  f.BrightScore = BrightPoints(captured, brights);
  f.BrightCount = brights;

  const int animals = seat.CapturedCountByKind[kAnimal];
  int animalPoints = animals >= 5 ? animals - 4 : 0;
  f.Godori = HasAll(captured, kGodoriBirds);
  if (f.Godori) animalPoints += 5;
  f.SevenAnimals = animals >= 7 ? 1 : 0;

  const int ribbons = seat.CapturedCountByKind[kRibbon];
  int ribbonPoints = ribbons >= 5 ? ribbons - 4 : 0;
  f.Hongdan = HasAll(captured, kRedPoemRibbons);
  f.Chungdan = HasAll(captured, kBlueRibbons);
  f.Chodan = HasAll(captured, kGrassRibbons);
  ribbonPoints += 3 * (f.Hongdan + f.Chungdan + f.Chodan);

  f.JunkCount = seat.CapturedCountByKind[kJunk];
  f.JunkValue = f.JunkCount + DoubleJunkCount(state, player);
  f.JunkScore = f.JunkValue >= 10 ? f.JunkValue - 9 : 0;

  f.CapturedCount = brights + animals + ribbons + f.JunkCount;
  f.Score = f.BrightScore + animalPoints + ribbonPoints + f.JunkScore;
  return f;
}

}  // namespace hw
