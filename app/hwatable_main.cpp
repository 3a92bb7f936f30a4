// The game program: start-up, then (once they exist) the main window and the login.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/settings.h"
#include "core/startup.h"
#include "platform/file_system.h"
#include "platform/paths.h"
#include "platform/posix/ini_settings_store.h"
#include "platform/single_instance.h"

namespace {

// The portal the game talks to: HWATABLE_PORTAL_URL when set, else the "PortalUrl"
// value of the game's own section in the settings store.
std::string ConfiguredPortalUrl(hw::platform::SettingsStore& settings) {
  if (const char* url = std::getenv("HWATABLE_PORTAL_URL"); url != nullptr && *url != '\0') {
    return url;
  }
  return settings.Read(hw::kSettingsApp, "Hwatable", "PortalUrl").value_or("");
}

}  // namespace

int main() {
  // A second copy of the game ends at once, without showing anything.
  hw::platform::InstanceLock instance(hw::platform::RuntimeDir() + "/hwatable.lock");
  if (instance.AnotherInstanceRuns()) return 0;

  hw::platform::PosixFileSystem files;
  hw::platform::IniSettingsStore settings(hw::platform::ConfigHome());
  hw::GameState state;
  hw::StartupWorld world{settings, files, ConfiguredPortalUrl(settings), {}};
  const hw::StartupResult startup = hw::RunStartup(state, world);
  for (const std::string& problem : startup.problems) {
    std::fprintf(stderr, "hwatable: %s\n", problem.c_str());
  }
  if (!startup.proceed) return 0;

  std::printf("hwatable %s: started from %s\n", state.GameInfo.Version.c_str(),
              state.GameInfo.ProgramFolder.c_str());
  std::printf("  settings: stake %d won per point, %d service cards, sound %s, card speed %d\n",
              hw::StakeSetting(settings, false, 0), hw::ServiceCardSetting(settings, false, 0),
              hw::SoundSetting(settings, false, "").c_str(),
              hw::CardSpeedSetting(settings, false, 0));
  std::printf(
      "  The game window, the login and the portal are not built yet, so the program ends "
      "here.\n");
  return 0;
}
