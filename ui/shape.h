#pragma once
// Cutting a window to the outline of its picture: every run of pixels in the key colour
// (magenta for the game's dialogs) is cut out of the window's rectangle. The result is a
// mask the window is drawn through and hit-tested with.

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace hw {

class WindowRegion {
 public:
  WindowRegion(int width, int height);  // the whole rectangle
  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Contains(int x, int y) const;
  // Flips every pixel of the rectangle [x0, x1) x [y0, y1) (clipped to the window):
  // inside becomes outside and outside inside.
  void XorRectangle(int x0, int y0, int x1, int y1);

 private:
  int width_;
  int height_;
  std::vector<std::uint8_t> inside_;
};

// A pixel's colour as 0xRRGGBB, or nothing outside the picture.
using PixelReader = std::function<std::optional<std::uint32_t>(int x, int y)>;

inline constexpr std::uint32_t kMagenta = 0xFF00FF;

// ShapeWindow: scans the rows 0..height and in each the columns 0..width (both ends
// included) and cuts out the runs of keyColour.
WindowRegion ShapeWindow(int width, int height, const PixelReader& pixel,
                         std::uint32_t keyColour = kMagenta);

}  // namespace hw
