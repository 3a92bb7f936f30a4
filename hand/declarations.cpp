#include "hand/declarations.h"

#include <algorithm>
#include <bit>
#include <string_view>

#include "hand/after_turn.h"
#include "hand/capture.h"
#include "hand/moves.h"
#include "hand/settlement.h"
#include "hand/turn.h"
#include "rules/lookups.h"

namespace hw {
namespace {

bool Idle(const Game& game) {
  return !game.state.Room.HandRunning;
}

// The first month (1..12) of which all four cards lie on the floor or in a player's hand.
int MonthOfFour(const GameState& state, int location) {
  // A month's four cards are numbered together: bit 0 of its four stays set when all are.
  const CardSet cards = state.CardsAt(location) & kMonthCardSet;
  const CardSet complete = cards & cards >> 1 & cards >> 2 & cards >> 3 & kMonthLowBits;
  return complete == 0 ? 0 : std::countr_zero(complete) / 4 + 1;
}

// After a declaration the hand is laid out again and the opponent plays.
void OpponentsTurn(Game& game, int player) {
  LayOutHand(game, player);
  BeginTurn(game, OpponentOf(player));
}

}  // namespace

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

void CallGo(Game& game, int player) {
  GameState& state = game.state;
  if (Idle(game)) return;
  game.Window().CloseDialog(DialogKind::kGoStop);
  PlayerRecord& who = state.Player(player);
  ++who.GoCount;
  who.ScoreAtLastGo = who.Score;
  state.Room.LastGoPlayer = player;
  game.board.DrawPlayerStatus(player);
  game.Log({"[", who.Name, "]님 <", std::to_string(who.GoCount), "고>(",
            std::to_string(who.ScoreAtLastGo), "점)"});
  static constexpr std::string_view kGoVoices[] = {"GO1", "GO2", "GO3", "GO4", "GO5"};
  game.Sound(kGoVoices[std::min(who.GoCount, 5) - 1], 0, who.VoiceFolder);
  game.board.ShowGoEffect(who.GoCount);
  OpponentsTurn(game, player);
}

void CallStop(Game& game, int player) {
  GameState& state = game.state;
  if (Idle(game)) return;
  game.Window().CloseDialog(DialogKind::kGoStop);
  const PlayerRecord& who = state.Player(player);
  game.Sound("STOP", 4, who.VoiceFolder);
  game.loop.WaitSeconds(1.0);
  game.Log({"[", who.Name, "]님 스톱(", std::to_string(who.Score), "점)"});
  SettleByStop(game, player);
}

void DeclareShake(Game& game, int player, int card) {
  GameState& state = game.state;
  game.Window().CloseDialog(DialogKind::kShake);
  if (Idle(game)) return;
  PlayerRecord& who = state.Player(player);
  ++who.ShakeCount;
  game.board.DrawPlayerStatus(player);
  if (player == kHuman) {
    game.Sound("WAVE", 3);
  } else {
    game.Log({"[", who.Name, "]님께서 흔들었습니다"});
    ShowShakeCards(game, player, card);
  }
  // The turn begins again; the shaken cards are now played plainly.
  --who.PlayedCount;
  BeginTurn(game, player);
}

bool HasChongtong(Game& game, int player) {
  const int month = MonthOfFour(game.state, player);
  if (month == 0) return false;
  ChongtongWin(game, player, month);
  return true;
}

bool FloorHasFourOfAMonth(Game& game) {
  const int month = MonthOfFour(game.state, kOnFloor);
  if (month == 0) return false;
  ChongtongWin(game, PlayerByOrder(game.state, 1), month);
  return true;
}

void ChongtongWin(Game& game, int player, int month) {
  if (Idle(game)) return;
  game.Window().CloseDialog(DialogKind::kCommon);
  game.Window().DisableTurnTimer();
  ShowSpecialCards(game, player, month);
  SettleSpecialWin(game, player, SpecialWin::kChongtong);
}

void ChooseSeptemberAnimal(Game& game, int player, int choice) {
  GameState& state = game.state;
  game.Window().CloseDialog(DialogKind::kSeptember);
  if (Idle(game)) return;
  state.Room.SeptemberChoicePending = false;
  const std::string& name = state.Player(player).Name;
  if (choice == 1) {
    game.Log({"[", name, "]님께서 구열을 십자리에 놓으셨습니다"}, kWhite);
  } else {
    state.Card(kSeptemberAnimal).Kind = kJunk;
    CapturePile(game, player, kSeptemberAnimal, false);
    RemoveCaptured(game, player, kAnimal, kSeptemberAnimal);
    game.Log({"[", name, "]님께서 구열을 쌍피로 이동하셨습니다"}, kWhite);
  }
  // Either way the score may now allow a stop, or end the hand.
  CalculateScore(game, player);
  if (DecideAfterScore(game, player) == AfterScore::kTakenOver) return;
  OpponentsTurn(game, player);
}

}  // namespace hw
