#pragma once
// The screen's display modes and the game's 800 x 600 board: the mode table, the
// start-up check of the desktop's width, and the switches between the desktop's own
// mode and an 800 x 600 mode.

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/desktop.h"

struct SDL_Window;

namespace hw::ui {

struct DisplayMode {
  int Width = 0;
  int Height = 0;
  int BitsPerPixel = 0;
  int RefreshRate = 0;  // Hz; 0 or 1 when the hardware does not say
  friend bool operator==(const DisplayMode&, const DisplayMode&) = default;
};

// A failure to read the display modes, with the platform's error number and text.
class DisplayModeError : public std::runtime_error {
 public:
  DisplayModeError(int number, const std::string& description)
      : std::runtime_error(description), number_(number) {}
  int Number() const { return number_; }

 private:
  int number_;
};

// What the platform offers. May throw DisplayModeError when it cannot be asked.
class DisplayModes {
 public:
  virtual ~DisplayModes() = default;
  // The index-th mode the screen supports (0 upwards); nothing past the last.
  virtual std::optional<DisplayMode> Mode(int index) const = 0;
  // The mode the screen is in now; nothing when that cannot be told.
  virtual std::optional<DisplayMode> Current() const = 0;
  // Puts the screen into the index-th mode. False when the platform refuses.
  virtual bool Apply(int index) = 0;
};

// A screen with a fixed list of modes, for tests and headless runs: applying a mode makes
// it the current one unless `refuse` is set; every attempt is written down.
class ListedDisplayModes final : public DisplayModes {
 public:
  ListedDisplayModes() = default;
  ListedDisplayModes(std::vector<DisplayMode> listed, DisplayMode inUse)
      : modes(std::move(listed)), current(inUse) {}

  std::optional<DisplayMode> Mode(int index) const override {
    if (failure) throw *failure;
    if (index < 0 || index >= static_cast<int>(modes.size())) return std::nullopt;
    return modes[static_cast<std::size_t>(index)];
  }
  std::optional<DisplayMode> Current() const override { return current; }
  bool Apply(int index) override {
    applied.push_back(index);
    if (refuse || index < 0 || index >= static_cast<int>(modes.size())) return false;
    current = modes[static_cast<std::size_t>(index)];
    return true;
  }

  std::vector<DisplayMode> modes;
  std::optional<DisplayMode> current;
  bool refuse = false;
  std::optional<DisplayModeError> failure;  // thrown when the modes are read
  std::vector<int> applied;
};

// The modes of the display that shows the game's window, through SDL's video subsystem
// (initialised here for as long as this object lives). A mode other than the desktop's
// own is applied by making the window fullscreen in it; the desktop's own mode by
// leaving fullscreen. Without a window no mode can be applied.
class SdlDisplayModes final : public DisplayModes {
 public:
  explicit SdlDisplayModes(SDL_Window* window = nullptr);
  ~SdlDisplayModes() override;
  SdlDisplayModes(const SdlDisplayModes&) = delete;
  SdlDisplayModes& operator=(const SdlDisplayModes&) = delete;

  void SetWindow(SDL_Window* window) { window_ = window; }

  std::optional<DisplayMode> Mode(int index) const override;
  std::optional<DisplayMode> Current() const override;
  bool Apply(int index) override;

 private:
  int DisplayIndex() const;

  bool videoReady_ = false;
  std::string videoProblem_;
  SDL_Window* window_ = nullptr;
};

// The screen's size in twips (15 to the pixel), and the board's.
inline constexpr int kTwipsPerPixel = 15;
struct ScreenMetrics {
  int ScreenWidth = 0;
  int ScreenHeight = 0;
  int Width800 = 0;
  int Height600 = 0;
};

// How a mode appears in the table: "1024 x 768, 32bit color, 60 Hz".
std::string DescribeDisplayMode(const DisplayMode& mode);

class DisplayCheck {
 public:
  // `redraw` repaints the board after the display mode has changed.
  DisplayCheck(DisplayModes& modes, platform::Desktop& desktop, std::function<void()> redraw = {})
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

  // 0 for the Windows 95/98/ME family, -1 for every other platform.
  static int PlatformCode() { return -1; }

  const std::vector<std::string>& DisplayModeList() const { return list_; }
  int DesktopModeIndex() const { return desktopIndex_; }
  const std::string& DesktopModeText() const { return desktopText_; }
  int CurrentModeIndex() const { return currentIndex_; }
  const std::string& CurrentModeText() const { return currentText_; }
  // True while the game has put the display into an 800 x 600 mode of its choosing.
  bool ModeSwitched() const { return modeSwitched_; }
  const ui::ScreenMetrics& ScreenMetrics() const { return metrics_; }

 private:
  // Fills the table and returns the row of the screen's current mode, -1 for none.
  int BuildTable();
  void FillScreenMetrics();

  DisplayModes& modes_;
  platform::Desktop& desktop_;
  std::function<void()> redraw_;

  std::vector<DisplayMode> table_;
  std::vector<std::string> list_;
  int desktopIndex_ = -1;
  std::string desktopText_;
  int currentIndex_ = -1;
  std::string currentText_;
  bool modeSwitched_ = false;
  ui::ScreenMetrics metrics_;
};

}  // namespace hw::ui
