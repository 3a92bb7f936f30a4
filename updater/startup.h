#pragma once
// The updater's start-up: it records where the game and the updater live, works out the
// installed version and the folders, and tells the two run modes apart. A command line
// (the game's desktop entry passes "game") means GameMode: check the portal's list,
// update the game if it is older, start it. No command line means BrowserMode: make sure
// the portal's desktop browser is installed.

#include <functional>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/settings_store.h"

namespace hw::updater {

// The two base addresses, each an http:// or https:// address ending in "/".
struct BaseAddresses {
  std::string portal;
  std::string browser;  // the browser vendor's
  // What was wrong with the configuration; an address that was refused is left empty, so
  // that its list cannot be fetched (the game then starts unchanged).
  std::vector<std::string> problems;
};

// The portal's address as the game configures it: HWATABLE_PORTAL_URL, else "PortalUrl"
// in section "Hwatable" of the settings, else the game's local portal's as `localPortal`
// tells it ("" when none of this user's runs: there is no list to fetch, and the game
// starts its portal itself). The browser vendor's likewise from HWATABLE_BROWSER_URL or
// "BrowserUrl", else the same as the portal's.
BaseAddresses ReadBaseAddresses(platform::SettingsStore& settings,
                                const std::function<std::string()>& localPortal);
// The base address of this user's local portal as its record names it, when it runs as
// this user on a port of this user's (platform/local_portal_record.h); else "".
std::string RunningLocalPortalUrl();

enum class RunMode { kGameMode, kBrowserMode };

// What the update window works with, fixed at start-up.
struct RunValues {
  RunMode mode = RunMode::kGameMode;
  std::string portalUrl;         // base address of the portal: its home page
  std::string browserUrl;        // base address of the browser vendor: its home page
  std::string gameListUrl;       // portal + "down/nlist.lst"
  std::string browserListUrl;    // browser vendor + "down/nlist.lst"
  std::string installedVersion;  // "RunVer" as it was before this start overwrote it
  std::string gameFolder;        // with a trailing '/'
  std::string browserFolder;     // with a trailing '/'
  std::string logPath;           // the updater's log, where the installers' output goes too
};

struct StartupInput {
  std::vector<std::string> arguments;  // the command line, without the program's name
  std::string ownPath;                 // the updater's own executable
  BaseAddresses addresses;
  std::string programFilesFolder;  // where "Ostrel/Browser/" goes (ProgramFilesFolder())
  std::string ownVersion;          // this updater's version (kBuildVersion), recorded as "RunVer"
};

enum class NextStep { kEndNow, kGameMode, kBrowserMode };

struct StartupResult {
  NextStep next = NextStep::kEndNow;
  RunValues run;
  std::vector<std::string> problems;  // settings that could not be written, for stderr
};

// Whether the program at `ownPath` is a new updater copy ("tmpupdater") that an installer
// left and the running updater runs once: it takes no lock of its own, as the updater
// that runs it holds the updaters' lock.
bool IsNewUpdaterCopy(const std::string& ownPath);

// Runs the start-up in its order: the list addresses; the installed version (read before
// it is overwritten); the game folder; the browser folders; the browser's hand-over
// values deleted; "RunVer" (this build's version), "RunPath" and "RunUp" written. An
// updater started as "tmpupdater" (a new copy the game's installer left, run once by the
// old updater so that it records its own version) ends there; otherwise the command line
// picks the mode.
StartupResult RunStartup(const StartupInput& input, platform::SettingsStore& settings,
                         const platform::FileSystem& files);

}  // namespace hw::updater
