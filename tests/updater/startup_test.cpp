// The updater's start-up and toolbox: versions, folders, the values it shares with the
// game and the browser, and the two run modes.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "mainwindow/settings.h"
#include "platform/fake/memory_settings_store.h"
#include "platform/file_system.h"
#include "tests/support/temp_folder.h"
#include "updater/startup.h"
#include "updater/toolbox.h"

namespace hw::updater {
namespace {

namespace fs = std::filesystem;
using platform::MemorySettingsStore;

void Touch(const std::string& path) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream(path) << "x";
}

TEST(ToolboxTest, InstalledVersionIsAWholeNumberOr100) {
  MemorySettingsStore settings;
  EXPECT_EQ(InstalledVersion(settings), "100") << "missing";
  for (const char* stored : {"", "abc", "10a", "-3", " 101", "1e3"}) {
    settings.Set(kSettingsApp, kGameSection, "RunVer", stored);
    EXPECT_EQ(InstalledVersion(settings), "100") << "\"" << stored << "\"";
  }
  settings.Set(kSettingsApp, kGameSection, "runver", "102");  // names ignore case
  EXPECT_EQ(InstalledVersion(settings), "102");
  settings.failReads = true;
  EXPECT_EQ(InstalledVersion(settings), "100");
}

TEST(ToolboxTest, TheBrowserCountsFromVersion117WithAnExistingProgram) {
  testing::TempFolder folder;
  platform::PosixFileSystem files(folder.Path());
  MemorySettingsStore settings;
  const std::string program = folder.Path() + "/ostrel";
  Touch(program);
  auto installed = [&](const char* version, const std::string& path) {
    settings.Set(kSettingsApp, kBrowserSection, "OstrelRunVer", version);
    settings.Set(kSettingsApp, kBrowserSection, "OstrelRunPath", path);
    return IsBrowserInstalled(settings, files);
  };
  EXPECT_TRUE(installed("117", program));
  EXPECT_TRUE(installed("1170", program));
  EXPECT_FALSE(installed("116", program));
  EXPECT_FALSE(installed("", program));
  EXPECT_FALSE(installed("abc", program));
  EXPECT_FALSE(installed("117", ""));
  EXPECT_FALSE(installed("117", folder.Path() + "/deleted"));
  EXPECT_FALSE(installed("117", folder.Path())) << "a folder is no program";
}

TEST(ToolboxTest, GameFolderIsTheFolderOfAnExistingRunPath) {
  testing::TempFolder folder;
  platform::PosixFileSystem files(folder.Path());
  MemorySettingsStore settings;
  const std::string own = "/opt/updater/";
  EXPECT_EQ(GameFolder(settings, files, own), own) << "no RunPath";

  // The game usually lives in a folder named like itself; only its file name goes.
  const std::string game = folder.Path() + "/hwatable/hwatable";
  Touch(game);
  settings.Set(kSettingsApp, kGameSection, "RunPath", game);
  EXPECT_EQ(GameFolder(settings, files, own), folder.Path() + "/hwatable/");

  fs::remove(game);
  EXPECT_EQ(GameFolder(settings, files, own), own) << "a deleted game";

  EXPECT_EQ(OwnFolder("/usr/games/velmaro/updater"), "/usr/games/velmaro/");
  EXPECT_EQ(OwnFolder("updater"), "./");
}

// ---- Start-up

struct StartupRig {
  StartupRig() {
    input.ownPath = folder.Path() + "/bin/" + platform::ExecutableName("updater");
    input.addresses = {"http://portal.test/", "http://browser.test/", {}};
    input.programFilesFolder = folder.Path() + "/data/";
    input.ownVersion = "107";
    settings.Set(kSettingsApp, kGameSection, "RunVer", "99");
    settings.Set(kSettingsApp, kBrowserSection, "OstrelJname", "someone");
    settings.Set(kSettingsApp, kBrowserSection, "OstrelJcode", "1234");
  }
  std::string Value(std::string_view section, std::string_view name) {
    return settings.Read(kSettingsApp, section, name).value_or("?");
  }

