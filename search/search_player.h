#pragma once
// The strong computer player (상대 수준 고수): at every choice it looks at what it can see,
// deals the unseen cards at random many times in ways consistent with that, plays each
// sample out with every answer it may give (the written rule list playing both seats from
// there on), and gives the answer that won the most money on average. The same view and
// seed always give the same answer.

#include <cstdint>
#include <memory>

#include "rules/computer_player.h"
#include "search/computer_view.h"
#include "search/quick_table.h"

namespace hw::search {

// The game's own settings, which the portal uses too when it settles a hand against this
// player: both must give the same answers.
struct SearchSettings {
  // Hands played out per decision, shared among its answers (each sample is played with
  // every answer). A decision with one allowed answer plays none.
  int Playouts = 1200;
  std::uint64_t Seed = 0x5eed;
};

// What the player did.
struct SearchFigures {
  long long Decisions = 0;  // every question answered
  long long Searched = 0;   // those with more than one allowed answer
  long long Playouts = 0;
};

class SearchPlayer final : public ComputerPlayer {
 public:
  explicit SearchPlayer(SearchSettings settings = {});
  ~SearchPlayer() override;

  int PlayCard(const GameState& state, int player) override;
  bool Shake(const GameState& state, int player, int card) override;
  int TakeFloorCard(const GameState& state, int player, const FloorChoice& choice) override;
  bool Go(const GameState& state, int player) override;
  int SeptemberAnimal(const GameState& state, int player) override;

  // The answer to a question from a view; all the answers above come from here.
  int Decide(const ComputerView& view, const Question& question);

  const SearchSettings& Settings() const { return settings_; }
  const SearchFigures& Figures() const { return figures_; }

 private:
  int DecideFor(const GameState& state, const Question& question);

  SearchSettings settings_;
  SearchFigures figures_;
  std::unique_ptr<QuickTable> table_;  // where the samples are played out, once needed
  GameState dealt_;                    // the sample being played out
};

// The money the player won (negative: lost) from `before` to the end of `after`, in
// stakes of the room.
double MoneyWon(const GameState& before, const GameState& after, int player);

}  // namespace hw::search
