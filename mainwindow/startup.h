#pragma once
// The game program's start-up, from filling in what the program is to setting up the
// board, and the path tables it builds on the way.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "platform/settings_store.h"
#include "rules/game_state.h"

namespace hw {

// The skin picture files, in the order of GameState::SkinImages.
extern const std::array<const char*, kSkinImages> kSkinImageNames;

// The program folder with a trailing separator.
std::string AppFolder(const GameInfoRecord& info);
// The program folder + "images/" + the file name.
std::string ImagePath(const GameInfoRecord& info, std::string_view fileName);

// Why a configured portal address cannot be used, or "" when it can: it must be an
// http:// or https:// address ending in "/".
std::string PortalUrlProblem(std::string_view baseUrl);
// The portal's addresses under its base address.
PortalAddresses BuildPortalAddresses(const std::string& baseUrl);

struct StartupWorld {
  platform::SettingsStore& settings;
  platform::FileSystem& files;
  std::string portalBaseUrl;  // as configured; "" when none is
  // The display check; false ends the program. Empty while the display has no check.
  std::function<bool()> displayCheck;
  // None is configured and the game uses its local portal, whose address the program
  // fills in once the portal answers: start-up leaves the addresses empty, unremarked.
  bool localPortal = false;
};

struct StartupResult {
  bool proceed = true;  // false when the display check ended the program
  // What did not work, for the operator's eyes; start-up goes on regardless.
  std::vector<std::string> problems;
};

// Everything start-up does after making sure this is the only running copy, in order:
// the game information, the browser hand-over values removed, the installation
// recorded for the updater, a new updater put in place, the skin and portal address
// tables, the rank and mission tables, the display check and the board layout.
StartupResult RunStartup(GameState& state, StartupWorld& world);

// Puts a new updater left by the installer as "tmpupdater" in place of "updater" in the
// program folder. The old updater is only ever replaced by a complete copy; the new one
// is removed once it has been copied. Returns a problem text, or "" (also when there was
// nothing to do).
std::string FinishUpdaterHandOver(platform::FileSystem& files, const GameInfoRecord& info);

}  // namespace hw
