#include "mainwindow/startup.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "mainwindow/settings.h"
#include "platform/fake/memory_settings_store.h"
#include "tests/support/temp_folder.h"

namespace hw {
namespace {

using platform::MemorySettingsStore;
using platform::PosixFileSystem;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

std::string Contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

void Write(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

struct Startup {
  testing::TempFolder folder;
  MemorySettingsStore settings;
  PosixFileSystem files{folder.Path()};
  GameState state;
  StartupWorld world{settings, files, "http://127.0.0.1:8410/", {}};
  std::string Program(const char* name) const { return folder.Path() + "/" + name; }
};

TEST(StartupTest, RecordsTheInstallationAndBuildsTheTables) {
  Startup s;
  s.settings.Set(kSettingsApp, kBrowserSection, "OstrelJname", "x");
  s.settings.Set(kSettingsApp, kBrowserSection, "OstrelJcode", "y");

  const StartupResult result = RunStartup(s.state, s.world);

  EXPECT_TRUE(result.proceed);
  EXPECT_THAT(result.problems, IsEmpty());
  const GameInfoRecord& info = s.state.GameInfo;
  EXPECT_EQ(info.ProgramFolder, s.folder.Path() + "/");
  EXPECT_EQ(info.GamePath, s.folder.Path() + "/hwatable");
  EXPECT_EQ(info.UpdaterPath, s.folder.Path() + "/updater");
  EXPECT_EQ(info.GameCode, "001");
  EXPECT_EQ(info.Version, kBuildVersion);
  EXPECT_EQ(s.settings.Read(kSettingsApp, kGameSection, "RunVer"), kBuildVersion);
  EXPECT_EQ(s.settings.Read(kSettingsApp, kGameSection, "RunPath"), info.GamePath);
  EXPECT_EQ(s.settings.Read(kSettingsApp, kGameSection, "RunUp"), info.UpdaterPath);
  EXPECT_EQ(s.settings.Read(kSettingsApp, kBrowserSection, "OstrelJname"), "");
  EXPECT_EQ(s.settings.Read(kSettingsApp, kBrowserSection, "OstrelJcode"), "");

  EXPECT_EQ(s.state.SkinImages[0], info.ProgramFolder + "images/btn_GameMenu_Exit2.gif");
  EXPECT_EQ(s.state.SkinImages[21], info.ProgramFolder + "images/whatoo.gif");
  EXPECT_EQ(s.state.SkinImages[33], info.ProgramFolder + "images/pop_Window_WaveOK.gif");
  EXPECT_EQ(s.state.Portal.Base, "http://127.0.0.1:8410/");
  EXPECT_EQ(s.state.Portal.Login, "http://127.0.0.1:8410/sub/chk.asp");
  EXPECT_EQ(s.state.Portal.ScoreSave, "http://127.0.0.1:8410/sub/svp.asp");
  EXPECT_EQ(s.state.Portal.JoinPage, "http://127.0.0.1:8410/sub/redir.asp?no=1");
  EXPECT_EQ(s.state.Portal.LostAccountPage, "http://127.0.0.1:8410/sub/redir.asp?no=2");
  EXPECT_EQ(s.state.Portal.TopUpPage, "http://127.0.0.1:8410/sub/redir.asp?no=3");
  EXPECT_EQ(s.state.Portal.Logout, "http://127.0.0.1:8410/sub/lgo.asp");
  EXPECT_EQ(s.state.Portal.Deal, "http://127.0.0.1:8410/sub/deal.asp");
  EXPECT_EQ(s.state.Missions[1].Name, "고도리 잡기");
  EXPECT_EQ(s.state.Ranks[0].Title, "알바");
  EXPECT_EQ(s.state.Card(44).Mark, kMarkRainBright);
  EXPECT_EQ(s.state.FloorSlots[11].Left, 397);
  EXPECT_EQ(s.state.SeatCards[kHumanSeat].PileAnchor[kJunk].Top, 540);
}

TEST(StartupTest, APortalAddressMustEndInASlash) {
  Startup s;
  s.world.portalBaseUrl = "http://127.0.0.1:8410";
  const StartupResult result = RunStartup(s.state, s.world);
  EXPECT_TRUE(result.proceed);
  ASSERT_EQ(result.problems.size(), 1u);
  EXPECT_EQ(result.problems[0], "the portal address \"http://127.0.0.1:8410\" must end in \"/\"");
  EXPECT_EQ(s.state.Portal.Login, "");
  EXPECT_THAT(PortalUrlProblem("ftp://x/"), HasSubstr("must start with"));
  EXPECT_EQ(PortalUrlProblem("https://portal.example/"), "");

  Startup none;
  none.world.portalBaseUrl = "";
  EXPECT_THAT(RunStartup(none.state, none.world).problems,
              ::testing::ElementsAre("no portal address is configured"));
}

TEST(StartupTest, TheLocalPortalsAddressesWaitUntilItAnswers) {
  Startup s;
  s.world.portalBaseUrl = "";
  s.world.localPortal = true;
  const StartupResult result = RunStartup(s.state, s.world);
  EXPECT_TRUE(result.proceed);
  EXPECT_THAT(result.problems, IsEmpty()) << "none configured is no problem then";
  EXPECT_EQ(s.state.Portal.Base, "");
  EXPECT_EQ(s.state.Portal.Login, "");
}

TEST(StartupTest, ANewUpdaterReplacesTheOldOne) {
  Startup s;
  Write(s.Program("updater"), "old updater");
  Write(s.Program("tmpupdater"), "new updater");
  std::filesystem::permissions(s.Program("tmpupdater"), std::filesystem::perms::owner_all);

  const StartupResult result = RunStartup(s.state, s.world);

  EXPECT_THAT(result.problems, IsEmpty());
  EXPECT_EQ(Contents(s.Program("updater")), "new updater");
  EXPECT_FALSE(std::filesystem::exists(s.Program("tmpupdater")));
  const auto perms = std::filesystem::status(s.Program("updater")).permissions();
  EXPECT_NE(perms & std::filesystem::perms::owner_exec, std::filesystem::perms::none);
}

TEST(StartupTest, WithoutANewUpdaterTheOldOneIsUntouched) {
  Startup s;
  Write(s.Program("updater"), "old updater");
  const auto before = std::filesystem::last_write_time(s.Program("updater"));
  RunStartup(s.state, s.world);
  EXPECT_EQ(Contents(s.Program("updater")), "old updater");
  EXPECT_EQ(std::filesystem::last_write_time(s.Program("updater")), before);
}

// A folder where copying always fails, as on a full disk.
class FailingCopies final : public platform::FileSystem {
 public:
  explicit FailingCopies(std::string folder) : real_(std::move(folder)) {}
  std::string ProgramFolder() const override { return real_.ProgramFolder(); }
  bool Exists(const std::string& path) const override { return real_.Exists(path); }
  bool Copy(const std::string&, const std::string&) override { return false; }
  bool Delete(const std::string& path) override { return real_.Delete(path); }

 private:
  PosixFileSystem real_;
};

TEST(StartupTest, AFailedUpdaterCopyKeepsBothFilesForTheNextStart) {
  Startup s;
  Write(s.Program("updater"), "old updater");
  Write(s.Program("tmpupdater"), "new updater");
  FailingCopies files(s.folder.Path());
  StartupWorld world{s.settings, files, "http://127.0.0.1:8410/", {}};

  const StartupResult result = RunStartup(s.state, world);

  ASSERT_EQ(result.problems.size(), 1u);
  EXPECT_THAT(result.problems[0], HasSubstr("could not put the new updater"));
  EXPECT_EQ(Contents(s.Program("updater")), "old updater");
  EXPECT_EQ(Contents(s.Program("tmpupdater")), "new updater");
}

TEST(StartupTest, AFailingSettingsStoreDoesNotStopStartUp) {
  Startup s;
  s.settings.failSaves = true;
  s.settings.failDeletes = true;
  const StartupResult result = RunStartup(s.state, s.world);
  EXPECT_TRUE(result.proceed);
  EXPECT_EQ(result.problems.size(), 5u);
  EXPECT_EQ(s.state.Missions[0].Name, "1광과 8광잡기");
  EXPECT_EQ(s.state.FloorSlots[0].Left, 227);
}

TEST(StartupTest, TheDisplayCheckCanEndTheProgram) {
  Startup s;
  bool asked = false;
  s.world.displayCheck = [&asked] {
    asked = true;
    return false;
  };
  const StartupResult result = RunStartup(s.state, s.world);
  EXPECT_TRUE(asked);
  EXPECT_FALSE(result.proceed);
  EXPECT_EQ(s.state.FloorSlots[0].Left, 0) << "the board is not set up";
}

}  // namespace
}  // namespace hw
