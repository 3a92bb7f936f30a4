#pragma once
// The desktop of a window program (the game, the updater): message boxes drawn by the
// program itself, and addresses and files opened with the desktop's default program.
//
// Opening can fail where no browser or no desktop is installed. The player then still
// learns where to go: the address is put on the clipboard, written to stderr and to the
// program's own log (onCannotOpen), and shown in a box.

#include <functional>
#include <string>
#include <string_view>

#include "platform/desktop.h"
#include "platform/sdl/sdl_event_loop.h"
#include "ui/message_box.h"

namespace hw::ui {

class ProgramDesktop final : public platform::Desktop {
 public:
  // `title` is the caption of the box that shows an address that could not be opened.
  // Boxes go to windows of their own until ShowBoxesIn gives them a window.
  ProgramDesktop(platform::SdlEventLoop& loop, FontSource fonts, std::string title);

  platform::MessageAnswer ShowMessage(std::string_view caption, std::string_view text,
                                      platform::MessageIcon icon,
                                      platform::MessageButtons buttons) override;
  // Starts the desktop's opener and waits (events running) until it has either failed or
  // got going; false, after showing the address, when it failed.
  bool OpenWithShell(std::string_view target) override;

  // Boxes are shown by this host from now on; nullptr gives them windows of their own
  // again (the host's window is going away).
  void ShowBoxesIn(MessageBoxHost* host) { host_ = host != nullptr ? host : &ownWindows_; }
  // The address that could not be opened, for the program's own log.
  std::function<void(std::string_view address)> onCannotOpen;

  // The program that opens addresses and files, and how long it may run before the
  // opening counts as done (it may run as long as the browser it started).
  std::string opener = "xdg-open";
  double patienceSeconds = 3;

 private:
  platform::SdlEventLoop& loop_;
  std::string title_;
  OwnWindowMessageBoxes ownWindows_;
  MessageBoxHost* host_;
};

// The text of the box that shows an address the desktop could not open.
std::string CannotOpenText(std::string_view address);

}  // namespace hw::ui
