#pragma once
// The updater's toolbox: where the game and the browser live, which versions are
// installed, and the start of the game. The values it reads and writes are shared with
// the game (section "QuenrithVelmaro") and with the portal's desktop browser (section
// "OstrelRealSolution") in the settings store of application "Marrowlyn".
//
// Every program name goes through platform::ExecutableName, so that the platform alone
// decides the suffix ("hwatable", "tmpupdater", "ostrel", "102" here).

#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "platform/launcher.h"
#include "platform/settings_store.h"
#include "platform/shared_names.h"

namespace hw::updater {

// The programs of the portal's desktop browser, by their base names (the game's own are
// in platform/shared_names.h).
inline constexpr const char* kBrowserProgram = "ostrel";
inline constexpr const char* kBrowserTaskProgram = "ostreltask";
inline constexpr const char* kBrowserCheckProgram = "ostrelchk";
inline constexpr const char* kBrowserMainProgram = "ostrelmain";
inline constexpr const char* kNewBrowserMainProgram = "tmpostrelmain";

// The lowest browser version the game works with.
inline constexpr int kLowestBrowserVersion = 117;

// "RunVer" of the game's section: the installed version, or "100" when it is empty, is
// not a whole number, or the store cannot be read.
std::string InstalledVersion(platform::SettingsStore& settings);

// True only when "OstrelRunVer" is a whole number of at least 117 and "OstrelRunPath"
// names an existing file.
bool IsBrowserInstalled(platform::SettingsStore& settings, const platform::FileSystem& files);

// The running program's own path (/proc/self/exe), or "" when it cannot be told.
std::string OwnExecutablePath();

// The folder of the updater's own executable, with a trailing '/' ("./" for a bare name).
std::string OwnFolder(const std::string& ownPath);

// The folder of the game: the folder of "RunPath" when that names an existing file,
// otherwise `ownFolder`. (The game's path is cut at its last '/', not by removing the
// game's name wherever it occurs: here programs carry no suffix, and the game usually
// lives in a folder named like the game itself.)
std::string GameFolder(platform::SettingsStore& settings, const platform::FileSystem& files,
                       const std::string& ownFolder);

// The per-user "program files" folder: the XDG data folder, with a trailing '/'.
std::string ProgramFilesFolder();

// Creates <programFiles>Ostrel/, its Browser/ and Browser/img/ where missing, and
// returns the browser folder <programFiles>Ostrel/Browser/. A folder that cannot be made
// is passed over (the browser's installer will find out).
std::string EnsureFolders(const std::string& programFilesFolder);

// Deletes the browser's hand-over values "OstrelJname" and then "OstrelJcode". False
// when either could not be deleted.
bool DeleteBrowserHandOver(platform::SettingsStore& settings);

// The lock of the running game (kGameLockName), and the updater's own, in the user's
// runtime folder: one updater per user runs at a time.
std::string GameLockPath();
std::string UpdaterLockPath();

// This user's running game: the process that holds the game's lock when it runs as
// "hwatable" for this user; 0 when no game runs.
int RunningGame();

// Starts the game (the game folder's "hwatable") with no arguments, in a normal window
// with the focus.
platform::LaunchResult StartGame(platform::Launcher& launcher, const std::string& gameFolder);

}  // namespace hw::updater
