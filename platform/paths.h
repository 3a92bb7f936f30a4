#pragma once
// Where per-user files live on this platform (the XDG base directories).

#include <string>

namespace hw::platform {

// $XDG_CONFIG_HOME, or ~/.config. Never ends in '/'.
std::string ConfigHome();
// $XDG_DATA_HOME, or ~/.local/share. Never ends in '/'.
std::string DataHome();
// $XDG_CACHE_HOME, or ~/.cache. Never ends in '/'.
std::string CacheHome();
// $XDG_STATE_HOME, or ~/.local/state: logs and other state kept across starts. Never
// ends in '/'.
std::string StateHome();
// $XDG_RUNTIME_DIR when it is set and usable, else `fallback`. Never ends in '/'.
std::string RuntimeDirOr(const std::string& fallback);
// RuntimeDirOr(ConfigHome()).
std::string RuntimeDir();

}  // namespace hw::platform
