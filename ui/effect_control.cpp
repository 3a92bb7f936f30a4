#include "ui/effect_control.h"

namespace hw::ui {

void 컨트롤_효과::SetPictureFile(const std::string& path) {
  SetPicture(LoadPicture(path));
}

void 컨트롤_효과::SetPicture(Surface picture) {
  picture_ = std::move(picture);
  Compose();
}

void 컨트롤_효과::SetStyle(int style) {
  style_ = style < kOwnSize || style > kStretched ? kTiled : style;
  Compose();
}

void 컨트롤_효과::SetSyncTransparentColor(bool sync) {
  sync_ = sync;
  Compose();
}

void 컨트롤_효과::Move(int left, int top, int width, int height) {
  left_ = left;
  top_ = top;
  if (width == width_ && height == height_) return;
  width_ = width;
  height_ = height;
  Compose();
}

void 컨트롤_효과::Compose() {
  if (!picture_) {
    composed_.reset();
    return;
  }
  const int pw = picture_->w, ph = picture_->h;
  if (style_ == kOwnSize) {
    width_ = pw;
    height_ = ph;
  }
  if (width_ <= 0 || height_ <= 0) {
    composed_.reset();
    return;
  }
  composed_ = NewSurface(width_, height_);
  switch (style_) {
    case kOwnSize:
      Copy(picture_.get(), {0, 0, pw, ph}, composed_.get(), 0, 0);
      break;
    case kStretched:
      CopyScaled(picture_.get(), composed_.get(), {0, 0, width_, height_});
      break;
    default:
      for (int y = 0; y < height_; y += ph) {
        for (int x = 0; x < width_; x += pw)
          Copy(picture_.get(), {0, 0, pw, ph}, composed_.get(), x, y);
      }
      break;
  }
  if (sync_) {
    Uint8 r = 0, g = 0, b = 0;
    SDL_GetRGB(static_cast<const Uint32*>(composed_->pixels)[0], composed_->format, &r, &g, &b);
    transparent_ = {r, g, b};
  }
}

void 컨트롤_효과::Draw(SDL_Renderer* renderer) const {
  if (!visible_ || !composed_) return;
  SDL_Surface* picture = composed_.get();
  SDL_SetColorKey(picture, SDL_TRUE, MapColour(picture, transparent_));
  Texture texture = ToTexture(renderer, picture);
  SDL_SetColorKey(picture, SDL_FALSE, 0);
  const SDL_Rect at{left_, top_, width_, height_};
  SDL_RenderCopy(renderer, texture.get(), nullptr, &at);
}

}  // namespace hw::ui
