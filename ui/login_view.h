#pragma once
// The login window 통신 on screen: its picture cut to its outline over the middle of the
// board, the two text boxes (the password shown as stars) and the pressed face of a
// button.

#include <SDL.h>

#include <memory>
#include <optional>

#include "mainwindow/login_form.h"
#include "platform/event_loop.h"
#include "ui/board_view.h"
#include "ui/shape.h"
#include "ui/skin.h"

namespace hw::ui {

class SdlLoginWindow {
 public:
  static constexpr SDL_Point kPlace{225, 123};
  static constexpr SDL_Rect kNameBox{120, 114, 196, 20};
  static constexpr SDL_Rect kPasswordBox{120, 152, 196, 20};

  // The caret blinks on `loop`'s clock.
  SdlLoginWindow(portal::LoginForm& form, const Skin& skin, FontSource fonts,
                 platform::EventLoop& loop);

  bool IsOpen() const { return form_.IsOpen(); }
  // Whether a board point falls on the window (inside its outline).
  bool Contains(int x, int y) const;
  void MouseDown(int x, int y, MouseButton button);
  // Keys and typed text while the window is open; true when taken.
  bool KeyDown(SDL_Keycode key);
  void TextInput(const char* utf8);

  void Compose(SDL_Renderer* renderer);

 private:
  SDL_Surface* ButtonFace(portal::LoginForm::Button button) const;

  portal::LoginForm& form_;
  const Skin& skin_;
  FontSource fonts_;
  std::optional<WindowRegion> region_;
  std::unique_ptr<platform::Timer> blink_;  // a frame at each change of the caret
};

}  // namespace hw::ui
