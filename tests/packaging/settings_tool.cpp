// The game's settings store from the command line, for the installer's tests: the values
// of the game's section read or saved exactly as the game and the updater do.
//
//   settings_tool save CONFIG_HOME NAME VALUE [NAME VALUE]...
//   settings_tool read CONFIG_HOME NAME     (prints the value, without a line break)

#include <cstdio>
#include <iostream>
#include <string>

#include "platform/posix/ini_settings_store.h"
#include "platform/shared_names.h"

int main(int argc, char** argv) {
  const std::string command = argc > 2 ? argv[1] : "";
  if (command == "read" && argc == 4) {
    hw::platform::IniSettingsStore store(argv[2]);
    const auto value = store.Read(hw::kSettingsApp, hw::kGameSection, argv[3]);
    if (!value) return 1;
    std::cout << *value;
    return 0;
  }
  if (command == "save" && argc >= 5 && argc % 2 == 1) {
    hw::platform::IniSettingsStore store(argv[2]);
    for (int i = 3; i + 1 < argc; i += 2) {
      if (!store.Save(hw::kSettingsApp, hw::kGameSection, argv[i], argv[i + 1])) return 1;
    }
    return 0;
  }
  std::fprintf(stderr,
               "usage: settings_tool save CONFIG_HOME NAME VALUE...\n"
               "       settings_tool read CONFIG_HOME NAME\n");
  return 2;
}