  testing::TempFolder folder;
  platform::PosixFileSystem files{folder.Path()};
  MemorySettingsStore settings;
  StartupInput input;
};

TEST(StartupTest, RecordsTheInstallationAndKeepsTheVersionItFound) {
  StartupRig rig;
  rig.input.arguments = {"game"};
  const StartupResult result = RunStartup(rig.input, rig.settings, rig.files);

  EXPECT_EQ(result.next, NextStep::kGameMode);
  EXPECT_EQ(result.run.mode, RunMode::kGameMode);
  EXPECT_TRUE(result.problems.empty());
  EXPECT_EQ(result.run.installedVersion, "99") << "read before it was overwritten";
  EXPECT_EQ(result.run.gameListUrl, "http://portal.test/down/nlist.lst");
  EXPECT_EQ(result.run.browserListUrl, "http://browser.test/down/nlist.lst");
  EXPECT_EQ(result.run.gameFolder, rig.folder.Path() + "/bin/") << "no game recorded yet";
  EXPECT_EQ(result.run.browserFolder, rig.folder.Path() + "/data/Ostrel/Browser/");
  EXPECT_TRUE(fs::is_directory(result.run.browserFolder + "img"));

  const std::string bin = rig.folder.Path() + "/bin/";
  EXPECT_EQ(rig.Value(kGameSection, "RunVer"), "107");
  EXPECT_EQ(rig.Value(kGameSection, "RunPath"), bin + platform::ExecutableName("hwatable"));
  EXPECT_EQ(rig.Value(kGameSection, "RunUp"), bin + platform::ExecutableName("updater"));
  EXPECT_EQ(rig.Value(kBrowserSection, "OstrelJname"), "");
  EXPECT_EQ(rig.Value(kBrowserSection, "OstrelJcode"), "");
}

TEST(StartupTest, NoCommandLineMeansBrowserMode) {
  StartupRig rig;
  EXPECT_EQ(RunStartup(rig.input, rig.settings, rig.files).next, NextStep::kBrowserMode);
  rig.input.arguments = {""};
  const StartupResult result = RunStartup(rig.input, rig.settings, rig.files);
  EXPECT_EQ(result.next, NextStep::kBrowserMode) << "an empty command line";
  EXPECT_EQ(result.run.mode, RunMode::kBrowserMode);
}

TEST(StartupTest, TheNewUpdaterCopyRecordsItselfAndEnds) {
  StartupRig rig;
  rig.input.arguments = {"game"};
  rig.input.ownPath = rig.folder.Path() + "/bin/" + platform::ExecutableName("TmpUpdater");
  const StartupResult result = RunStartup(rig.input, rig.settings, rig.files);
  EXPECT_EQ(result.next, NextStep::kEndNow);
  const std::string bin = rig.folder.Path() + "/bin/";
  EXPECT_EQ(rig.Value(kGameSection, "RunVer"), "107");
  EXPECT_EQ(rig.Value(kGameSection, "RunPath"), bin + platform::ExecutableName("hwatable"));
  EXPECT_EQ(rig.Value(kGameSection, "RunUp"), bin + platform::ExecutableName("updater"));
}

TEST(StartupTest, AStoreThatRefusesWritesIsReportedNotFatal) {
  StartupRig rig;
  rig.settings.failSaves = true;
  rig.settings.failDeletes = true;
  rig.input.arguments = {"game"};
  const StartupResult result = RunStartup(rig.input, rig.settings, rig.files);
  EXPECT_EQ(result.next, NextStep::kGameMode);
  EXPECT_EQ(result.problems.size(), 4u);  // the hand-over and three values
}

// ---- Base addresses

class BaseAddressTest : public ::testing::Test {
 protected:
  void SetUp() override { Clear(); }
  void TearDown() override { Clear(); }
  static void Clear() {
    unsetenv("HWATABLE_PORTAL_URL");
    unsetenv("HWATABLE_BROWSER_URL");
  }
  MemorySettingsStore settings;
  // The local portal as its record would tell it, and how often it was asked.
  std::string localPortal = "http://127.0.0.1:40123/";
  int localAsked = 0;
  BaseAddresses Read() {
    return ReadBaseAddresses(settings, [this] {
      ++localAsked;
      return localPortal;
    });
  }
};

TEST_F(BaseAddressTest, EnvironmentThenSettingsThenTheLocalPortal) {
  BaseAddresses none = Read();
  EXPECT_EQ(none.portal, "http://127.0.0.1:40123/");
  EXPECT_EQ(none.browser, "http://127.0.0.1:40123/");
  EXPECT_EQ(localAsked, 1);

  settings.Set(kSettingsApp, "Hwatable", "PortalUrl", "https://set.test/");
  BaseAddresses stored = Read();
  EXPECT_EQ(stored.portal, "https://set.test/");
  EXPECT_EQ(stored.browser, "https://set.test/") << "the browser's follows the portal's";
  EXPECT_EQ(localAsked, 1) << "a configured portal leaves the local one alone";

  settings.Set(kSettingsApp, "Hwatable", "BrowserUrl", "http://vendor.test/");
  setenv("HWATABLE_PORTAL_URL", "http://env.test/", 1);
  BaseAddresses both = Read();
  EXPECT_EQ(both.portal, "http://env.test/");
  EXPECT_EQ(both.browser, "http://vendor.test/");
  EXPECT_TRUE(both.problems.empty());

  setenv("HWATABLE_BROWSER_URL", "http://env-vendor.test/", 1);
  EXPECT_EQ(Read().browser, "http://env-vendor.test/");
}

TEST_F(BaseAddressTest, WithoutARunningLocalPortalThereIsNoListToFetch) {
  localPortal = "";
  const BaseAddresses none = Read();
  EXPECT_EQ(none.portal, "");
  EXPECT_EQ(none.browser, "");
  EXPECT_TRUE(none.problems.empty()) << "the game starts its portal itself";
  settings.Set(kSettingsApp, "Hwatable", "BrowserUrl", "http://vendor.test/");
  EXPECT_EQ(Read().browser, "http://vendor.test/");
}

TEST_F(BaseAddressTest, AnAddressWithoutItsSlashOrSchemeIsRefused) {
  setenv("HWATABLE_PORTAL_URL", "http://env.test", 1);
  settings.Set(kSettingsApp, "Hwatable", "BrowserUrl", "ftp://vendor.test/");
  const BaseAddresses refused = Read();
  EXPECT_EQ(refused.portal, "");
  EXPECT_EQ(refused.browser, "");
  ASSERT_EQ(refused.problems.size(), 2u);
  EXPECT_THAT(refused.problems[0], ::testing::HasSubstr("must end in \"/\""));
  EXPECT_THAT(refused.problems[1], ::testing::HasSubstr("must start with"));

  StartupInput input;
  input.addresses = refused;
  testing::TempFolder folder;
  input.programFilesFolder = folder.Path() + "/";
  platform::PosixFileSystem files(folder.Path());
  const StartupResult result = RunStartup(input, settings, files);
  EXPECT_EQ(result.run.gameListUrl, "") << "nothing is fetched from a refused address";
}

}  // namespace
}  // namespace hw::updater
