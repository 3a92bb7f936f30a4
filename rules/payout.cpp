#include "rules/payout.h"

#include "rules/lookups.h"
#include "rules/money.h"

namespace hw {
namespace {

// The winner's points with Go, shake and seven animals, and the text that names them.
struct Multiplied {
  int points = 0;
  std::string text;
};

Multiplied GoShakeAndAnimals(const PlayerRecord& winner) {
  Multiplied m{winner.Score + winner.GoCount, ""};  // each Go adds a point
  if (winner.GoCount >= 1) m.text += "고(" + std::to_string(winner.GoCount) + "회) ";
  if (winner.GoCount >= 3) m.points <<= winner.GoCount - 2;
  if (winner.ShakeCount >= 1) {
    m.text += "흔듬(" + std::to_string(winner.ShakeCount) + "회) ";
    m.points <<= winner.ShakeCount;
  }
  if (winner.SevenAnimals == 1) {
    m.text += "(멍따) ";
    m.points *= 2;
  }
  return m;
}

// Gwang-bak and pi-bak double the points against each loser who captured anything.
int WithPenalties(const GameState& state, int winner, int points) {
  const PlayerRecord& w = state.Player(winner);
  for (int loser = 0; loser < kPlayers; ++loser) {
    if (loser == winner) continue;
    const PlayerRecord& l = state.Player(loser);
    if (l.CapturedCount < 1) continue;
    if (w.BrightScore >= 2 && l.BrightCount == 0) points *= 2;
    if (w.JunkScore >= 1 && l.JunkCount >= 1 && l.JunkValue < 7) points *= 2;
  }
  return points;
}

std::string_view Unsigned(std::string_view amount) {
  if (amount.starts_with('-')) amount.remove_prefix(1);
  return amount;
}

}  // namespace

Payout ComputePayout(const GameState& state, int winner) {
  Payout payout;
  payout.Mission = MissionAchieved(state, winner);
  Multiplied m = GoShakeAndAnimals(state.Player(winner));
  if (payout.Mission.Multiple > 0) m.points *= payout.Mission.Multiple;
  payout.Points = WithPenalties(state, winner, m.points);
  payout.MultiplierLine = m.text;

  std::string amount = BigMultiply(std::to_string(payout.Points), state.Room.StakeText);
  for (int loser = 0; loser < kPlayers; ++loser) {
    if (loser == winner) continue;
    const PlayerRecord& l = state.Player(loser);
    if (BigCompare(l.Money, amount) < 0) {
      amount = BigAdd(l.Money, "0");  // the loser's money, as a plain number
      payout.AllIn = "<" + l.Name + ">님의 올인으로 남은점수만 지급됩니다";
    }
  }
  payout.Amount = Unsigned(amount);
  payout.CalculationLine.append(std::to_string(payout.Points))
      .append(" x ")
      .append(state.Room.StakeText)
      .append("원");
  return payout;
}

Payout ComputeSpecialPayout(const GameState& state, int winner, SpecialWin kind) {
  Payout payout;
  payout.Mission = MissionAchieved(state, winner);
  std::string amount =
      BigMultiply(state.Room.StakeText, std::to_string(state.PlayerInfo.ChongtongMultiple));
  if (payout.Mission.Multiple > 0) {
    amount = BigMultiply(amount, std::to_string(payout.Mission.Multiple));
  }
  for (int loser = 0; loser < kPlayers; ++loser) {
    if (loser == winner) continue;
    if (BigCompare(state.Player(loser).Money, amount) < 0) {
      amount = BigAdd(state.Player(loser).Money, "0");
      break;  // the first poorer loser decides
    }
  }
  payout.Amount = Unsigned(amount);
  payout.CalculationLine = kind == SpecialWin::kChongtong ? "총통으로 승리" : "3뻑으로 승리";
  return payout;
}

std::string StopNowAmount(const GameState& state) {
  const int human = PlayerByName(state, state.PlayerInfo.Name);
  const int points = WithPenalties(state, human, GoShakeAndAnimals(state.Player(human)).points);
  return BigMultiply(std::to_string(points), state.Room.StakeText);
}

}  // namespace hw
