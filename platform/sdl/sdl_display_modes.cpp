#include "platform/sdl/sdl_display_modes.h"

#include <SDL.h>

namespace hw::platform {
namespace {

DisplayMode FromSdl(const SDL_DisplayMode& mode) {
  return {mode.w, mode.h, static_cast<int>(SDL_BITSPERPIXEL(mode.format)), mode.refresh_rate};
}

}  // namespace

SdlDisplayModes::SdlDisplayModes(SDL_Window* window) : window_(window) {
  videoReady_ = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
  if (!videoReady_) videoProblem_ = SDL_GetError();
}

SdlDisplayModes::~SdlDisplayModes() {
  if (videoReady_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

int SdlDisplayModes::DisplayIndex() const {
  if (window_ == nullptr) return 0;
  const int display = SDL_GetWindowDisplayIndex(window_);
  return display < 0 ? 0 : display;
}

std::optional<DisplayMode> SdlDisplayModes::Mode(int index) const {
  if (!videoReady_) throw DisplayModeError(-1, videoProblem_);
  const int count = SDL_GetNumDisplayModes(DisplayIndex());
  if (count < 0) throw DisplayModeError(count, SDL_GetError());
  SDL_DisplayMode mode;
  if (index < 0 || index >= count || SDL_GetDisplayMode(DisplayIndex(), index, &mode) != 0) {
    return std::nullopt;
  }
  return FromSdl(mode);
}

std::optional<DisplayMode> SdlDisplayModes::Current() const {
  SDL_DisplayMode mode;
  if (!videoReady_ || SDL_GetCurrentDisplayMode(DisplayIndex(), &mode) != 0) return std::nullopt;
  return FromSdl(mode);
}

bool SdlDisplayModes::Apply(int index) {
  if (!videoReady_ || window_ == nullptr) return false;
  const int display = DisplayIndex();
  SDL_DisplayMode mode;
  SDL_DisplayMode desktop;
  if (SDL_GetDisplayMode(display, index, &mode) != 0) return false;
  if (SDL_GetDesktopDisplayMode(display, &desktop) == 0 && mode.w == desktop.w &&
      mode.h == desktop.h && mode.format == desktop.format &&
      mode.refresh_rate == desktop.refresh_rate) {
    // The desktop's own mode: leaving fullscreen gives the screen back to it.
    return SDL_SetWindowFullscreen(window_, 0) == 0;
  }
  if (SDL_SetWindowDisplayMode(window_, &mode) != 0) return false;
  return SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN) == 0;
}

}  // namespace hw::platform
