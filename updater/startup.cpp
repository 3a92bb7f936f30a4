#include "updater/startup.h"

#include <cstdlib>
#include <string_view>

#include "platform/local_portal_record.h"
#include "platform/shared_names.h"
#include "updater/toolbox.h"

namespace hw::updater {
namespace {

constexpr const char* kListPath = "down/nlist.lst";

std::string Configured(const char* variable, platform::SettingsStore& settings,
                       std::string_view name) {
  if (const char* value = std::getenv(variable); value != nullptr && *value != '\0') return value;
  return settings.Read(kSettingsApp, kConfigSection, name).value_or("");
}

// The address, or "" with a note of what is wrong with it.
std::string Checked(std::string address, std::string_view what,
                    std::vector<std::string>& problems) {
  const std::string shown = std::string(what) + " address \"" + address + "\"";
  if (!address.starts_with("http://") && !address.starts_with("https://")) {
    problems.push_back(shown + " must start with \"http://\" or \"https://\"");
    return "";
  }
  if (!address.ends_with("/")) {
    problems.push_back(shown + " must end in \"/\"");
    return "";
  }
  return address;
}

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

// The executable's name without its folder and without the platform's suffix.
std::string BareName(const std::string& path) {
  std::string name = path.substr(path.rfind('/') + 1);  // npos + 1 is 0
  const std::string suffix = platform::kExecutableSuffix;
  if (!suffix.empty() && Lower(name).ends_with(Lower(suffix))) {
    name.resize(name.size() - suffix.size());
  }
  return name;
}

}  // namespace

bool IsNewUpdaterCopy(const std::string& ownPath) {
  return Lower(BareName(ownPath)) == kNewUpdaterProgram;
}

BaseAddresses ReadBaseAddresses(platform::SettingsStore& settings,
                                const std::function<std::string()>& localPortal) {
  BaseAddresses addresses;
  std::string portal = Configured("HWATABLE_PORTAL_URL", settings, "PortalUrl");
  addresses.portal =
      portal.empty() ? localPortal() : Checked(portal, "the portal", addresses.problems);
  std::string browser = Configured("HWATABLE_BROWSER_URL", settings, "BrowserUrl");
  addresses.browser = browser.empty()
                          ? addresses.portal
                          : Checked(browser, "the browser vendor's", addresses.problems);
  return addresses;
}

std::string RunningLocalPortalUrl() {
  const std::optional<platform::PortalRecord> record =
      platform::ReadPortalRecord(platform::LocalPortalFolder());
  if (!record || !platform::RecordedPortalIsOwn(*record, platform::ReadProcNetTcp())) return "";
  return platform::LoopbackBaseUrl(record->port);
}

StartupResult RunStartup(const StartupInput& input, platform::SettingsStore& settings,
                         const platform::FileSystem& files) {
  StartupResult result;
  RunValues& run = result.run;
  run.portalUrl = input.addresses.portal;
  run.browserUrl = input.addresses.browser;
  run.gameListUrl = run.portalUrl.empty() ? "" : run.portalUrl + kListPath;
  run.browserListUrl = run.browserUrl.empty() ? "" : run.browserUrl + kListPath;

  run.installedVersion = InstalledVersion(settings);
  const std::string ownFolder = OwnFolder(input.ownPath);
  run.gameFolder = GameFolder(settings, files, ownFolder);
  run.browserFolder = EnsureFolders(input.programFilesFolder);
  if (!DeleteBrowserHandOver(settings)) {
    result.problems.push_back("could not delete the browser's hand-over values");
  }

  const std::pair<std::string_view, std::string> installation[] = {
      {kRunVerSetting, input.ownVersion},
      {kRunPathSetting, ownFolder + platform::ExecutableName(kGameProgram)},
      {kRunUpSetting, ownFolder + platform::ExecutableName(kUpdaterProgram)}};
  for (const auto& [name, value] : installation) {
    if (!settings.Save(kSettingsApp, kGameSection, name, value)) {
      result.problems.push_back("could not save the setting " + std::string(name));
    }
  }

  if (IsNewUpdaterCopy(input.ownPath)) return result;  // kEndNow

  std::string commandLine;
  for (const std::string& argument : input.arguments)
    commandLine += argument;
  run.mode = commandLine.empty() ? RunMode::kBrowserMode : RunMode::kGameMode;
  result.next = commandLine.empty() ? NextStep::kBrowserMode : NextStep::kGameMode;
  return result;
}

}  // namespace hw::updater
