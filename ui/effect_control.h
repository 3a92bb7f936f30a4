#pragma once
// 컨트롤_효과: a picture shown with one colour see-through, used for the Go effect over
// the board. The picture is composed onto the control's surface: at its own size (the
// control takes that size), tiled over the control, or stretched to it.

#include <SDL.h>

#include <string>

#include "hand/effects.h"
#include "ui/sdl_util.h"

namespace hw::ui {

class 컨트롤_효과 {
 public:
  enum Style { kOwnSize = 0, kTiled = 1, kStretched = 2 };

  // The picture shown; assigning one composes the control anew. A file that cannot be
  // read clears the picture.
  void SetPictureFile(const std::string& path);
  void SetPicture(Surface picture);
  void SetStyle(int style);
  int GetStyle() const { return style_; }
  // With SyncTransparentColor on (the default), the see-through colour is taken from the
  // composed picture's top-left pixel whenever the picture changes.
  void SetTransparentColor(Rgb colour) { transparent_ = colour; }
  Rgb TransparentColor() const { return transparent_; }
  void SetSyncTransparentColor(bool sync);
  bool SyncTransparentColor() const { return sync_; }

  void Move(int left, int top, int width, int height);
  SDL_Rect Bounds() const { return {left_, top_, width_, height_}; }
  void SetVisible(bool visible) { visible_ = visible; }
  bool Visible() const { return visible_; }

  // The composed picture (null with no picture).
  const SDL_Surface* Composed() const { return composed_.get(); }
  void Draw(SDL_Renderer* renderer) const;

 private:
  void Compose();

  Surface picture_;
  Surface composed_;
  int style_ = kTiled;
  Rgb transparent_{0, 0, 0};
  bool sync_ = true;
  bool visible_ = false;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
};

}  // namespace hw::ui
