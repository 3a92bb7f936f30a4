#pragma once
// The desktop of the window program: message boxes through SDL and the desktop's default
// programs through xdg-open.

#include "platform/desktop.h"

struct SDL_Window;

namespace hw::platform {

class SdlDesktop final : public Desktop {
 public:
  // Boxes are shown over `parent` when one is given.
  explicit SdlDesktop(SDL_Window* parent = nullptr) : parent_(parent) {}

  void SetParent(SDL_Window* parent) { parent_ = parent; }

  // A modal box: Yes is the Return key's button, No the Escape key's. When SDL cannot
  // show a box (no display), the message goes to stderr and the answer is No (or OK).
  MessageAnswer ShowMessage(std::string_view caption, std::string_view text, MessageIcon icon,
                            MessageButtons buttons) override;
  // Starts "xdg-open target" on its own, not waiting for it. False when it could not be
  // started (no xdg-open, no process to spare).
  bool OpenWithShell(std::string_view target) override;

 private:
  SDL_Window* parent_ = nullptr;
};

}  // namespace hw::platform
