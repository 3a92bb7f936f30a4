#pragma once
// The faces of the updater's two windows, as their controllers drive them; the SDL
// windows implement them, tests record them.

#include <string_view>

namespace hw::updater {

// The update window: a caption, a status line and a progress bar 333 x 21 pixels.
class UpdateView {
 public:
  virtual ~UpdateView() = default;
  virtual void Show() = 0;
  virtual void Hide() = 0;
  virtual void SetCaption(std::string_view caption) = 0;
  // The status line; `blueBold` for "설치준비중....", plain black otherwise.
  virtual void SetStatus(std::string_view text, bool blueBold) = 0;
  // Empties the bar.
  virtual void ClearProgress() = 0;
  // Fills the bar from its left edge to `width` pixels (0 to 333; wider is cut at 333).
  virtual void DrawProgress(int width) = 0;
};

}  // namespace hw::updater
