#include "updater/sdl_small_window.h"

#include <stdexcept>
#include <string>

#include "ui/sdl_util.h"

namespace hw::updater {

SdlSmallWindow::SdlSmallWindow(const char* caption, int width, int height) {
  window_ = SDL_CreateWindow(caption, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                             SDL_WINDOW_HIDDEN);
  if (window_ == nullptr) throw std::runtime_error(std::string("no window: ") + SDL_GetError());
  renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
  if (renderer_ == nullptr) {
    SDL_DestroyWindow(window_);
    throw std::runtime_error(std::string("no renderer: ") + SDL_GetError());
  }
}

SdlSmallWindow::~SdlSmallWindow() {
  SDL_DestroyRenderer(renderer_);
  SDL_DestroyWindow(window_);
}

void SdlSmallWindow::SetShown(bool shown) {
  if (shown == shown_) return;
  shown_ = shown;
  if (shown) {
    SDL_ShowWindow(window_);
    SDL_RaiseWindow(window_);
  } else {
    SDL_HideWindow(window_);
  }
}

void SdlSmallWindow::Present(SDL_Surface* picture) {
  if (!shown_ || picture == nullptr) return;
  ui::Texture texture = ui::ToTexture(renderer_, picture);
  SDL_RenderClear(renderer_);
  SDL_RenderCopy(renderer_, texture.get(), nullptr, nullptr);
  SDL_RenderPresent(renderer_);
}

}  // namespace hw::updater
