#pragma once

#include <optional>
#include <string>

#include "platform/display_modes.h"

struct SDL_Window;

namespace hw::platform {

// The modes of the display that shows the game's window, through SDL's video subsystem
// (initialised here for as long as this object lives). A mode other than the desktop's
// own is applied by making the window fullscreen in it; the desktop's own mode by
// leaving fullscreen. Without a window no mode can be applied.
class SdlDisplayModes final : public DisplayModes {
 public:
  explicit SdlDisplayModes(SDL_Window* window = nullptr);
  ~SdlDisplayModes() override;
  SdlDisplayModes(const SdlDisplayModes&) = delete;
  SdlDisplayModes& operator=(const SdlDisplayModes&) = delete;

  void SetWindow(SDL_Window* window) { window_ = window; }

  std::optional<DisplayMode> Mode(int index) const override;
  std::optional<DisplayMode> Current() const override;
  bool Apply(int index) override;

 private:
  int DisplayIndex() const;

  bool videoReady_ = false;
  std::string videoProblem_;
  SDL_Window* window_ = nullptr;
};

}  // namespace hw::platform
