#pragma once
// The main window 대기실 without its drawing: the turn timer that paces every turn and
// lets the computer move, the human's card and bomb-card clicks, the deferred floor
// choice, the openers of the human's questions (answered at once while minimised), and
// the six dialogs it owns.

#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "hand/game.h"
#include "hand/game_window.h"
#include "mainwindow/dialog_controllers.h"
#include "platform/event_loop.h"
#include "platform/settings_store.h"

namespace hw {

class MainWindow final : public GameWindow {
 public:
  // Registers itself as the game's window.
  MainWindow(Game& game, DialogView& dialogView);
  ~MainWindow() override;

  // ---- GameWindow
  bool IsMinimised() const override { return minimised_; }
  void 타이머_차례시작(int player) override;
  void 타이머_차례중지() override;
  void DisableTurnTimer() override;
  // Holds the turn timer where it stands (a modal window is open) and lets it go on.
  // Pause returns whether it was running.
  bool PauseTurnTimer();
  void ResumeTurnTimer();
  void RequestFloorChoice(const FloorChoice& choice) override;
  void AskSeptemberAnimal() override;
  void AskGoOrStop() override;
  // The shake dialog, or (while minimised) the card played plainly at once.
  void AskShake(int card) override;
  void OpenCommonDialog() override { common_.Show(); }
  void OpenResultDialog() override { result_.Show(); }
  void CloseDialog(DialogKind dialog) override { Dialog(dialog).Close(); }
  void Unload() override;

  // ---- The human
  void OnCardPress(int card, MouseButton button);
  void OnCardRelease(int card, MouseButton button);
  void OnBombCardClick(int index, MouseButton button);
  // The start button: a new hand, between hands.
  void PressStart();
  // The exit button: during a hand the player is asked first (the turn timer waits for
  // the answer); then the window unloads.
  void RequestExit();
  // The speed keys: one step faster (-1, not below 0) or slower (+1); the speed shows
  // for half a second.
  void ChangeCardSpeed(int step);
  // A hand card the human may raise and play now: his, on his turn, no dialog open.
  bool MayTake(int card) const;
  // When the window closes, the card speed and the stake are stored here.
  void StoreSettingsIn(platform::SettingsStore& settings) { settings_ = &settings; }
  void SetMinimised(bool minimised) { minimised_ = minimised; }

  // ---- The computer
  void ComputerPlayCard(int card, int player);
  void ComputerPlayBombCard(int player, int index);

  // The floor choice: the select dialog, or the first card at once while minimised.
  void OpenFloorChoice(const FloorChoice& choice);

  GameDialog& Dialog(DialogKind dialog);
  ShakeDialog& Shake() { return shake_; }
  const ShakeDialog& Shake() const { return shake_; }
  SelectDialog& Select() { return select_; }
  const SelectDialog& Select() const { return select_; }
  GoStopDialog& GoStop() { return goStop_; }
  const GoStopDialog& GoStop() const { return goStop_; }
  SeptemberDialog& September() { return september_; }
  const SeptemberDialog& September() const { return september_; }
  ResultDialog& Result() { return result_; }
  const ResultDialog& Result() const { return result_; }
  CommonDialog& Common() { return common_; }

  bool Unloaded() const override { return unloaded_; }
  // Called once when the window is closed (the program ends).
  std::function<void()> onUnload;

  // For tests: the timers' state.
  const platform::Timer& TurnTimer() const { return *turnTimer_; }
  int TurnTicks() const { return turnTicks_; }
  int PowerLevel() const { return powerLevel_; }

 private:
  void OnTurnTick();
  // One second of the turn; false once it did more than redraw (the turn was played for
  // the player, or the hand is over).
  bool TurnTick();
  // How many of the turn's ticks come together: 1 on a board somebody sees, else those
  // up to the one that plays.
  int TurnTicksAtOnce() const;
  void SetTurnInterval();
  void OnSelectTick();
  void OnPowerBarTick();
  void OnBombTick();
  // The human may act on a hand card now.
  bool HumanMayPlay(int card) const;
  bool HumanMayAct() const;
  // Writes down a decision of the human's in the hand's record.
  void Note(const Decision& decision);

  Game& game_;
  ShakeDialog shake_;
  SelectDialog select_;
  CommonDialog common_;
  GoStopDialog goStop_;
  SeptemberDialog september_;
  ResultDialog result_;

  std::unique_ptr<platform::Timer> turnTimer_;    // 겜차례타이머
  std::unique_ptr<platform::Timer> selectTimer_;  // 타머_선택, for pendingChoice_
  std::unique_ptr<platform::Timer> powerTimer_;   // 타머_파워바
  std::unique_ptr<platform::Timer> bombTimer_;    // 겜폭탄타이머, tag: the bomb card
  int turnPlayer_ = -1;                           // whose turn the turn timer runs for, -1 none
  int turnTicks_ = 0;                             // the turn indicator's tag
  bool indicatorShown_ = false;
  FloorChoice pendingChoice_;
  int powerLevel_ = 0;
  int bombFrame_ = 0;
  bool minimised_ = false;
  bool unloaded_ = false;
  bool speedShown_ = false;
  platform::SettingsStore* settings_ = nullptr;
};

}  // namespace hw
