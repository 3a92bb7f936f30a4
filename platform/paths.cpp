#include "platform/paths.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

namespace hw::platform {
namespace {

std::string Home() {
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return home;
  if (const passwd* pw = getpwuid(getuid()); pw != nullptr && pw->pw_dir != nullptr) {
    return pw->pw_dir;
  }
  return "/tmp";
}

std::string WithoutTrailingSlash(std::string path) {
  while (path.size() > 1 && path.back() == '/')
    path.pop_back();
  return path;
}

// XDG says relative paths in these variables are invalid and must be ignored.
std::string FromEnvironment(const char* variable, const std::string& fallback) {
  const char* value = std::getenv(variable);
  if (value != nullptr && value[0] == '/') return WithoutTrailingSlash(value);
  return fallback;
}

}  // namespace

std::string ConfigHome() {
  return FromEnvironment("XDG_CONFIG_HOME", Home() + "/.config");
}

std::string DataHome() {
  return FromEnvironment("XDG_DATA_HOME", Home() + "/.local/share");
}

std::string CacheHome() {
  return FromEnvironment("XDG_CACHE_HOME", Home() + "/.cache");
}

std::string StateHome() {
  return FromEnvironment("XDG_STATE_HOME", Home() + "/.local/state");
}

std::string RuntimeDirOr(const std::string& fallback) {
  const std::string dir = FromEnvironment("XDG_RUNTIME_DIR", "");
  struct stat info {};
  if (!dir.empty() && stat(dir.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
      access(dir.c_str(), W_OK) == 0) {
    return dir;
  }
  return fallback;
}

std::string RuntimeDir() {
  return RuntimeDirOr(ConfigHome());
}

}  // namespace hw::platform
