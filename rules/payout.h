#pragma once
// What the winner of a hand is paid: his points with every multiplier, the amount in won
// (capped at what the loser owns), and the texts that say how it came about. Nothing is
// paid here; the settlement applies and announces it.

#include <string>

#include "rules/game_state.h"
#include "rules/missions_ranks.h"

namespace hw {

// A hand won at once, before anyone stopped.
enum class SpecialWin { kChongtong, kThreePpeok };

struct Payout {
  int Points = 0;         // with Go, shake, seven animals, the mission and the losers' penalties
  std::string Amount;     // won, without a sign
  MissionResult Mission;  // the winner's mission
  std::string CalculationLine;  // "<points> x <stake>원", or how a special win was won
  std::string MultiplierLine;   // "고(2회) 흔듬(1회) (멍따) ", what multiplied the points
  std::string AllIn;  // "<loser>님의 올인으로 …" when a loser could not pay it all
};

// A hand ended by a Stop (or by seven points with no card left): the winner's score
// (+1 a Go, doubled from the third Go on, for each shake and for seven animals), times
// the mission's multiple, doubled against a loser without brights (gwang-bak) or with
// too little junk (pi-bak), times the stake.
Payout ComputePayout(const GameState& state, int winner);
// Chongtong or a third ppeok: a fixed number of stakes, times the mission's multiple.
Payout ComputeSpecialPayout(const GameState& state, int winner, SpecialWin kind);
// What the human would win by stopping now (before the mission and the all-in cap).
std::string StopNowAmount(const GameState& state);

}  // namespace hw
