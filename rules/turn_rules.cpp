#include "rules/turn_rules.h"

#include <algorithm>

#include "rules/lookups.h"
#include "rules/money.h"

namespace hw {

bool IsOwnPpeok(const GameState& state, int month, int player) {
  return state.Player(player).PlayedCount < 10 && state.Room.SelfPpeokRule != 0 && month >= 1 &&
         month <= 12 && state.PpeokOwner[month] == player;
}

bool NothingToChoose(const GameState& state, int first, int second) {
  const CardRecord& a = state.Card(first);
  const CardRecord& b = state.Card(second);
  return a.Kind == kJunk && b.Kind == kJunk && a.Mark == b.Mark;
}

bool IsJjok(const GameState& state, bool afterHandCard) {
  const TurnState& turn = state.Turn;
  return afterHandCard && turn.HandMatchList.empty() && !turn.FlipMatchList.empty() &&
         turn.PlayedCard != kNoCard &&
         state.Card(turn.PlayedCard).Month == state.Card(turn.FlipMatchList[0]).Month;
}

bool IsTtadak(const TurnState& turn) {
  return turn.HandStackList.size() == 2 && !turn.FlipMatchList.empty() &&
         std::all_of(turn.HandMatchList.begin(), turn.HandMatchList.end(),
                     [&](int c) { return turn.FlipMatchList.contains(c); });
}

std::string FirstPpeokReward(const GameState& state, int player) {
  std::string reward =
      BigMultiply(state.Room.StakeText, std::to_string(state.PlayerInfo.FirstPpeokMultiple));
  const std::string& theirs = state.Player(OpponentOf(player)).Money;
  if (BigCompare(theirs, reward) < 0) reward = BigCompare(theirs, "0") > 0 ? theirs : "0";
  return reward;
}

StealPlan PlanSteal(int n, int doubles, int plains) {
  if (doubles == 0) return {0, n};
  if (plains == 0) {
    switch (n) {
      case 1:
        return {1, 0};
      case 2:
        return {doubles >= 2 ? 1 : 0, 0};
      case 3:
      case 4:
        return {2, 0};
      default:
        return {3, 0};
    }
  }
  switch (n) {
    case 1:
      return {0, 1};
    case 2:
      return {1, 0};
    case 3:
      return {1, 1};
    case 4:
      return doubles == 1 ? StealPlan{1, 2} : StealPlan{2, 0};
    default:
      return doubles == 1 ? StealPlan{1, 3} : StealPlan{2, 1};
  }
}

}  // namespace hw
