#pragma once
// The screen's display modes as the program sees them: the modes the screen supports, the
// one it is in, and a switch to another.

#include <optional>
#include <stdexcept>
#include <string>

namespace hw::platform {

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

}  // namespace hw::platform
