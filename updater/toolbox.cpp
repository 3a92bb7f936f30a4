#include "updater/toolbox.h"

#include <unistd.h>

#include <charconv>
#include <filesystem>
#include <system_error>

#include "platform/local_portal_record.h"
#include "platform/paths.h"
#include "platform/shared_names.h"
#include "platform/single_instance.h"
#include "updater/update_list.h"

namespace hw::updater {
namespace {

namespace fs = std::filesystem;

std::string ReadValue(platform::SettingsStore& settings, std::string_view section,
                      std::string_view name) {
  return settings.Read(kSettingsApp, section, name).value_or("");
}

std::int64_t WholeNumber(const std::string& text) {
  std::int64_t value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? "./" : path.substr(0, slash + 1);
}

}  // namespace

std::string InstalledVersion(platform::SettingsStore& settings) {
  const std::string version = ReadValue(settings, kGameSection, kRunVerSetting);
  return IsWholeNumber(version) ? version : "100";
}

bool IsBrowserInstalled(platform::SettingsStore& settings, const platform::FileSystem& files) {
  const std::string version = ReadValue(settings, kBrowserSection, "OstrelRunVer");
  if (!IsWholeNumber(version) || WholeNumber(version) < kLowestBrowserVersion) return false;
  const std::string path = ReadValue(settings, kBrowserSection, "OstrelRunPath");
  return !path.empty() && files.Exists(path);
}

std::string OwnExecutablePath() {
  std::error_code error;
  const fs::path exe = fs::read_symlink("/proc/self/exe", error);
  return error ? "" : exe.string();
}

std::string OwnFolder(const std::string& ownPath) {
  return FolderOf(ownPath);
}

std::string GameFolder(platform::SettingsStore& settings, const platform::FileSystem& files,
                       const std::string& ownFolder) {
  const std::string gamePath = ReadValue(settings, kGameSection, kRunPathSetting);
  if (gamePath.empty() || !files.Exists(gamePath)) return ownFolder;
  return FolderOf(gamePath);
}

std::string ProgramFilesFolder() {
  return platform::WithTrailingSeparator(platform::DataHome());
}

std::string EnsureFolders(const std::string& programFilesFolder) {
  std::error_code ignored;
  const std::string vendor = programFilesFolder + "Ostrel/";
  // The data folder itself may be missing in a fresh home: it is made as well.
  fs::create_directories(vendor, ignored);
  const std::string browser = vendor + "Browser/";
  fs::create_directories(browser, ignored);
  fs::create_directories(browser + "img/", ignored);
  return browser;
}

bool DeleteBrowserHandOver(platform::SettingsStore& settings) {
  const bool name = settings.Delete(kSettingsApp, kBrowserSection, "OstrelJname");
  const bool code = settings.Delete(kSettingsApp, kBrowserSection, "OstrelJcode");
  return name && code;
}

std::string GameLockPath() {
  return platform::RuntimeDir() + "/" + kGameLockName;
}

std::string UpdaterLockPath() {
  return platform::RuntimeDir() + "/hwatable-updater.lock";
}

int RunningGame() {
  // The lock tells this user's game from the games of others (and of other sessions with
  // runtime folders of their own), which a walk of the processes by name cannot.
  const int holder = platform::LockHolder(GameLockPath());
  return holder > 0 && platform::ProcessRuns(holder, kGameProgram, ::getuid()) ? holder : 0;
}

platform::LaunchResult StartGame(platform::Launcher& launcher, const std::string& gameFolder) {
  return launcher.Run(gameFolder + platform::ExecutableName(kGameProgram), {},
                      platform::WindowStyle::kNormalWithFocus);
}

}  // namespace hw::updater
