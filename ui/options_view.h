#pragma once
// The options dialog 옵션창 on screen: a plain panel over the middle of the board with its
// frames, two option buttons, the speed slider, the two lists and 적용/취소.

#include <SDL.h>

#include "mainwindow/options_dialog.h"
#include "ui/board_view.h"

namespace hw::ui {

class SdlOptionsWindow {
 public:
  static constexpr SDL_Rect kPanel{220, 130, 360, 330};

  SdlOptionsWindow(OptionsDialog& dialog, FontSource fonts);

  // Takes the window system's events while the dialog is open; true when taken.
  bool HandleEvent(const SDL_Event& event);
  void Compose(SDL_Renderer* renderer);

  // The controls' places on the board, for the mouse and for tests.
  static constexpr SDL_Rect kSoundOn{240, 190, 150, 18};
  static constexpr SDL_Rect kSoundOff{400, 190, 150, 18};
  static constexpr SDL_Rect kSlider{250, 246, 300, 16};
  static constexpr SDL_Rect kStakeList{240, 332, 150, 20};
  static constexpr SDL_Rect kServiceList{410, 332, 150, 20};
  static constexpr SDL_Rect kApply{360, 420, 90, 26};
  static constexpr SDL_Rect kCancel{470, 420, 90, 26};
  void Click(int x, int y);

 private:
  enum class OpenList { kNone, kStake, kService };
  SDL_Rect ListItem(OpenList list, int item) const;
  void SpeedFromPointer(int x);

  OptionsDialog& dialog_;
  FontSource fonts_;
  OpenList openList_ = OpenList::kNone;
  bool dragging_ = false;
};

}  // namespace hw::ui
