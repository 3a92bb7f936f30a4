#include "mainwindow/dialog_controllers.h"

#include "hand/declarations.h"
#include "hand/hand_setup.h"
#include "hand/moves.h"
#include "hand/settlement.h"
#include "rules/lookups.h"
#include "rules/payout.h"

namespace hw {
namespace {

int HumanPlayer(const GameState& state) {
  return PlayerByName(state, state.PlayerInfo.Name);
}

constexpr HitArea kYesButton{28, 96, 75, 34};
constexpr HitArea kNoButton{123, 96, 75, 34};

}  // namespace

// ---- GameDialog

GameDialog::GameDialog(Game& game, DialogView& view, DialogKind kind, bool countdown)
    : game_(game), view_(view), kind_(kind) {
  if (countdown) countdown_ = game.loop.CreateTimer(1000, [this] { OnCountdownTick(); });
}

void GameDialog::Open(std::string defaultAnswer) {
  tag_ = std::move(defaultAnswer);
  open_ = true;
  pressing_ = false;
  game_.state.Room.DialogOpen = 1;
  view_.Open(kind_);
  if (countdown_) {
    ticks_ = 0;
    // Nobody sees the squares fill on an unseen board: the countdown ends in one tick.
    const int interval = game_.board.Seen() ? 1000 : 1000 * kCountdownTicks;
    if (countdown_->Interval() != interval) countdown_->SetInterval(interval);
    countdown_->SetEnabled(true);
  }
}

void GameDialog::StopCountdown() {
  if (countdown_) countdown_->SetEnabled(false);
}

void GameDialog::Close() {
  if (!open_) return;
  open_ = false;
  StopCountdown();
  game_.state.Room.DialogOpen = 0;
  view_.Close(kind_);
  Answer(tag_);
}

void GameDialog::Dismiss() {
  if (!open_) return;
  open_ = false;
  StopCountdown();
  game_.state.Room.DialogOpen = 0;
  view_.Close(kind_);
}

void GameDialog::OnCountdownTick() {
  ticks_ += countdown_->Interval() / 1000;
  if (ticks_ < kCountdownTicks) {
    view_.DrawCountdown(kind_, ticks_);
    return;
  }
  StopCountdown();
  TimeOut();
}

void GameDialog::MouseDown(MouseButton button, int x, int y) {
  if (!open_ || pressing_ || button == MouseButton::kRight) return;
  for (std::size_t i = 0; i < buttons_.size(); ++i) {
    if (buttons_[i].Area.Contains(x, y)) {
      PressButton(static_cast<int>(i));
      return;
    }
  }
}

void GameDialog::MouseUp(MouseButton, int, int) {}

bool GameDialog::PressButtonWith(const std::string& answer) {
  if (!open_ || pressing_) return false;
  for (std::size_t i = 0; i < buttons_.size(); ++i) {
    if (buttons_[i].Answer == answer) {
      PressButton(static_cast<int>(i));
      return true;
    }
  }
  return false;
}

void GameDialog::PressButton(int index) {
  pressing_ = true;
  StopCountdown();
  game_.Sound("CLICK", 1);
  view_.DrawButton(kind_, index, true);
  game_.loop.WaitSeconds(0.1);
  view_.DrawButton(kind_, index, false);
  game_.loop.ProcessEvents();
  pressing_ = false;
  if (!open_) return;  // closed meanwhile by someone else
  tag_ = buttons_[index].Answer;
  Close();
}

// ---- 흔듬창

ShakeDialog::ShakeDialog(Game& game, DialogView& view)
    : GameDialog(game, view, DialogKind::kShake, true) {
  buttons_ = {{kYesButton, "0"}, {kNoButton, "1"}};
}

void ShakeDialog::Show(int card) {
  card_ = card;
  player_ = HumanPlayer(game_.state);
  Open("1");
}

void ShakeDialog::Answer(const std::string& tag) {
  game_.state.Record.push_back({Decision::Kind::kShake, tag == "0" ? 1 : 0});
  if (tag == "0") {
    DeclareShake(game_, player_, card_);
  } else {
    PlayHandCard(game_, player_, card_, 0);
  }
}

// ---- 선택창

SelectDialog::SelectDialog(Game& game, DialogView& view)
    : GameDialog(game, view, DialogKind::kSelect, true) {}

void SelectDialog::Show(const FloorChoice& choice) {
  choice_ = choice;
  player_ = HumanPlayer(game_.state);
  pressed_ = -1;
  // Closed before any answer (all dialogs closed at once), it takes the first card, as
  // when its time runs out.
  chosen_ = choice.First;
  Open("");
}

void SelectDialog::MouseDown(MouseButton button, int x, int y) {
  if (!IsOpen() || button == MouseButton::kRight) return;
  const int which = kFirstCard.Contains(x, y) ? 0 : kSecondCard.Contains(x, y) ? 1 : -1;
  if (which < 0) return;
  pressed_ = which;
  game_.Sound("CLICK", 1);
  view_.DrawChoiceCard(which, true);
}

void SelectDialog::MouseUp(MouseButton button, int x, int y) {
  if (!IsOpen() || button == MouseButton::kRight) return;
  // Where the button comes up decides, whichever card went down.
  const int which = kFirstCard.Contains(x, y) ? 0 : kSecondCard.Contains(x, y) ? 1 : -1;
  if (which < 0) return;
  StopCountdown();
  if (pressed_ >= 0) view_.DrawChoiceCard(pressed_, false);
  pressed_ = -1;
  chosen_ = which == 0 ? choice_.First : choice_.Second;
  Close();
}

bool SelectDialog::Choose(int card) {
  if (!IsOpen() || (card != choice_.First && card != choice_.Second)) return false;
  const HitArea& area = card == choice_.First ? kFirstCard : kSecondCard;
  MouseDown(MouseButton::kLeft, area.Left, area.Top);
  MouseUp(MouseButton::kLeft, area.Left, area.Top);
  return true;
}

void SelectDialog::TimeOut() {
  MouseUp(MouseButton::kLeft, kFirstCard.Left, kFirstCard.Top);
}

void SelectDialog::Answer(const std::string&) {
  game_.state.Record.push_back({Decision::Kind::kChoice, chosen_});
  ResolveChoice(game_, player_, choice_.Side, choice_.Card, chosen_);
}

// ---- 공통창

CommonDialog::CommonDialog(Game& game, DialogView& view)
    : GameDialog(game, view, DialogKind::kCommon, false) {}

void CommonDialog::Show() {
  Open("");
}

// ---- 고스톱창

GoStopDialog::GoStopDialog(Game& game, DialogView& view)
    : GameDialog(game, view, DialogKind::kGoStop, true) {
  buttons_ = {{{12, 40, 94, 59}, "0"}, {{114, 40, 94, 59}, "1"}};
}

void GoStopDialog::Show() {
  amountText_ = "<" + StopNowAmount(game_.state) + "원> 획득가능";
  Open("1");
}

void GoStopDialog::Answer(const std::string& tag) {
  game_.state.Record.push_back({Decision::Kind::kGoStop, tag == "0" ? 1 : 0});
  const int human = HumanPlayer(game_.state);
  if (tag == "0") {
    CallGo(game_, human);
  } else {
    CallStop(game_, human);
  }
}

// ---- 구열창

SeptemberDialog::SeptemberDialog(Game& game, DialogView& view)
    : GameDialog(game, view, DialogKind::kSeptember, true) {
  buttons_ = {{kYesButton, "1"}, {kNoButton, "0"}};
}

void SeptemberDialog::Show() {
  Open("1");
}

void SeptemberDialog::Answer(const std::string& tag) {
  game_.state.Record.push_back({Decision::Kind::kSeptember, tag == "0" ? 1 : 2});
  ChooseSeptemberAnimal(game_, HumanPlayer(game_.state), tag == "0" ? 1 : 2);
}

// ---- 결과창

ResultDialog::ResultDialog(Game& game, DialogView& view)
    : GameDialog(game, view, DialogKind::kResult, true) {
  buttons_ = {{{198, 164, 99, 40}, ""}};
}

void ResultDialog::Show() {
  details_ = game_.state.Result.HasWinner;
  Open("");
}

void ResultDialog::Answer(const std::string&) {
  game_.board.CloseMissionBox();
  ResetHand(game_);
  // Back in the waiting room: the start button waits for the next hand.
  game_.board.DrawWaitingRoom();
}

}  // namespace hw
