#pragma once
// A screen for tests and headless runs with a fixed list of modes.

#include <optional>
#include <utility>
#include <vector>

#include "platform/display_modes.h"

namespace hw::platform {

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

}  // namespace hw::platform
