#include "mainwindow/main_window.h"

#include <algorithm>

#include "hand/declarations.h"
#include "hand/moves.h"
#include "hand/turn.h"
#include "mainwindow/settings.h"
#include "rules/computer_player.h"
#include "rules/lookups.h"
#include "rules/numbers.h"

namespace hw {

MainWindow::MainWindow(Game& game, DialogView& dialogView)
    : game_(game),
      shake_(game, dialogView),
      select_(game, dialogView),
      common_(game, dialogView),
      goStop_(game, dialogView),
      september_(game, dialogView),
      result_(game, dialogView),
      turnTimer_(game.loop.CreateTimer(1000, [this] { OnTurnTick(); })),
      selectTimer_(game.loop.CreateTimer(200, [this] { OnSelectTick(); })),
      powerTimer_(game.loop.CreateTimer(30, [this] { OnPowerBarTick(); })),
      bombTimer_(game.loop.CreateTimer(60, [this] { OnBombTick(); })) {
  game_.window = this;
}

MainWindow::~MainWindow() {
  if (game_.window == this) game_.window = nullptr;
}

GameDialog& MainWindow::Dialog(DialogKind dialog) {
  switch (dialog) {
    case DialogKind::kCommon:
      return common_;
    case DialogKind::kShake:
      return shake_;
    case DialogKind::kSelect:
      return select_;
    case DialogKind::kGoStop:
      return goStop_;
    case DialogKind::kResult:
      return result_;
    case DialogKind::kSeptember:
      break;
  }
  return september_;
}

// ---- The turn timer
//
// It ticks every second: the indicator blinks, the last five seconds are counted down,
// and once the turn's time is up the card is played for the player. On a board nobody
// sees, the ticks that would only redraw come together with the one that plays.

void MainWindow::타이머_차례시작(int player) {
  turnPlayer_ = player;
  turnTicks_ = 0;
  indicatorShown_ = true;
  SetTurnInterval();
  turnTimer_->SetEnabled(true);
}

void MainWindow::타이머_차례중지() {
  turnPlayer_ = -1;
  turnTimer_->SetEnabled(false);
  game_.board.ShowTurnIndicator(false);
  indicatorShown_ = false;
  turnTicks_ = 0;
  game_.board.ShowCountdown(0);
}

void MainWindow::DisableTurnTimer() {
  turnTimer_->SetEnabled(false);
}

bool MainWindow::PauseTurnTimer() {
  if (!turnTimer_->Enabled()) return false;
  turnTimer_->SetEnabled(false);
  return true;
}

void MainWindow::ResumeTurnTimer() {
  SetTurnInterval();
  turnTimer_->SetEnabled(true);
}

int MainWindow::TurnTicksAtOnce() const {
  if (game_.board.Seen() || turnPlayer_ < 0 || turnPlayer_ >= kPlayers) return 1;
  const int limit = game_.state.PlayerInfo.TurnTimeLimit;
  if (turnPlayer_ == kHuman) return std::max(1, limit - turnTicks_);
  return turnTicks_ + 1 >= limit ? 1 : 2;  // the computer plays at the tick after its first
}

void MainWindow::SetTurnInterval() {
  const int interval = 1000 * TurnTicksAtOnce();
  if (turnTimer_->Interval() != interval) turnTimer_->SetInterval(interval);
}

void MainWindow::OnTurnTick() {
  // The ticks that came together before this one only redrew: they are counted, and
  // nobody misses their drawing.
  // Each blinks the indicator; after the computer's first, its count jumps to the limit.
  if (const int skipped = turnTimer_->Interval() / 1000 - 1; skipped > 0) {
    indicatorShown_ = indicatorShown_ != (skipped % 2 == 1);
    turnTicks_ += skipped;
    if (turnPlayer_ != kHuman) {
      turnTicks_ = std::max(turnTicks_, game_.state.PlayerInfo.TurnTimeLimit + skipped - 1);
    }
  }
  if (TurnTick()) SetTurnInterval();
}

bool MainWindow::TurnTick() {
  GameState& state = game_.state;
  if (!state.Room.HandRunning) {
    turnTimer_->SetEnabled(false);
    game_.board.ShowTurnIndicator(false);
    return false;
  }
  ++turnTicks_;
  indicatorShown_ = !indicatorShown_;
  game_.board.ShowTurnIndicator(indicatorShown_);

  const int player = turnPlayer_;
  if (player < 0 || player >= kPlayers) return true;
  const int limit = state.PlayerInfo.TurnTimeLimit;
  if (turnTicks_ < limit) {
    if (player != kHuman) turnTicks_ = limit;  // the computer moves at the next tick
    const int left = limit - turnTicks_;
    game_.board.ShowCountdown(left >= 1 && left <= 5 ? left : 0);
    return true;
  }

  // Time is up: the computer player moves, for the computer as for a human who waited.
  game_.board.ShowCountdown(0);
  turnTimer_->SetEnabled(false);
  game_.board.ShowTurnIndicator(false);
  const int choice =
      player == kHuman ? ChooseCard(state, player) : game_.Computer().PlayCard(state, player);
  if (choice == -1) {
    const int index = FirstAvailableBombCard(state, player);
    if (index < 0) return false;
    if (player == kHuman) {
      OnBombCardClick(index, MouseButton::kLeft);
    } else {
      ComputerPlayBombCard(player, index);
    }
  } else if (player == kHuman) {
    OnCardRelease(choice, MouseButton::kLeft);
  } else {
    ComputerPlayCard(choice, player);
  }
  return false;
}

// ---- The human's cards

bool MainWindow::HumanMayAct() const {
  const RoomRecord& room = game_.state.Room;
  return room.TurnPlayer == kHuman && room.HandRunning && room.HumanTurnMark != 0;
}

bool MainWindow::HumanMayPlay(int card) const {
  return card >= 0 && card < game_.state.Room.CardsInPlay &&
         game_.state.Card(card).Location == kHuman && HumanMayAct();
}

void MainWindow::OnCardPress(int card, MouseButton button) {
  if (button == MouseButton::kRight || game_.state.Room.DialogOpen != 0) return;
  if (!HumanMayPlay(card)) return;
  game_.Sound("CLICK", 1);
  game_.board.DrawCardPressed(card, true);
  if (card < kMonthCards) {
    powerLevel_ = 0;
    game_.board.ShowPowerBar(card, true);
    powerTimer_->SetEnabled(true);
  } else {
    game_.board.ShowPowerBar(card, false);
    powerTimer_->SetEnabled(false);
  }
}

void MainWindow::OnPowerBarTick() {
  // The bar fills three times, green, yellow, red; held longer, it starts from empty.
  game_.board.DrawPowerSegment(powerLevel_);
  if (++powerLevel_ > 59) {
    powerTimer_->SetEnabled(false);
    powerLevel_ = 0;
  }
}

void MainWindow::OnCardRelease(int card, MouseButton button) {
  GameState& state = game_.state;
  if (button == MouseButton::kRight || state.Room.DialogOpen != 0) return;
  if (!HumanMayPlay(card)) return;
  state.Room.HumanTurnMark = 0;
  타이머_차례중지();
  powerTimer_->SetEnabled(false);
  game_.board.ShowPowerBar(card, false);
  game_.board.DrawCardPressed(card, false);
  Note({Decision::Kind::kPlay, card});
  PlayChosenCard(game_, kHuman, card, powerLevel_);
}

void MainWindow::Note(const Decision& decision) {
  game_.state.Record.push_back(decision);
}

void MainWindow::AskShake(int card) {
  if (minimised_) {
    Note({Decision::Kind::kShake, 0});  // not asked: played plainly
    PlayHandCard(game_, kHuman, card, powerLevel_);
    return;
  }
  shake_.Show(card);
  game_.Sound("WINDOW", 3);
}

// ---- Bomb cards

void MainWindow::OnBombCardClick(int index, MouseButton button) {
  GameState& state = game_.state;
  if (button == MouseButton::kRight || state.Room.DialogOpen != 0) return;
  if (index < 0 || index >= kBombCards || state.BombCards[kHuman][index] != BombCard::kAvailable ||
      !HumanMayAct()) {
    return;
  }
  state.Room.HumanTurnMark = 0;
  Note({Decision::Kind::kBomb, index});
  game_.Sound("BOMB", 3);
  타이머_차례중지();
  bombTimer_->Tag = std::to_string(index);
  bombFrame_ = 0;
  bombTimer_->SetEnabled(true);
  while (bombTimer_->Enabled() && !unloaded_)
    game_.loop.WaitSeconds(0.06);
  state.BombCards[kHuman][index] = BombCard::kUsed;
  game_.board.HideBombCard(kHuman, index);
  FlipFromDeck(game_, kHuman, FlipKind::kFlipOnly);
}

void MainWindow::OnBombTick() {
  const int index = ToInt(bombTimer_->Tag, 0);
  if (++bombFrame_ <= 4) {
    game_.board.ShowBombFrame(index, bombFrame_);
    return;
  }
  game_.board.HideBombCard(kHuman, index);
  bombTimer_->SetEnabled(false);
  bombTimer_->Tag = "-1";
  bombFrame_ = 0;
}

void MainWindow::ComputerPlayBombCard(int player, int index) {
  PlayBombCardTurn(game_, player, index);
}

void MainWindow::ComputerPlayCard(int card, int player) {
  타이머_차례중지();
  PlayChosenCard(game_, player, card, 0);
}

// ---- Questions

void MainWindow::RequestFloorChoice(const FloorChoice& choice) {
  pendingChoice_ = choice;
  selectTimer_->SetEnabled(true);
}

void MainWindow::OnSelectTick() {
  selectTimer_->SetEnabled(false);
  OpenFloorChoice(pendingChoice_);
}

void MainWindow::OpenFloorChoice(const FloorChoice& choice) {
  if (minimised_) {
    Note({Decision::Kind::kChoice, choice.First});
    ResolveChoice(game_, kHuman, choice.Side, choice.Card, choice.First);
    return;
  }
  select_.Show(choice);
  game_.Sound("WINDOW", 3);
}

void MainWindow::AskSeptemberAnimal() {
  if (minimised_) {
    Note({Decision::Kind::kSeptember, 2});
    ChooseSeptemberAnimal(game_, kHuman, 2);
    return;
  }
  september_.Show();
  game_.Sound("WINDOW", 3);
}

void MainWindow::AskGoOrStop() {
  if (minimised_) {
    Note({Decision::Kind::kGoStop, 0});
    CallStop(game_, kHuman);
    return;
  }
  goStop_.Show();
  game_.Sound("WINDOW", 3);
}

// ---- The window

void MainWindow::PressStart() {
  if (game_.state.Room.HandRunning || unloaded_) return;
  NewHand(game_);
}

void MainWindow::RequestExit() {
  if (unloaded_) return;
  if (game_.state.Room.HandRunning) {
    // The hand holds still while the player makes up his mind.
    const bool paused = PauseTurnTimer();
    const platform::MessageAnswer answer = game_.desktop.ShowMessage(
        game_.state.GameInfo.ProductName,
        "게임을 종료하시겠습니까?\r\n게임이 현재 진행중에 있습니다",
        platform::MessageIcon::kInformation, platform::MessageButtons::kYesNo);
    if (answer != platform::MessageAnswer::kYes) {
      if (paused) ResumeTurnTimer();
      return;
    }
  }
  Unload();
}

void MainWindow::ChangeCardSpeed(int step) {
  int& speed = game_.state.Room.CardSpeed;
  speed = std::clamp(speed + step, 0, 32767);
  game_.board.ShowSpeedLabel(true);  // refreshed; a label already shown stays its time
  if (speedShown_) return;
  speedShown_ = true;
  game_.loop.WaitSeconds(0.5);
  speedShown_ = false;
  game_.board.ShowSpeedLabel(false);
}

bool MainWindow::MayTake(int card) const {
  return game_.state.Room.DialogOpen == 0 && HumanMayPlay(card);
}

void MainWindow::Unload() {
  if (unloaded_) return;
  unloaded_ = true;
  if (settings_ != nullptr) {
    CardSpeedSetting(*settings_, true, game_.state.Room.CardSpeed);
    StakeSetting(*settings_, true, ToInt(game_.state.Room.StakeText));
  }
  for (auto* timer : {turnTimer_.get(), selectTimer_.get(), powerTimer_.get(), bombTimer_.get()}) {
    timer->SetEnabled(false);
  }
  for (GameDialog* dialog : std::initializer_list<GameDialog*>{&shake_, &select_, &common_,
                                                               &goStop_, &september_, &result_}) {
    dialog->Dismiss();
  }
  if (onUnload) onUnload();
}

}  // namespace hw
