#pragma once
// What one player can see of a hand: every card on the floor, in the capture piles and in
// its own hand, the cards the opponent has shown (a shake), the counts and scores, and
// which cards are still unseen: those in the opponent's hand and in the draw pile, but
// not which is where. The look-ahead reads nothing else, so it cannot cheat.

#include <cstdint>
#include <vector>

#include "rules/game_state.h"
#include "rules/random.h"

namespace hw::search {

// Where an unseen card lies, in the opponent's hand slots and the draw pile of a view.
inline constexpr int kUnseenCard = -2;

struct ComputerView {
  int Me = kComputer;
  // The hand as the player sees it: unseen cards are in no place (Location kInDrawPile,
  // no picture position, no shake mark), and where they lie, the opponent's hand slots
  // and the draw pile hold kUnseenCard. The deal's order and the opponent's decisions
  // are left out.
  GameState Known;
  std::vector<int> Unseen;  // in card-number order
  int OpponentUnseen = 0;   // how many of them are in the opponent's hand

  friend bool operator==(const ComputerView&, const ComputerView&) = default;
};

// The view of `player` of this state.
ComputerView SeenBy(const GameState& state, int player);

// A state consistent with the view: the unseen cards dealt at random into the opponent's
// hand and the draw pile, the opponent's hand laid out as the game lays it out.
GameState Determinize(const ComputerView& view, GameRandom& chance);
// The same into a state kept for the purpose (its texts' room is used again).
void Determinize(const ComputerView& view, GameRandom& chance, GameState& into);

// A 64-bit digest of the view (equal views have equal digests), to seed a look-ahead.
std::uint64_t Digest(const ComputerView& view);

}  // namespace hw::search
