#pragma once
// The program's own message boxes, drawn with the game's Korean font in the skin's
// colours: a caption strip, an icon, the text and one or two buttons. They replace the
// desktop's message boxes, which fail on many X servers (no core fonts, a C locale) and
// then answer by themselves.
//
// A box is modal: while it is open it takes every press and key of the program, and the
// caller waits for its answer with events running (timers tick, frames are drawn).
// Boxes are shown either inside a window the program already has (the game's main
// window) or each in a small window of its own (the updater, and the game before its
// main window exists).

#include <SDL.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/desktop.h"
#include "platform/sdl/sdl_event_loop.h"
#include "ui/sdl_util.h"

namespace hw::ui {

// One box: its layout, its drawing and its answer to the mouse and the keys. Positions
// are in the box's own pixels, (0, 0) its top-left corner.
class MessageBox {
 public:
  MessageBox(const FontSource& fonts, std::string_view caption, std::string_view text,
             platform::MessageIcon icon, platform::MessageButtons buttons);

  int Width() const { return width_; }
  int Height() const { return height_; }
  // The caption and the lines as shown (the text cut at its CR LF and where too wide).
  const std::string& Caption() const { return caption_; }
  const std::vector<std::string>& Lines() const { return lines_; }

  // The buttons, left to right: Yes and No, or OK alone.
  int ButtonCount() const { return static_cast<int>(buttons_.size()); }
  SDL_Rect ButtonArea(int index) const;
  platform::MessageAnswer ButtonAnswer(int index) const;
  int Focused() const { return focused_; }

  // A button acts when the left button is released over the button it went down on.
  void MouseDown(int x, int y, Uint8 button);
  void MouseUp(int x, int y, Uint8 button);
  // Enter takes the focused button (Yes, or OK); Escape answers No (or OK); Tab and the
  // arrow keys move the focus.
  void KeyDown(SDL_Keycode key);
  // The answer, once a button has been chosen.
  std::optional<platform::MessageAnswer> Answer() const { return answer_; }
  // Closes the box as Escape would (the program is ending).
  void Dismiss();

  // The box as it looks now.
  Surface Picture() const;

 private:
  struct Button {
    std::string label;
    platform::MessageAnswer answer;
  };
  int ButtonAt(int x, int y) const;

  FontSource fonts_;
  std::string caption_;
  std::vector<std::string> lines_;
  platform::MessageIcon icon_;
  std::vector<Button> buttons_;
  int width_ = 0, height_ = 0, textLeft_ = 0, lineSkip_ = 16;
  int focused_ = 0;
  int pressed_ = -1;
  std::optional<platform::MessageAnswer> answer_;
};

// Where boxes are shown. Show() opens a box and returns its answer once it has one,
// letting the program's events run meanwhile; a box still open when the program is
// ending (its loop was told to quit) answers No, or OK. Where nobody can see a box (SDL's
// dummy and offscreen drivers, a window that cannot be made) its text goes to stderr
// and it answers No, or OK, at once.
class MessageBoxHost {
 public:
  virtual ~MessageBoxHost() = default;
  virtual platform::MessageAnswer Show(std::string_view caption, std::string_view text,
                                       platform::MessageIcon icon,
                                       platform::MessageButtons buttons) = 0;
};

// Boxes inside a window of the program, centred over its drawing area. The window passes
// its events here first and draws the boxes last in each frame.
class WindowMessageBoxes final : public MessageBoxHost {
 public:
  WindowMessageBoxes(platform::SdlEventLoop& loop, FontSource fonts, int areaWidth, int areaHeight);

  platform::MessageAnswer Show(std::string_view caption, std::string_view text,
                               platform::MessageIcon icon,
                               platform::MessageButtons buttons) override;
  bool IsOpen() const { return !open_.empty(); }
  // The topmost box, for tests and the window; null when none is open.
  MessageBox* Top() { return open_.empty() ? nullptr : open_.back().get(); }
  // Where the topmost box stands in the window.
  SDL_Rect TopArea() const;
  // Opens boxes even under SDL's drivers without a screen (for tests, which answer them).
  void OpenWithoutScreen() { screenless_ = false; }

  // While a box is open it takes every mouse, key and text event (true); events of the
  // window itself (shown, exposed, closed) are left to the window.
  bool HandleEvent(const SDL_Event& event);
  void Compose(SDL_Renderer* renderer);

 private:
  SDL_Rect AreaOf(const MessageBox& box) const;

  platform::SdlEventLoop& loop_;
  FontSource fonts_;
  int areaWidth_, areaHeight_;
  bool screenless_;
  std::vector<std::unique_ptr<MessageBox>> open_;  // the topmost last
};

// Each box in a small borderless window of its own, centred on the screen and raised;
// for a program whose windows may be hidden, or not made yet. While a box is open the
// presses and keys meant for the program's other windows are dropped.
class OwnWindowMessageBoxes final : public MessageBoxHost {
 public:
  OwnWindowMessageBoxes(platform::SdlEventLoop& loop, FontSource fonts);

  platform::MessageAnswer Show(std::string_view caption, std::string_view text,
                               platform::MessageIcon icon,
                               platform::MessageButtons buttons) override;

 private:
  platform::SdlEventLoop& loop_;
  FontSource fonts_;
};

}  // namespace hw::ui
