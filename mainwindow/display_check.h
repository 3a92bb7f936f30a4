#pragma once
// The start-up check of the screen and the game's switches between the desktop's display
// mode and an 800 x 600 one: the mode table, the desktop's width, and the questions and
// messages about them.

#include <functional>
#include <string>
#include <vector>

#include "platform/desktop.h"
#include "platform/display_modes.h"

namespace hw {

// The screen's size in twips (15 to the pixel), and the board's.
inline constexpr int kTwipsPerPixel = 15;
struct ScreenMetrics {
  int ScreenWidth = 0;
  int ScreenHeight = 0;
  int Width800 = 0;
  int Height600 = 0;
};

// How a mode appears in the table: "1024 x 768, 32bit color, 60 Hz".
std::string DescribeDisplayMode(const platform::DisplayMode& mode);

class DisplayCheck {
 public:
  // `redraw` repaints the board after the display mode has changed.
  DisplayCheck(platform::DisplayModes& modes, platform::Desktop& desktop,
               std::function<void()> redraw = {})
      : modes_(modes), desktop_(desktop), redraw_(std::move(redraw)) {}

  void SetRedraw(std::function<void()> redraw) { redraw_ = std::move(redraw); }

  // The start-up check: builds the mode table, finds the desktop's mode and, for a
  // desktop narrower than 800 pixels, offers the switch to 800 x 600. False when the
  // program must end.
  bool Run();

  // toGame true: from the desktop's mode to an 800 x 600 mode, or back when already
  // switched. toGame false: back to the desktop's mode.
  void SwitchDisplay(bool toGame);
  // Applies the mode of that table row. True when the platform accepted it.
  bool SetDisplayMode(int index);

  // The code the login records for the operating system: -1 here (0 would mark an old
  // system whose display could not be switched).
  static int PlatformCode() { return -1; }

  const std::vector<std::string>& DisplayModeList() const { return list_; }
  int DesktopModeIndex() const { return desktopIndex_; }
  const std::string& DesktopModeText() const { return desktopText_; }
  int CurrentModeIndex() const { return currentIndex_; }
  const std::string& CurrentModeText() const { return currentText_; }
  // True while the game has put the display into an 800 x 600 mode of its choosing.
  bool ModeSwitched() const { return modeSwitched_; }
  const hw::ScreenMetrics& ScreenMetrics() const { return metrics_; }

 private:
  // Fills the table and returns the row of the screen's current mode, -1 for none.
  int BuildTable();
  void FillScreenMetrics();

  platform::DisplayModes& modes_;
  platform::Desktop& desktop_;
  std::function<void()> redraw_;

  std::vector<platform::DisplayMode> table_;
  std::vector<std::string> list_;
  int desktopIndex_ = -1;
  std::string desktopText_;
  int currentIndex_ = -1;
  std::string currentText_;
  bool modeSwitched_ = false;
  hw::ScreenMetrics metrics_;
};

}  // namespace hw
