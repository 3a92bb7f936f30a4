#pragma once
// The names the game and the updater share: where the settings store keeps their values,
// the installation values both write, and the programs' base names (the platform adds
// its suffix, see ExecutableName). Both programs include this, and nothing else of each
// other.

#include <string_view>

namespace hw {

// The settings store: the application, the game's section, the portal browser's
// section, and the section of this system's own configuration (the portal's address).
inline constexpr std::string_view kSettingsApp = "Marrowlyn";
inline constexpr std::string_view kGameSection = "QuenrithVelmaro";
inline constexpr std::string_view kBrowserSection = "OstrelRealSolution";
inline constexpr std::string_view kConfigSection = "Hwatable";

// The installation, recorded in the game's section by both programs.
inline constexpr std::string_view kRunVerSetting = "RunVer";
inline constexpr std::string_view kRunPathSetting = "RunPath";
inline constexpr std::string_view kRunUpSetting = "RunUp";

// The programs, by their base names.
inline constexpr const char* kGameProgram = "hwatable";
inline constexpr const char* kUpdaterProgram = "updater";
inline constexpr const char* kNewUpdaterProgram = "tmpupdater";

// The lock that a running game holds in the user's runtime folder (one game per user);
// the updater looks there for a game it would replace.
inline constexpr const char* kGameLockName = "hwatable.lock";

}  // namespace hw
