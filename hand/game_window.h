#pragma once
// What the rules ask of the main window and its dialogs: the turn timer, the human's
// questions, the two display dialogs, and closing the program. The main window's
// controller implements it; tests and the simulator use that controller headless.

#include <string_view>

#include "rules/game_state.h"

namespace hw {

enum class DialogKind { kCommon, kShake, kSelect, kGoStop, kResult, kSeptember };

class GameWindow {
 public:
  virtual ~GameWindow() = default;

  // The window is minimised: every question to the human is answered at once.
  virtual bool IsMinimised() const = 0;

  // Starts the turn timer for the player whose turn begins.
  virtual void 타이머_차례시작(int player) = 0;
  // Ends the turn's clock: the timer stops, the indicator and the countdown go.
  virtual void 타이머_차례중지() = 0;
  // Only disables the turn timer.
  virtual void DisableTurnTimer() = 0;

  // The human's floor choice opens a moment later (from the selection timer).
  virtual void RequestFloorChoice(const FloorChoice& choice) = 0;
  virtual void AskSeptemberAnimal() = 0;
  virtual void AskGoOrStop() = 0;
  // The human played one of three cards of a month whose month is not on the floor:
  // shake them, or play the card plainly (PlayHandCard).
  virtual void AskShake(int card) = 0;

  // The shown-cards dialog with the result record's special cards; the result dialog.
  virtual void OpenCommonDialog() = 0;
  virtual void OpenResultDialog() = 0;
  // Closes a dialog if it is open; a question dialog passes its current answer on.
  virtual void CloseDialog(DialogKind dialog) = 0;

  // Closes the main window, which ends the program.
  virtual void Unload() = 0;
  virtual bool Unloaded() const = 0;
};

}  // namespace hw
