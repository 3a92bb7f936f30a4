#pragma once
// A small window of the updater's own: created hidden, shown and hidden on request, and
// drawn by presenting a whole picture of its size.

#include <SDL.h>

#include <memory>

namespace hw::updater {

class SdlSmallWindow {
 public:
  // Throws std::runtime_error when SDL cannot make the window.
  SdlSmallWindow(const char* caption, int width, int height);
  ~SdlSmallWindow();
  SdlSmallWindow(const SdlSmallWindow&) = delete;
  SdlSmallWindow& operator=(const SdlSmallWindow&) = delete;

  void SetShown(bool shown);
  bool Shown() const { return shown_; }
  void SetCaption(const char* caption) { SDL_SetWindowTitle(window_, caption); }
  Uint32 Id() const { return SDL_GetWindowID(window_); }
  // Shows the picture as the window's content (when the window is shown).
  void Present(SDL_Surface* picture);

 private:
  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  bool shown_ = false;
};

}  // namespace hw::updater
