#include "hand/settlement.h"

#include "hand/after_turn.h"
#include "hand/score_save.h"
#include "rules/lookups.h"
#include "rules/payout.h"

namespace hw {
namespace {

constexpr std::string_view kRule = "=====================";

std::string MissionLine(int multiple) {
  return multiple < 1 ? "미션실패~~" : "미션성공으로 x" + std::to_string(multiple) + " 적용됨";
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
  result.WinnerLine = state.Player(winner).Name + "님 승리~";
  result.AmountLine = payout.Amount + "원";
  result.CalculationLine = payout.CalculationLine;
  result.MultiplierLine = payout.MultiplierLine;
  result.LoserLine = state.Player(OpponentOf(winner)).Name + " = " + payout.Amount + "-" + "원";
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
  game.Log("<" + state.Player(winner).Name + ">님의 승리! ");
  game.Log(payout.Amount + "원!  난점수(" + std::to_string(payout.Points) + "점)");
  game.Log(MissionLine(payout.Mission.Multiple));
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
  game.Log("<" + name + (chongtong ? ">님 총통승! " : ">님 3뻑승! "));
  game.Log(payout.Amount + "원 획득!");
  game.Log(MissionLine(payout.Mission.Multiple));
  game.Log(kRule);

  FillWinnerLines(state, winner, chongtong ? HandEnding::kChongtong : HandEnding::kThreePpeok,
                  payout);
  FinishWonHand(game, winner, payout.Amount, payout.Mission.Achieved);
}

void ShowSpecialCards(Game& game, int player, int month) {
  GameState& state = game.state;
  if (game.Window().IsMinimised()) return;
  클래스_변수& result = state.Result;
  result.ShownAreShake = false;
  result.ShownOwner = state.Player(player).Name;
  for (int i = 0; i < 4; ++i)
    result.ShownCards[i] = 4 * (month - 1) + i;
  game.Window().OpenCommonDialog();
  game.Sound("CHONG", 3);
  game.loop.WaitSeconds(2.0);
  game.Window().CloseDialog(DialogKind::kCommon);
}

void ShowShakeCards(Game& game, int player, int card) {
  GameState& state = game.state;
  if (game.Window().IsMinimised()) return;
  클래스_변수& result = state.Result;
  result.ShownAreShake = true;
  result.ShownOwner = state.Player(player).Name;
  result.ShownCards.fill(kNoCard);
  const int month = state.Card(card).Month;
  int shown = 0;
  for (int c = 0; c < kMonthCards && shown < 3; ++c) {
    if (state.Card(c).Month == month && state.Card(c).Location == player) {
      result.ShownCards[shown++] = c;
    }
  }
  game.Window().OpenCommonDialog();
  game.Sound("WAVE", 3);
  game.loop.WaitSeconds(2.0);
  game.Window().CloseDialog(DialogKind::kCommon);
}

}  // namespace hw
