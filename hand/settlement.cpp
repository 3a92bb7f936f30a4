#include "hand/settlement.h"

#include "hand/after_turn.h"
#include "hand/score_save.h"
#include "rules/lookups.h"
#include "rules/payout.h"

namespace hw {
namespace {

constexpr std::string_view kRule = "=====================";

void LogMissionLine(Game& game, int multiple) {
  if (multiple < 1) {
    game.Log("미션실패~~");
  } else {
    game.Log({"미션성공으로 x", std::to_string(multiple), " 적용됨"});
  }
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
  for (int player = 0; player < kPlayers; ++player) {
    SaveScore(game, player, player == winner ? HandOutcome::kWon : HandOutcome::kLost, amount,
              missionAchieved == 1);
  }
}

void FillWinnerLines(GameState& state, int winner, HandEnding ending, const Payout& payout) {
  클래스_변수& result = state.Result;
  result.Ending = ending;
  result.HasWinner = true;
  // Written over the last hand's lines, whose room they reuse.
  result.WinnerLine.assign(state.Player(winner).Name).append("님 승리~");
  result.AmountLine.assign(payout.Amount).append("원");
  result.CalculationLine = payout.CalculationLine;
  result.MultiplierLine = payout.MultiplierLine;
  result.LoserLine.assign(state.Player(OpponentOf(winner)).Name)
      .append(" = ")
      .append(payout.Amount)
      .append("-원");
}

}  // namespace

void SettleByStop(Game& game, int winner) {
  GameState& state = game.state;
  for (int player = 0; player < kPlayers; ++player)
    CalculateScore(game, player);

  const Payout payout = ComputePayout(state, winner);
  const bool achieved = payout.Mission.Achieved == 1;
  game.board.DrawMissionNameplate(achieved, achieved ? state.Player(winner).Name : "");

  game.Log(kRule);
  game.Log({"<", state.Player(winner).Name, ">님의 승리! "});
  game.Log({payout.Amount, "원!  난점수(", std::to_string(payout.Points), "점)"});
  LogMissionLine(game, payout.Mission.Multiple);
  game.Log(kRule);
  if (!payout.AllIn.empty()) game.Log(payout.AllIn);

  FillWinnerLines(state, winner, HandEnding::kStop, payout);
  FinishWonHand(game, winner, payout.Amount, payout.Mission.Achieved);
}

void SettleDraw(Game& game) {
  GameState& state = game.state;
  클래스_변수& result = state.Result;
  result.Ending = HandEnding::kDraw;
  result.HasWinner = false;
  result.WinnerLine.clear();
  result.AmountLine.clear();
  result.CalculationLine.clear();
  result.MultiplierLine.clear();
  result.LoserLine.clear();
  game.Window().OpenResultDialog();
  game.Log(kRule);
  game.Log("게임결과 <무승부>");
  game.Log("미션실패~~");
  game.Log(kRule);
  game.Sound("HMM", 0);
  game.Sound("NOWIN", 3);
  for (int player = 0; player < kPlayers; ++player)
    SaveScore(game, player, HandOutcome::kDrawn, "0", false);
}

void SettleSpecialWin(Game& game, int winner, SpecialWin kind) {
  GameState& state = game.state;
  const Payout payout = ComputeSpecialPayout(state, winner, kind);
  const bool chongtong = kind == SpecialWin::kChongtong;
  const std::string& name = state.Player(winner).Name;
  game.Log(kRule);
  game.Log({"<", name, chongtong ? ">님 총통승! " : ">님 3뻑승! "});
  game.Log({payout.Amount, "원 획득!"});
  LogMissionLine(game, payout.Mission.Multiple);
  game.Log(kRule);

  FillWinnerLines(state, winner, chongtong ? HandEnding::kChongtong : HandEnding::kThreePpeok,
                  payout);
  FinishWonHand(game, winner, payout.Amount, payout.Mission.Achieved);
}

}  // namespace hw
