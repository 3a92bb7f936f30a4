#include "hand/settlement.h"

#include "hand/after_turn.h"
#include "hand/score_save.h"
#include "rules/lookups.h"
#include "rules/missions_ranks.h"
#include "rules/money.h"

namespace hw {
namespace {

constexpr std::string_view kRule = "=====================";

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

std::string MissionLine(int multiple) {
  return multiple < 1 ? "미션실패~~" : "미션성공으로 x" + std::to_string(multiple) + " 적용됨";
}

std::string Unsigned(std::string amount) {
  if (amount.starts_with("-")) amount.erase(0, 1);
  return amount;
}

// The result dialog opens; the winner's voice and fanfare; every player's score save.
void FinishWonHand(Game& game, int winner, const std::string& amount, int missionAchieved) {
  GameState& state = game.state;
  game.Window().OpenResultDialog();
  const std::string& voice = state.Player(winner).VoiceFolder;
  if (winner == kHuman) {
    game.Sound("GOOD", 0, voice);
    game.Sound("WINNER", 3);
  } else {
    game.Sound("NOTGOOD", 0, voice);
    game.Sound("LOSE", 3);
  }
  const std::string flag = std::to_string(missionAchieved);
  for (int player = 0; player < kPlayers; ++player) {
    SaveScore(game, player, player == winner ? "W" : "L", amount, flag);
  }
}

void FillWinnerLines(GameState& state, int winner, const std::string& amount,
                     std::string calculation, std::string multipliers) {
  클래스_변수& result = state.Result;
  result.m_결과구분 = -1;
  result.m_결과승자문자1 = state.Player(winner).Name + "님 승리~";
  result.m_결과승자문자2 = amount + "원";
  result.m_결과승자문자3 = std::move(calculation);
  result.m_결과승자문자4 = std::move(multipliers);
  result.m_결과패자문자 = state.Player(OpponentOf(winner)).Name + " = " + amount + "-" + "원";
}

}  // namespace

void SettleByStop(Game& game, int winner) {
  GameState& state = game.state;
  for (int player = 0; player < kPlayers; ++player)
    CalculateScore(game, player);

  const MissionResult mission = MissionAchieved(state, winner);
  game.board.DrawMissionNameplate(mission.Achieved == 1,
                                  mission.Achieved == 1 ? state.Player(winner).Name : "");

  Multiplied m = GoShakeAndAnimals(state.Player(winner));
  if (mission.Multiple > 0) m.points *= mission.Multiple;
  m.points = WithPenalties(state, winner, m.points);

  std::string amount = BigMultiply(std::to_string(m.points), state.Room.StakeText);
  std::string allIn;
  for (int loser = 0; loser < kPlayers; ++loser) {
    if (loser == winner) continue;
    const PlayerRecord& l = state.Player(loser);
    if (BigCompare(l.Money, amount) < 0) {
      amount = BigAdd(l.Money, "0");  // the loser's money, as a plain number
      allIn = "<" + l.Name + ">님의 올인으로 남은점수만 지급됩니다";
    }
  }
  amount = Unsigned(amount);

  game.Log(kRule);
  game.Log("<" + state.Player(winner).Name + ">님의 승리! ");
  game.Log(amount + "원!  난점수(" + std::to_string(m.points) + "점)");
  game.Log(MissionLine(mission.Multiple));
  game.Log(kRule);
  if (!allIn.empty()) game.Log(allIn);

  FillWinnerLines(state, winner, amount,
                  std::to_string(m.points) + " x " + state.Room.StakeText + "원", m.text);
  FinishWonHand(game, winner, amount, mission.Achieved);
}

void SettleDraw(Game& game) {
  GameState& state = game.state;
  클래스_변수& result = state.Result;
  result.m_결과구분 = 0;
  result.m_결과승자문자1.clear();
  result.m_결과승자문자2.clear();
  result.m_결과승자문자3.clear();
  result.m_결과승자문자4.clear();
  result.m_결과패자문자.clear();
  game.Window().OpenResultDialog();
  game.Log(kRule);
  game.Log("게임결과 <무승부>");
  game.Log("미션실패~~");
  game.Log(kRule);
  game.Sound("HMM", 0);
  game.Sound("NOWIN", 3);
  for (int player = 0; player < kPlayers; ++player)
    SaveScore(game, player, "D", "0", "0");
}

void SettleSpecialWin(Game& game, int winner, char kind) {
  GameState& state = game.state;
  std::string amount =
      BigMultiply(state.Room.StakeText, std::to_string(state.PlayerInfo.ChongtongMultiple));
  const MissionResult mission = MissionAchieved(state, winner);
  if (mission.Multiple > 0) amount = BigMultiply(amount, std::to_string(mission.Multiple));
  for (int loser = 0; loser < kPlayers; ++loser) {
    if (loser == winner) continue;
    if (BigCompare(state.Player(loser).Money, amount) < 0) {
      amount = BigAdd(state.Player(loser).Money, "0");
      break;  // the first poorer loser decides
    }
  }
  amount = Unsigned(amount);

  const std::string& name = state.Player(winner).Name;
  game.Log(kRule);
  game.Log("<" + name + (kind == 'C' ? ">님 총통승! " : ">님 3뻑승! "));
  game.Log(amount + "원 획득!");
  game.Log(MissionLine(mission.Multiple));
  game.Log(kRule);

  FillWinnerLines(state, winner, amount, kind == 'C' ? "총통으로 승리" : "3뻑으로 승리", "");
  FinishWonHand(game, winner, amount, mission.Achieved);
}

std::string StopNowAmount(const GameState& state) {
  const int human = PlayerByName(state, state.PlayerInfo.Name);
  const int points = WithPenalties(state, human, GoShakeAndAnimals(state.Player(human)).points);
  return BigMultiply(std::to_string(points), state.Room.StakeText);
}

void ShowSpecialCards(Game& game, int player, int month) {
  GameState& state = game.state;
  if (game.Window().IsMinimised()) return;
  클래스_변수& result = state.Result;
  result.m_결과특별 = 0;
  result.m_결과특별별명 = state.Player(player).Name;
  for (int i = 0; i < 4; ++i)
    result.m_결과특별화투[i] = 4 * (month - 1) + i;
  game.Window().OpenCommonDialog();
  game.Sound("CHONG", 3);
  game.loop.WaitSeconds(2.0);
  game.Window().CloseDialog(DialogKind::kCommon);
}

void ShowShakeCards(Game& game, int player, int card) {
  GameState& state = game.state;
  if (game.Window().IsMinimised()) return;
  클래스_변수& result = state.Result;
  result.m_결과특별 = -1;
  result.m_결과특별별명 = state.Player(player).Name;
  result.m_결과특별화투.fill(kNoCard);
  const int month = state.Card(card).Month;
  int shown = 0;
  for (int c = 0; c < kMonthCards && shown < 3; ++c) {
    if (state.Card(c).Month == month && state.Card(c).Location == player) {
      result.m_결과특별화투[shown++] = c;
    }
  }
  game.Window().OpenCommonDialog();
  game.Sound("WAVE", 3);
  game.loop.WaitSeconds(2.0);
  game.Window().CloseDialog(DialogKind::kCommon);
}

}  // namespace hw
