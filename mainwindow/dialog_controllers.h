#pragma once
// The six game dialogs without their drawing: what each shows, its buttons and their hit
// areas, its default answer, the countdown that gives that answer after ten seconds, and
// the game procedure its answer goes to when it closes.
//
// A dialog keeps its answer as text in its tag: showing it sets the default, a button
// overwrites it, closing reads it. Room.DialogOpen is 1 while one is open; the board
// ignores clicks meanwhile.

#include <memory>
#include <string>
#include <vector>

#include "hand/game.h"
#include "platform/event_loop.h"

namespace hw {

enum class MouseButton { kLeft, kRight, kMiddle };

// The drawing of the dialogs, implemented by the window program (nothing headless).
class DialogView {
 public:
  virtual ~DialogView() = default;
  // Shows the dialog over the main window, drawn from its controller's data (and the
  // result record for the shown-cards and result dialogs).
  virtual void Open(DialogKind dialog) = 0;
  virtual void Close(DialogKind dialog) = 0;
  // The countdown's n-th square (1..9).
  virtual void DrawCountdown(DialogKind dialog, int n) = 0;
  virtual void DrawButton(DialogKind dialog, int button, bool pressed) = 0;
  // The floor-choice dialog's first (0) or second (1) card, selected or plain.
  virtual void DrawChoiceCard(int which, bool selected) = 0;
};

// A rectangle on a dialog, both edges included.
struct HitArea {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
  bool Contains(int x, int y) const {
    return x >= Left && x <= Left + Width && y >= Top && y <= Top + Height;
  }
};

class GameDialog {
 public:
  GameDialog(Game& game, DialogView& view, DialogKind kind, bool countdown);
  virtual ~GameDialog() = default;
  GameDialog(const GameDialog&) = delete;
  GameDialog& operator=(const GameDialog&) = delete;

  DialogKind Kind() const { return kind_; }
  bool IsOpen() const { return open_; }
  const std::string& Tag() const { return tag_; }

  // Closes the dialog, if open, and passes its answer on.
  void Close();
  // Takes the dialog away without an answer: the window it belongs to is closing.
  void Dismiss();

  // Presses the button that answers with `answer`, as a click on it would; false when
  // the dialog has no such button or is not open.
  bool PressButtonWith(const std::string& answer);

  // The mouse on the dialog, in its own pixels. The right button does nothing.
  virtual void MouseDown(MouseButton button, int x, int y);
  virtual void MouseUp(MouseButton button, int x, int y);

  // Its buttons, in order; each answers with its text.
  struct Button {
    HitArea Area;
    std::string Answer;
  };
  const std::vector<Button>& Buttons() const { return buttons_; }

 protected:
  // Shows the dialog with its default answer (and starts the countdown when it has one).
  void Open(std::string defaultAnswer);
  // What the dialog does with its answer once closed.
  virtual void Answer(const std::string& tag) = 0;
  // The countdown ran out: by default the dialog closes with the answer it holds.
  virtual void TimeOut() { Close(); }
  void StopCountdown();

  Game& game_;
  DialogView& view_;
  std::vector<Button> buttons_;
  std::string tag_;

 private:
  void OnCountdownTick();
  void PressButton(int index);
  // One-second ticks before an unanswered dialog answers itself.
  static constexpr int kCountdownTicks = 10;

  DialogKind kind_;
  std::unique_ptr<platform::Timer> countdown_;
  int ticks_ = 0;
  bool open_ = false;
  bool pressing_ = false;  // a button is being pressed; further clicks wait
};

// 흔듬창: shake the three cards of a month, or play the card plainly (the default).
class ShakeDialog final : public GameDialog {
 public:
  ShakeDialog(Game& game, DialogView& view);
  void Show(int card);  // 폼셋팅
  int Card() const { return card_; }

 private:
  void Answer(const std::string& tag) override;
  int card_ = kNoCard;
  int player_ = kHuman;
};

// 선택창: which of two floor cards the played or flipped card takes (the first by default).
class SelectDialog final : public GameDialog {
 public:
  SelectDialog(Game& game, DialogView& view);
  void Show(const FloorChoice& choice);  // 폼셋팅
  const FloorChoice& Choice() const { return choice_; }
  // Takes one of the two cards, as pressing and releasing on it would; false when it is
  // neither of them.
  bool Choose(int card);
  void MouseDown(MouseButton button, int x, int y) override;
  void MouseUp(MouseButton button, int x, int y) override;

  static constexpr HitArea kFirstCard{32, 16, 36, 55};
  static constexpr HitArea kSecondCard{93, 16, 36, 55};

 private:
  void Answer(const std::string& tag) override;
  void TimeOut() override;
  FloorChoice choice_;
  int chosen_ = kNoCard;  // the card the answer takes (the first, until one is chosen)
  int player_ = kHuman;
  int pressed_ = -1;  // 0 or 1 while a card is held down
};

// 공통창: shows the shaken or chongtong cards of the result record; no buttons, no
// countdown (whoever opens it closes it).
class CommonDialog final : public GameDialog {
 public:
  CommonDialog(Game& game, DialogView& view);
  void Show();

 private:
  void Answer(const std::string&) override {}
};

// 고스톱창: Go, or Stop (the default).
class GoStopDialog final : public GameDialog {
 public:
  GoStopDialog(Game& game, DialogView& view);
  void Show();
  // "<amount원> 획득가능": what stopping now would bring.
  const std::string& AmountText() const { return amountText_; }

 private:
  void Answer(const std::string& tag) override;
  std::string amountText_;
};

// 구열창: the September animal stays an animal, or becomes double junk (the default).
class SeptemberDialog final : public GameDialog {
 public:
  SeptemberDialog(Game& game, DialogView& view);
  void Show();

 private:
  void Answer(const std::string& tag) override;
};

// 결과창: the result of the hand; closing it readies the board for the next hand.
class ResultDialog final : public GameDialog {
 public:
  ResultDialog(Game& game, DialogView& view);
  void Show();
  // With a winner the result lines are shown; a drawn hand shows none.
  bool ShowsDetails() const { return details_; }

 private:
  void Answer(const std::string& tag) override;
  bool details_ = false;
};

}  // namespace hw
