#include "ui/shape.h"

#include <algorithm>

namespace hw {

WindowRegion::WindowRegion(int width, int height)
    : width_(std::max(0, width)),
      height_(std::max(0, height)),
      inside_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 1) {}

bool WindowRegion::Contains(int x, int y) const {
  return x >= 0 && y >= 0 && x < width_ && y < height_ &&
         inside_[static_cast<std::size_t>(y) * width_ + x] != 0;
}

void WindowRegion::XorRectangle(int x0, int y0, int x1, int y1) {
  x0 = std::max(x0, 0);
  y0 = std::max(y0, 0);
  x1 = std::min(x1, width_);
  y1 = std::min(y1, height_);
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x)
      inside_[static_cast<std::size_t>(y) * width_ + x] ^= 1;
  }
}

WindowRegion ShapeWindow(int width, int height, const PixelReader& pixel, std::uint32_t keyColour) {
  WindowRegion region(width, height);
  bool inRun = false;
  int rx = 0, ry = 0;  // where the open run began
  for (int y = 0; y <= height; ++y) {
    for (int x = 0; x <= width; ++x) {
      const std::optional<std::uint32_t> colour = pixel(x, y);
      const bool key = colour && *colour == keyColour;
      if (key && !inRun) {
        inRun = true;
        rx = x;
        ry = y;
      } else if (!key && inRun) {
        inRun = false;
        if (ry == y) {
          region.XorRectangle(rx, y, x, y + 1);
          continue;
        }
        // A run that began on an earlier row: the rest of that row (all of it when the
        // run began at its start), the full rows between, and the start of this row.
        int firstFullRow = ry + 1;
        if (rx > 0) {
          region.XorRectangle(rx, ry, width + 1, ry + 1);
        } else {
          firstFullRow = ry;
        }
        if (firstFullRow < y) region.XorRectangle(0, firstFullRow, width + 1, y);
        region.XorRectangle(0, y, x, y + 1);
      }
    }
  }
  return region;  // a run still open after the last pixel is not cut out
}

}  // namespace hw
