#pragma once
// The update window on screen: a small window of its own with the caption, the progress
// bar (333 x 21 pixels, filled from the left in blue) and the status line under it. It is
// hidden until the updater has something to download.

#include <SDL.h>

#include <string>
#include <string_view>

#include "ui/fonts.h"
#include "ui/sdl_util.h"
#include "updater/sdl_small_window.h"
#include "updater/update_view.h"

namespace hw::updater {

// The window's face: the frame, the bar filled `progress` pixels from its left, and the
// status line; for the window and for the checks of the screen.
ui::Surface UpdateWindowPicture(FontLibrary& fonts, std::string_view status, bool blueBold,
                                int progress);

class SdlUpdateWindow final : public UpdateView {
 public:
  static constexpr int kWidth = 380;
  static constexpr int kHeight = 112;
  static constexpr SDL_Rect kBar{23, 34, 333, 21};  // inside the frame
  static constexpr SDL_Point kStatus{23, 66};

  explicit SdlUpdateWindow(FontLibrary& fonts);

  void Show() override;
  void Hide() override;
  void SetCaption(std::string_view caption) override;
  void SetStatus(std::string_view text, bool blueBold) override;
  void ClearProgress() override;
  void DrawProgress(int width) override;

  bool Shown() const { return window_.Shown(); }
  int ProgressWidth() const { return progress_; }
  const std::string& Status() const { return status_; }
  Uint32 Id() const { return window_.Id(); }
  // Draws the window as it stands and shows it (when shown).
  void Frame();
  // The frame as a picture, for screenshots.
  ui::Surface Picture();

 private:
  FontLibrary& fonts_;
  SdlSmallWindow window_{"", kWidth, kHeight};
  std::string status_;
  bool statusBlueBold_ = false;
  int progress_ = 0;
};

}  // namespace hw::updater
