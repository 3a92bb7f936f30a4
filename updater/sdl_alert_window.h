#pragma once
// The notice "게임실행 방법" on screen: a small window of its own with how to start the
// game, and the buttons "확  인" and "홈페이지". It is shown while the notice is open.

#include <SDL.h>

#include "ui/fonts.h"
#include "ui/sdl_util.h"
#include "updater/alert_notice.h"
#include "updater/sdl_small_window.h"

namespace hw::updater {

class SdlAlertWindow {
 public:
  static constexpr int kWidth = 340;
  static constexpr int kHeight = 190;
  static constexpr SDL_Rect kConfirm{60, 146, 100, 28};
  static constexpr SDL_Rect kHomePage{180, 146, 100, 28};

  SdlAlertWindow(AlertNotice& notice, FontLibrary& fonts);

  // Shows or hides the window as the notice is open or not, and draws it.
  void Frame();
  // A window-system event; true when it was this window's.
  bool HandleEvent(const SDL_Event& event);
  // A click in the window's own pixels.
  void Click(int x, int y);
  ui::Surface Picture();

 private:
  AlertNotice& notice_;
  FontLibrary& fonts_;
  SdlSmallWindow window_{AlertNotice::kCaption, kWidth, kHeight};
};

}  // namespace hw::updater
