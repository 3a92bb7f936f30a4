#pragma once
// The questions a turn asks of the table, and the amounts it moves: who owns a ppeok,
// whether a flip makes jjok or ttadak, whether a choice between two floor cards is a real
// one, the first ppeok's reward, and which junk cards a steal takes. Values in, values
// out; the turn's flow (hand/turn.h) acts on the answers.

#include <string>

#include "rules/game_state.h"

namespace hw {

// The month's ppeok was the player's own (and counts as self-ppeok): only before his
// last card, and while the house plays self-ppeok.
bool IsOwnPpeok(const GameState& state, int month, int player);

// Two floor cards to choose from that are junk of the same kind: nothing to choose, the
// first is taken.
bool NothingToChoose(const GameState& state, int first, int second);

// The flipped card, with one match on the floor, lands on the card the player has just
// laid on an empty spot: jjok.
bool IsJjok(const GameState& state, bool afterHandCard);

// The played card took one of two floor cards of its month, and the flip brings the
// fourth: ttadak.
bool IsTtadak(const TurnState& turn);

// What a ppeok on the player's first turn wins from the opponent: the first-ppeok multiple
// of stakes, at most what the opponent owns (never below 0).
std::string FirstPpeokReward(const GameState& state, int player);

// How many double and plain junk cards a steal of n junk points takes from a pile holding
// `doubles` double and `plains` plain junk cards.
struct StealPlan {
  int doubles = 0;
  int plains = 0;
};
StealPlan PlanSteal(int n, int doubles, int plains);

}  // namespace hw
