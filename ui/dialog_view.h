#pragma once
// The six game dialogs drawn inside the main window: each a borderless picture cut to its
// outline (the magenta around it left out), placed over the board at its offset, with
// its buttons, texts, cards and countdown squares.

#include <array>
#include <optional>

#include "mainwindow/dialog_controllers.h"
#include "rules/game_state.h"
#include "ui/board_view.h"
#include "ui/shape.h"
#include "ui/skin.h"

namespace hw {
class MainWindow;
}

namespace hw::ui {

class SdlDialogs final : public DialogView {
 public:
  SdlDialogs(const GameState& state, const Skin& skin, FontSource fonts);
  // The window whose dialogs these are (their questions and answers live there).
  void Attach(const MainWindow& window) { window_ = &window; }

  // ---- DialogView
  void Open(DialogKind dialog) override;
  void Close(DialogKind dialog) override;
  void DrawCountdown(DialogKind dialog, int n) override;
  void DrawButton(DialogKind dialog, int button, bool pressed) override;
  void DrawChoiceCard(int which, bool selected) override;

  // The open dialog whose outline holds this board point, and the point in its own
  // pixels; nothing when no dialog is there.
  struct Hit {
    DialogKind dialog;
    int x, y;
  };
  std::optional<Hit> DialogAt(int x, int y) const;
  bool IsShown(DialogKind dialog) const;
  void Compose(SDL_Renderer* renderer);

 private:
  struct Shown {
    bool open = false;
    Surface picture;  // what the dialog shows now
    std::optional<WindowRegion> region;
    SDL_Rect place{0, 0, 0, 0};
  };
  Shown& Slot(DialogKind dialog) { return shown_[static_cast<std::size_t>(dialog)]; }
  const Shown& Slot(DialogKind dialog) const { return shown_[static_cast<std::size_t>(dialog)]; }
  void DrawCard(Shown& shown, int card, int x, int y, bool selected);
  void Text(Shown& shown, std::string_view text, int pixelSize, bool bold, Rgb colour, int x,
            int y);

  const GameState& state_;
  const Skin& skin_;
  FontSource fonts_;
  const MainWindow* window_ = nullptr;
  std::array<Shown, 6> shown_{};
};

}  // namespace hw::ui
