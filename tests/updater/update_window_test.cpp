// The update window and the notice on a virtual clock: the list and the wait for it, a
// running game, the download and its check, the installer and the new updater copy, the
// start of the game, the browser's installation, and every way they fail.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "hwatable_version.h"
#include "mainwindow/settings.h"
#include "platform/digest.h"
#include "platform/fake/fake_launcher.h"
#include "platform/fake/memory_settings_store.h"
#include "platform/fake/scripted_desktop.h"
#include "platform/file_system.h"
#include "platform/list_signature.h"
#include "tests/support/temp_folder.h"
#include "tests/updater/updater_fakes.h"
#include "updater/update_list.h"
#include "updater/update_log.h"
#include "updater/update_window.h"

namespace hw::updater {
namespace {

namespace fs = std::filesystem;
using platform::ExecutableName;
using platform::MessageAnswer;
using platform::MessageButtons;
using platform::MessageIcon;
using platform::WindowStyle;
using Call = platform::FakeLauncher::Call;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::string kPortal = "http://portal.test/";
const std::string kVendor = "http://vendor.test/";
const std::string kUpdateError =
    "업데이트중 에러가 발생하였습니다     \r\n홈페이지에서 다운로드/설치를 해주십시요    ";
const std::string kInstallError =
    "설치도중 에러가 발생하였습니다     \r\n홈페이지에서 직접 다운로드/설치를 해주십시요      ";

void Touch(const std::string& path) {
  std::ofstream(path) << "x";
}

std::string DigestOf(const std::string& bytes, bool upper = false) {
  testing::TempFolder folder;
  const std::string path = folder.Path() + "/bytes";
  std::ofstream(path, std::ios::binary) << bytes;
  std::string digest = platform::FileSha256Hex(path).value_or("");
  if (upper) {
    for (char& c : digest)
      c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  return digest;
}

struct WindowRig {
  explicit WindowRig(RunMode mode) {
    run.mode = mode;
    run.portalUrl = kPortal;
    run.browserUrl = kVendor;
    run.gameListUrl = kPortal + "down/nlist.lst";
    run.browserListUrl = kVendor + "down/nlist.lst";
    run.installedVersion = "101";
    run.gameFolder = folder.Path() + "/game/";
    run.browserFolder = folder.Path() + "/browser/";
    run.logPath = folder.Path() + "/state/updater.log";
    fs::create_directories(run.gameFolder);
    fs::create_directories(run.browserFolder);
    // As start-up wrote them; the game itself is there only when a test installs it.
    settings.Set(kSettingsApp, kGameSection, "RunVer", kBuildVersion);
    settings.Set(kSettingsApp, kGameSection, "RunPath", InGame("hwatable"));
  }

  // Builds the window (after the test has set `run`) and loads it.
  void Load() {
    window = std::make_unique<UpdateWindow>(world, view, alert, run);
    window->onUnload = [this] { ++unloads; };
    window->onProblem = [this](const std::string& problem) { problems.push_back(problem); };
    window->onNote = [this](const std::string& note) { log.Write(note); };
    window->Load();
  }
  void InstallGame() { Touch(InGame("hwatable")); }
  // The game's installer as the launcher starts it: it ends `seconds` after its start
  // with `end`, having printed `output` to the log.
  void InstallerEnds(double seconds, platform::ExitStatus end, std::string output = "") {
    launcher.onCall = [this, seconds, end, output](const Call& call) {
      if (call.kind == Call::Kind::kRunWatched) {
        loop.Post(
            [this, call, end, output] {
              std::ofstream(call.outputPath, std::ios::app) << output;
              launcher.ends[call.pid] = end;
            },
            seconds);
      }
      return 0;
    };
  }
  // Where the game's start comes among the launcher's calls, or -1.
  int GameStart() const {
    for (std::size_t i = 0; i < launcher.calls.size(); ++i) {
      if (launcher.calls[i].program == InGame("hwatable")) return static_cast<int>(i);
    }
    return -1;
  }
  bool RunUntilDownloading(double seconds = 1.0) {
    return loop.RunUntil([this] { return !download.begun.empty(); }, seconds);
  }
  bool RunToEnd(double seconds = 60.0) {
    return loop.RunUntil([this] { return window->Unloaded(); }, seconds);
  }
  std::string InGame(const char* program) const { return run.gameFolder + ExecutableName(program); }
  std::string InBrowser(const char* program) const {
    return run.browserFolder + ExecutableName(program);
  }
  std::string RunVer() { return settings.Read(kSettingsApp, kGameSection, "RunVer").value_or("?"); }
  bool HandOverDeleted() const {
    int deletes = 0;
    for (const auto& write : settings.writes) {
      if (!write.value && write.section == kBrowserSection) ++deletes;
    }
    return deletes == 2;
  }

  testing::TempFolder folder;
  platform::VirtualEventLoop loop;
  platform::ScriptedDesktop desktop;
  platform::MemorySettingsStore settings;
  platform::PosixFileSystem files{folder.Path()};
  platform::FakeLauncher launcher;
  FakeProcessTable processes{loop};
  FakeDownload download{loop};
  std::optional<std::string> list;
  std::vector<std::string> fetched;
  ListServerClient listClient{loop, list};
  UpdaterWorld world{loop,
                     desktop,
                     settings,
                     files,
                     launcher,
                     processes,
                     download,
                     [this](const std::string& url) {
                       fetched.push_back(url);
                       return list;
                     },
                     listClient,
                     [this] { return processes.Find(ExecutableName("hwatable")); }};
  RecordingUpdateView view;
  AlertNotice alert{loop, desktop, kPortal};
  RunValues run;
  UpdaterLog log{folder.Path() + "/state/updater.log"};
  std::unique_ptr<UpdateWindow> window;
  int unloads = 0;
  std::vector<std::string> problems;
};

// ---- GameMode

TEST(UpdateWindowTest, ANewerVersionIsDownloadedCheckedInstalledAndTheGameStartsAfterwards) {
  WindowRig rig(RunMode::kGameMode);
  const std::string installer(3000, 'i');
  rig.list =
      "102<br>http://portal.test/down/hwatable-installer-102<br>" + DigestOf(installer, true);
  double newCopyStarted = -1;
  double gameStarted = -1;
  std::string runVerAtGameStart;
  bool installerExecutable = false;
  rig.launcher.onCall = [&](const Call& call) {
    if (call.program == rig.InGame("102")) {
      installerExecutable =
          (fs::status(call.program).permissions() & fs::perms::owner_exec) != fs::perms::none;
      // The installer leaves the new updater copy a second later, and ends.
      rig.loop.Post(
          [&, pid = call.pid] {
            Touch(rig.InGame("tmpupdater"));
            rig.launcher.ends[pid] = {0, 0};
          },
          1.0);
    } else if (call.program == rig.InGame("tmpupdater")) {
      // The new copy runs two seconds and records its version as it ends.
      newCopyStarted = rig.loop.Now();
      rig.processes.Add(ExecutableName("tmpupdater"), 4242, 2.0);
      rig.loop.Post([&] { rig.settings.Save(kSettingsApp, kGameSection, "RunVer", "102"); }, 1.9);
    } else if (call.program == rig.InGame("hwatable")) {
      gameStarted = rig.loop.Now();
      runVerAtGameStart = rig.RunVer();
    }
    return 0;
  };

  rig.Load();
  ASSERT_TRUE(rig.RunUntilDownloading());
  EXPECT_THAT(rig.listClient.requests, ElementsAre(kPortal + "down/nlist.lst"));
  EXPECT_EQ(rig.download.begun[0].url, "http://portal.test/down/hwatable-installer-102");
  EXPECT_EQ(rig.download.begun[0].savePath, rig.InGame("102"));
  EXPECT_EQ(rig.window->Kind(), UpdateWindow::DownloadKind::kGame);

  rig.download.Deliver(installer);
  ASSERT_TRUE(rig.RunToEnd());

  EXPECT_THAT(rig.desktop.shown, IsEmpty());
  EXPECT_THAT(rig.problems, IsEmpty());
  ASSERT_EQ(rig.launcher.calls.size(), 3u) << "the new copy is run once, however long it runs";
  EXPECT_EQ(rig.launcher.calls[0].kind, Call::Kind::kRunWatched);
  EXPECT_EQ(rig.launcher.calls[0].program, rig.InGame("102"));
  EXPECT_EQ(rig.launcher.calls[0].outputPath, rig.run.logPath) << "its output goes to the log";
  EXPECT_TRUE(installerExecutable) << "the download is made executable before it runs";
  EXPECT_EQ(rig.launcher.calls[1].kind, Call::Kind::kShellOpen);
  EXPECT_EQ(rig.launcher.calls[1].program, rig.InGame("tmpupdater"));
  EXPECT_EQ(rig.launcher.calls[1].parameters, "");
  EXPECT_EQ(rig.launcher.calls[2].kind, Call::Kind::kRun);
  EXPECT_EQ(rig.launcher.calls[2].program, rig.InGame("hwatable"));
  EXPECT_EQ(rig.launcher.calls[2].style, WindowStyle::kNormalWithFocus);
  EXPECT_TRUE(rig.launcher.calls[2].arguments.empty());
  EXPECT_GE(gameStarted, newCopyStarted + 2.0) << "the game waits for the new copy to end";
  EXPECT_EQ(runVerAtGameStart, "102");
  EXPECT_FALSE(fs::exists(rig.InGame("102"))) << "the installer is deleted once it is done";

  EXPECT_TRUE(rig.HandOverDeleted());
  EXPECT_GE(rig.window->InstallWaitTicks(), 10);
  EXPECT_LE(rig.window->InstallWaitTicks(), 11);
  EXPECT_EQ(rig.unloads, 1);
  // 1500 and 3000 bytes: 1 and 2 whole kilobytes of 2.
  EXPECT_THAT(rig.view.calls, ElementsAre("Caption 다운로드/설치", "Status 다운로드 준비중..",
                                          "Show", "Caption Velmaro 업데이트..", "Progress 166",
                                          "Status 1Kbyte / 2Kbyte ...", "Progress 333",
                                          "Status 2Kbyte / 2Kbyte ...",
                                          "Status 설치준비중.... [blue bold]", "Hide"));
}

TEST(UpdateWindowTest, WithoutANewerVersionOrAUsableListTheGameStartsAtOnce) {
  const struct {
    const char* installed;
    std::optional<std::string> list;
  } cases[] = {{"102", "102<br>http://x/<br>d"},
               {"103", "102<br>http://x/<br>d"},
               {"101", std::nullopt},  // unreachable
               {"101", ""},
               {"101", "102<br>http://x/"},
               {"101", "102<br>http://x/<br>d<br>e"},
               {"101", "1o2<br>http://x/<br>d"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.installed) + " / " + c.list.value_or("(none)"));
    WindowRig rig(RunMode::kGameMode);
    rig.run.installedVersion = c.installed;
    rig.list = c.list;
    rig.Load();
    ASSERT_TRUE(rig.RunToEnd(1.0));
    EXPECT_LT(rig.loop.Now(), 0.2);
    ASSERT_EQ(rig.launcher.calls.size(), 1u);
    EXPECT_EQ(rig.launcher.calls[0].program, rig.InGame("hwatable"));
    EXPECT_THAT(rig.download.begun, IsEmpty());
    EXPECT_THAT(rig.desktop.shown, IsEmpty());
    EXPECT_THAT(rig.view.calls, ::testing::Not(::testing::Contains("Show")));
  }
}

TEST(UpdateWindowTest, WithAKeyABadlySignedListIsToldAndTheInstalledGameStarts) {
  const platform::ListKeyPair key = platform::NewListKeyPair();
  const platform::ListKeyPair other = platform::NewListKeyPair();
  const std::string fields = "102<br>http://portal.test/down/i<br>" + DigestOf("installer");
  const std::string otherSignature = platform::SignListText(fields, other.secretKey).value();
  for (const std::string& list : {fields, fields + "<br>sig:" + otherSignature}) {
    SCOPED_TRACE(list);
    WindowRig rig(RunMode::kGameMode);
    rig.world.listKey = key.publicKey;
    rig.list = list;
    std::size_t startsWhileTold = 99;
    rig.desktop.whileOpen = [&] { startsWhileTold = rig.launcher.calls.size(); };
    rig.Load();
    ASSERT_TRUE(rig.RunToEnd(1.0));

    ASSERT_EQ(rig.desktop.shown.size(), 1u);
    EXPECT_EQ(rig.desktop.shown[0].caption, "업데이트에러");
    EXPECT_EQ(rig.desktop.shown[0].text,
              "업데이트 목록의 서명이 맞지 않습니다     \r\n"
              "설치되어 있는 게임을 그대로 실행합니다    ");
    EXPECT_EQ(rig.desktop.shown[0].icon, MessageIcon::kError);
    EXPECT_EQ(rig.desktop.shown[0].buttons, MessageButtons::kOk);
    EXPECT_EQ(startsWhileTold, 0u) << "the game starts once the player has read it";
    ASSERT_EQ(rig.launcher.calls.size(), 1u);
    EXPECT_EQ(rig.launcher.calls[0].program, rig.InGame("hwatable"));
    EXPECT_THAT(rig.download.begun, IsEmpty());
    EXPECT_THAT(rig.desktop.opened, IsEmpty());
    EXPECT_THAT(rig.view.calls, ::testing::Not(::testing::Contains("Show")));
    ASSERT_EQ(rig.problems.size(), 1u);
    EXPECT_TRUE(rig.problems[0].starts_with(kPortal + "down/nlist.lst: the list"))
        << rig.problems[0];
    EXPECT_EQ(rig.unloads, 1);
  }

  // Signed with the key: the download begins.
  WindowRig rig(RunMode::kGameMode);
  rig.world.listKey = key.publicKey;
  rig.list = fields + "<br>sig:" + platform::SignListText(fields, key.secretKey).value();
  rig.Load();
  ASSERT_TRUE(rig.RunUntilDownloading());
  EXPECT_EQ(rig.download.begun[0].url, "http://portal.test/down/i");
  EXPECT_THAT(rig.desktop.shown, IsEmpty());
  EXPECT_THAT(rig.problems, IsEmpty());
}

TEST(UpdateWindowTest, ADownloadThatDoesNotMatchItsDigestIsDeletedAndNeverRun) {
  WindowRig rig(RunMode::kGameMode);
  rig.list = "102<br>http://portal.test/down/i<br>" + DigestOf("the real installer");
  rig.Load();
  ASSERT_TRUE(rig.RunUntilDownloading());
  rig.download.Deliver("a damaged installer");
  ASSERT_TRUE(rig.RunToEnd());

  ASSERT_EQ(rig.desktop.shown.size(), 1u);
  EXPECT_EQ(rig.desktop.shown[0].caption, "다운로드에러");
  EXPECT_EQ(rig.desktop.shown[0].text, kUpdateError);
  EXPECT_EQ(rig.desktop.shown[0].icon, MessageIcon::kError);
  EXPECT_THAT(rig.desktop.opened, ElementsAre(kPortal));
  EXPECT_FALSE(fs::exists(rig.InGame("102")));
  EXPECT_THAT(rig.launcher.calls, IsEmpty()) << "neither the installer nor the game";
  EXPECT_EQ(rig.unloads, 1);
}

TEST(UpdateWindowTest, AListWithoutADigestStillInstallsAsBefore) {
  WindowRig rig(RunMode::kGameMode);
  rig.list = "102<br>http://portal.test/down/i<br>no digest here";
  rig.Load();
  ASSERT_TRUE(rig.RunUntilDownloading());
  rig.download.Deliver("any installer");
  ASSERT_TRUE(rig.loop.RunUntil([&] { return !rig.launcher.calls.empty(); }, 1.0));
  EXPECT_EQ(rig.launcher.calls[0].program, rig.InGame("102"));
  EXPECT_FALSE(rig.window->Unloaded());
}

TEST(UpdateWindowTest, AFailedDownloadDeletesWhatWasThereAndEndsOnce) {
  WindowRig rig(RunMode::kGameMode);
  rig.list = "102<br>http://portal.test/down/i<br>x";
  Touch(rig.InGame("102"));  // left from an earlier attempt
  rig.Load();
  ASSERT_TRUE(rig.RunUntilDownloading());
  rig.download.Fail();
  ASSERT_TRUE(rig.RunToEnd());
  rig.loop.WaitSeconds(1.0);

  // The completion that follows the error finds the updater ended: no second message.
  ASSERT_EQ(rig.desktop.shown.size(), 1u);
  EXPECT_EQ(rig.desktop.shown[0].text, kUpdateError);
  EXPECT_THAT(rig.desktop.opened, ElementsAre(kPortal));
  EXPECT_FALSE(fs::exists(rig.InGame("102")));
  EXPECT_THAT(rig.launcher.calls, IsEmpty());
  EXPECT_EQ(rig.unloads, 1);
}

TEST(UpdateWindowTest, AnInstallerThatLeavesNoNewCopyIsStoppedAfter300Ticks) {
  WindowRig rig(RunMode::kGameMode);
  rig.list = "102<br>http://portal.test/down/i<br>x";
  double installerStarted = -1;
  int installerPid = 0;
  rig.launcher.onCall = [&](const Call& call) {
    installerStarted = rig.loop.Now();
    installerPid = call.pid;
    rig.processes.Add(ExecutableName("102"), call.pid);
    return 0;
  };
  // On SIGTERM it ends, as the game's installer does once it has taken its changes back.
  double stopped = -1;
  rig.processes.onEnded = [&](int pid, bool) {
    stopped = rig.loop.Now();
    rig.launcher.ends[pid] = {0, SIGTERM};
  };
  rig.Load();
  ASSERT_TRUE(rig.RunUntilDownloading());
  rig.download.Deliver("installer");
  ASSERT_TRUE(rig.RunToEnd());

  EXPECT_EQ(rig.window->InstallWaitTicks(), 301);
  EXPECT_NEAR(stopped - installerStarted, 30.1, 1e-6);
  EXPECT_THAT(rig.processes.signals, ElementsAre(std::make_pair(installerPid, false)));
  ASSERT_EQ(rig.desktop.shown.size(), 1u);
  EXPECT_EQ(rig.desktop.shown[0].caption, "설치에러");
  EXPECT_EQ(rig.desktop.shown[0].text, kInstallError);
  EXPECT_THAT(rig.desktop.opened, ElementsAre(kPortal)) << "no game to start";
  EXPECT_EQ(rig.launcher.calls.size(), 1u) << "the game is not started";
  EXPECT_FALSE(fs::exists(rig.InGame("102")));
}

TEST(UpdateWindowTest, AnEmptyRunVerAfterTheNewCopyKeepsWaitingUntilTheLimit) {
  WindowRig rig(RunMode::kGameMode);
  rig.list = "102<br>http://portal.test/down/i<br>x";
  int newCopyRuns = 0;
  rig.launcher.onCall = [&](const Call& call) {
    if (call.program == rig.InGame("102")) Touch(rig.InGame("tmpupdater"));
    if (call.program == rig.InGame("tmpupdater")) {
      ++newCopyRuns;
      rig.settings.Save(kSettingsApp, kGameSection, "RunVer", "");
    }
    return 0;
  };
  rig.Load();
  ASSERT_TRUE(rig.RunUntilDownloading());
  rig.download.Deliver("installer");
  ASSERT_TRUE(rig.RunToEnd());

  EXPECT_EQ(rig.window->InstallWaitTicks(), 301) << "the count goes on across the restarts";
  EXPECT_EQ(newCopyRuns, 300);
  ASSERT_EQ(rig.desktop.shown.size(), 1u);
  EXPECT_EQ(rig.desktop.shown[0].text, kInstallError);
  for (const Call& call : rig.launcher.calls)
    EXPECT_NE(call.program, rig.InGame("hwatable"));
}

// ---- The wait for the list

TEST(UpdateWindowTest, AListThatTakesLongShowsWhatItWaitsForAndOneThatNeverComesStartsTheGame) {
  const struct {
    const char* name;
    double delay;
    bool hangs;
    double gameStartsAt;  // seconds after the list was asked for
    bool shown;
  } cases[] = {{"answers in 0.3 s", 0.3, false, 0.3, false},
               {"answers in 2 s", 2.0, false, 2.0, true},
               {"never answers", 0, true, UpdateWindow::kListWaitSeconds, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WindowRig rig(RunMode::kGameMode);
    rig.list = "101<br>http://x/<br>d";  // nothing newer
    rig.listClient.delaySeconds = c.delay;
    rig.listClient.hangs = c.hangs;
    double askedAt = -1;
    double gameStarted = -1;
    rig.launcher.onCall = [&](const Call&) {
      gameStarted = rig.loop.Now();
      return 0;
    };
    rig.loop.Post([&] { askedAt = rig.loop.Now(); }, 0.1);  // the first tick asks
    rig.Load();
    ASSERT_TRUE(rig.RunToEnd(30.0));

    ASSERT_EQ(rig.launcher.calls.size(), 1u);
    EXPECT_EQ(rig.launcher.calls[0].program, rig.InGame("hwatable"));
    EXPECT_NEAR(gameStarted - askedAt, c.gameStartsAt, 0.11);
    EXPECT_THAT(rig.desktop.shown, IsEmpty()) << "waiting is no error";
    if (c.shown) {
      EXPECT_THAT(rig.view.calls, ElementsAre("Caption 다운로드/설치", "Status 다운로드 준비중..",
                                              "Caption Velmaro 업데이트..",
                                              "Status 업데이트 확인중...", "Show", "Hide"));
    } else {
      EXPECT_THAT(rig.view.calls, ::testing::Not(::testing::Contains("Show")));
    }
    EXPECT_EQ(rig.listClient.cancels, c.hangs ? 1 : 0) << "a request given up is dropped";
  }
}

TEST(UpdateWindowTest, AListThatComesAfterTheWindowShowedGoesOnToTheDownload) {
  WindowRig rig(RunMode::kGameMode);
  rig.list = "102<br>http://portal.test/down/i<br>x";
  rig.listClient.delaySeconds = 1.5;
  rig.Load();
  ASSERT_TRUE(rig.RunUntilDownloading(3.0));
  EXPECT_THAT(rig.view.calls, ElementsAre("Caption 다운로드/설치", "Status 다운로드 준비중..",
                                          "Caption Velmaro 업데이트..", "Status 업데이트 확인중...",
                                          "Show", "Caption Velmaro 업데이트.."));
  EXPECT_TRUE(rig.view.shown);
}

// ---- Failed updates

// What the player meets after each way an update can fail, with the game installed and
// without it: the box first; then the installed game, or the home page where there is no
// game; the downloaded installer gone.
TEST(UpdateWindowTest, AFailedUpdateReportsItThenStartsTheInstalledGameOrElseOpensTheHomePage) {
  enum class Fault { kDownloadFails, kDigestDiffers, kInstallerWillNotStart, kInstallerFails };
  const struct {
    const char* name;
    Fault fault;
    const char* caption;
  } cases[] = {{"download fails", Fault::kDownloadFails, "다운로드에러"},
               {"digest differs", Fault::kDigestDiffers, "다운로드에러"},
               {"installer will not start", Fault::kInstallerWillNotStart, "설치에러"},
               {"installer fails", Fault::kInstallerFails, "설치에러"}};
  for (const auto& c : cases) {
    for (const bool installed : {true, false}) {
      SCOPED_TRACE(std::string(c.name) + (installed ? ", game installed" : ", no game"));
      WindowRig rig(RunMode::kGameMode);
      if (installed) rig.InstallGame();
      rig.list = "102<br>http://portal.test/down/i<br>" + DigestOf("installer");
      std::size_t boxesAtGameStart = 0;
      rig.launcher.onCall = [&](const Call& call) {
        if (call.program == rig.InGame("hwatable")) boxesAtGameStart = rig.desktop.shown.size();
        if (call.kind != Call::Kind::kRunWatched) return 0;
        if (c.fault == Fault::kInstallerWillNotStart) return ENOEXEC;
        rig.launcher.ends[call.pid] = {1, 0};
        return 0;
      };
      rig.Load();
      ASSERT_TRUE(rig.RunUntilDownloading());
      if (c.fault == Fault::kDownloadFails) {
        rig.download.Fail();
      } else {
        rig.download.Deliver(c.fault == Fault::kDigestDiffers ? "damaged" : "installer");
      }
      ASSERT_TRUE(rig.RunToEnd(5.0));

      ASSERT_EQ(rig.desktop.shown.size(), 1u);
      EXPECT_EQ(rig.desktop.shown[0].caption, c.caption);
      EXPECT_EQ(rig.desktop.shown[0].icon, MessageIcon::kError);
      EXPECT_FALSE(fs::exists(rig.InGame("102")));
      EXPECT_EQ(std::distance(fs::directory_iterator(rig.run.gameFolder), {}), installed ? 1 : 0)
          << "nothing is left in the game folder";
      if (installed) {
        ASSERT_GE(rig.GameStart(), 0);
        EXPECT_EQ(rig.launcher.calls[rig.GameStart()].style, WindowStyle::kNormalWithFocus);
        EXPECT_EQ(boxesAtGameStart, 1u) << "the box comes first";
        EXPECT_THAT(rig.desktop.opened, IsEmpty());
      } else {
        EXPECT_EQ(rig.GameStart(), -1);
        EXPECT_THAT(rig.desktop.opened, ElementsAre(kPortal));
      }
      EXPECT_EQ(rig.unloads, 1);
    }
  }
}

TEST(UpdateWindowTest, AnInstallerThatFailsIsReportedAtOnceWithItsLastMessage) {
  const std::string more = "\r\n(자세한 내용: ";
  const struct {
    const char* name;
    platform::ExitStatus end;
    std::string output;
    std::string why;
  } cases[] = {
      {"its message",
       {1, 0},
       "unpacking\nhwatable-installer: cannot write the menu entry  \n\n",
       "hwatable-installer: cannot write the menu entry"},
      {"no message", {2, 0}, "", "설치 프로그램 종료코드: 2"},
      {"a signal", {0, SIGKILL}, "  \n", "설치 프로그램 종료 신호: 9"},
      // Ended well but left no new copy of the updater: it never will.
      {"no new copy",
       {0, 0},
       "done\n",
       "설치 프로그램이 끝났지만 새 업데이트 프로그램을 남기지 않았습니다"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WindowRig rig(RunMode::kGameMode);
    rig.InstallGame();
    rig.log.Write("an earlier line of the log");
    rig.list = "102<br>http://portal.test/down/i<br>x";
    rig.InstallerEnds(0.2, c.end, c.output);
    rig.Load();
    ASSERT_TRUE(rig.RunUntilDownloading());
    rig.download.Deliver("installer");
    ASSERT_TRUE(rig.loop.RunUntil([&] { return !rig.desktop.shown.empty(); }, 5.0));
    const double installerStarted = 0.1;  // the list and the download take no time here
    EXPECT_LE(rig.loop.Now() - installerStarted, 0.5) << "not after the 300 ticks";

    EXPECT_EQ(rig.desktop.shown[0].caption, "설치에러");
    EXPECT_EQ(rig.desktop.shown[0].text,
              kInstallError + "\r\n\r\n" + c.why + more + rig.run.logPath + ")");
    ASSERT_TRUE(rig.RunToEnd());
    EXPECT_GE(rig.GameStart(), 0);
    EXPECT_FALSE(fs::exists(rig.InGame("102")));
    // The installer's lines stand in the log between the updater's own.
    std::ifstream in(rig.run.logPath);
    const std::string log{std::istreambuf_iterator<char>(in), {}};
    if (!c.output.empty()) {
      EXPECT_THAT(log, ::testing::HasSubstr(c.output));
    }
    EXPECT_THAT(log, ::testing::HasSubstr("running the installer " + rig.InGame("102")));
  }
}

// ---- A running game

TEST(UpdateWindowTest, ARunningGameIsClosedForTheUpdateOnlyWhenThePlayerSaysSo) {
  using Reaction = FakeProcessTable::Reaction;
  const struct {
    const char* name;
    MessageAnswer answer;
    Reaction reaction;
    bool updated;
  } cases[] = {{"no", MessageAnswer::kNo, Reaction::kEndsOnTerm, false},
               {"yes", MessageAnswer::kYes, Reaction::kEndsOnTerm, true},
               {"yes, but it ignores SIGTERM", MessageAnswer::kYes, Reaction::kIgnoresTerm, true},
               {"yes, but it cannot be signalled", MessageAnswer::kYes, Reaction::kRefuses, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WindowRig rig(RunMode::kGameMode);
    rig.InstallGame();
    rig.processes.Add(ExecutableName("hwatable"), 77, std::nullopt, c.reaction);
    rig.list = "102<br>http://portal.test/down/i<br>x";
    rig.desktop.answers = {c.answer};
    double downloadBegun = -1;
    rig.Load();
    const bool began = rig.RunUntilDownloading(20.0);
    if (began) downloadBegun = rig.loop.Now();
    rig.RunToEnd(1.0);

    ASSERT_GE(rig.desktop.shown.size(), 1u);
    EXPECT_EQ(rig.desktop.shown[0].caption, "업데이트");
    EXPECT_EQ(rig.desktop.shown[0].text,
              "게임이 실행중입니다\r\n지금 게임을 종료하고 업데이트하시겠습니까?");
    EXPECT_EQ(rig.desktop.shown[0].icon, MessageIcon::kQuestion);
    EXPECT_EQ(rig.desktop.shown[0].buttons, MessageButtons::kYesNo);
    EXPECT_EQ(began, c.updated);
    EXPECT_THAT(rig.desktop.opened, IsEmpty());
    EXPECT_THAT(rig.launcher.calls, IsEmpty()) << "the running game is the player's game";
    if (c.answer == MessageAnswer::kNo) {
      EXPECT_THAT(rig.processes.signals, IsEmpty());
      EXPECT_EQ(rig.processes.Find(ExecutableName("hwatable")), 77);
      EXPECT_TRUE(rig.window->Unloaded());
    }
    if (c.reaction == Reaction::kIgnoresTerm) {
      EXPECT_THAT(rig.processes.signals,
                  ::testing::ElementsAre(std::make_pair(77, false), std::make_pair(77, true)));
      EXPECT_GE(downloadBegun, UpdateWindow::kTermGraceSeconds) << "SIGKILL only after a grace";
    } else if (c.updated) {
      EXPECT_THAT(rig.processes.signals, ElementsAre(std::make_pair(77, false)));
    }
    if (c.updated) {
      EXPECT_EQ(rig.processes.Find(ExecutableName("hwatable")), 0);
    }
  }
}

TEST(UpdateWindowTest, AGameStartedDuringTheDownloadIsAskedAboutBeforeTheInstallerRuns) {
  WindowRig rig(RunMode::kGameMode);
  rig.InstallGame();
  rig.list = "102<br>http://portal.test/down/i<br>x";
  rig.desktop.answers = {MessageAnswer::kNo};
  rig.Load();
  ASSERT_TRUE(rig.RunUntilDownloading());
  EXPECT_THAT(rig.desktop.shown, IsEmpty()) << "no game ran when the list came";
  rig.processes.Add(ExecutableName("hwatable"), 78);
  rig.download.Deliver("installer");
  ASSERT_TRUE(rig.RunToEnd());

  ASSERT_EQ(rig.desktop.shown.size(), 1u);
  EXPECT_EQ(rig.desktop.shown[0].caption, "업데이트");
  EXPECT_THAT(rig.launcher.calls, IsEmpty()) << "no installer, and the game runs already";
  EXPECT_FALSE(fs::exists(rig.InGame("102"))) << "the download is not kept";
  EXPECT_THAT(rig.desktop.opened, IsEmpty());
}

// ---- BrowserMode

TEST(UpdateWindowTest, TheNoticeComesFirstThenAnInstalledBrowserStarts) {
  WindowRig rig(RunMode::kBrowserMode);
  Touch(rig.InBrowser("ostrel"));
  rig.settings.Set(kSettingsApp, kBrowserSection, "OstrelRunVer", "117");
  rig.settings.Set(kSettingsApp, kBrowserSection, "OstrelRunPath", rig.InBrowser("ostrel"));
  bool openWhilePressed = false;
  rig.loop.Post(
      [&] {
        openWhilePressed = rig.alert.IsOpen();
        rig.alert.Press(AlertNotice::kOkButton);
      },
      3.0);
  rig.Load();
  ASSERT_TRUE(rig.RunToEnd());

  EXPECT_TRUE(openWhilePressed);
  EXPECT_GE(rig.loop.Now(), 3.0) << "the notice is modal";
  ASSERT_EQ(rig.launcher.calls.size(), 1u);
  EXPECT_EQ(rig.launcher.calls[0].program, rig.InBrowser("ostrel"));
  EXPECT_EQ(rig.launcher.calls[0].style, WindowStyle::kNormal);
  EXPECT_THAT(rig.desktop.shown, IsEmpty());
  EXPECT_THAT(rig.fetched, IsEmpty());
}

TEST(UpdateWindowTest, AProgramQuittingWhileTheNoticeIsOpenGoesNoFurther) {
  WindowRig rig(RunMode::kBrowserMode);
  rig.loop.Post([&] { rig.loop.Quit(); }, 1.0);
  rig.Load();
  rig.loop.RunUntil([] { return false; }, 5.0);
  EXPECT_TRUE(rig.alert.IsOpen());
  EXPECT_THAT(rig.desktop.shown, IsEmpty()) << "no browser question";
  EXPECT_THAT(rig.launcher.calls, IsEmpty());
}

TEST(UpdateWindowTest, TheNoticesHomePageAsksAndOnYesOpensThePortalAndEnds) {
  WindowRig rig(RunMode::kBrowserMode);
  rig.desktop.answers = {MessageAnswer::kNo, MessageAnswer::kYes};
  bool openAfterNo = false;
  rig.loop.Post([&] { rig.alert.Press(AlertNotice::kHomePageButton); }, 0.5);
  rig.loop.Post([&] { openAfterNo = rig.alert.IsOpen(); }, 0.6);
  rig.loop.Post([&] { rig.alert.Press(AlertNotice::kHomePageButton); }, 1.0);
  rig.Load();
  ASSERT_TRUE(rig.RunToEnd());

  EXPECT_TRUE(openAfterNo);
  EXPECT_FALSE(rig.alert.IsOpen());
  ASSERT_EQ(rig.desktop.shown.size(), 2u) << "no browser question after the notice ended it";
  EXPECT_EQ(rig.desktop.shown[1].caption, "홈페이지 방문");
  EXPECT_EQ(rig.desktop.shown[1].text,
            "게임실행에 계속해서 실패하신다면 홈페이지에서  \r\n게임을 다운로드하여 설치해 "
            "주십시요\r\n\r\n지금 홈페이지로 이동하시겠습니까?");
  EXPECT_EQ(rig.desktop.shown[1].icon, MessageIcon::kInformation);
  EXPECT_EQ(rig.desktop.shown[1].buttons, MessageButtons::kYesNo);
  EXPECT_THAT(rig.desktop.opened, ElementsAre(kPortal));
  EXPECT_THAT(rig.launcher.calls, IsEmpty());
  EXPECT_EQ(rig.unloads, 1);
}

TEST(UpdateWindowTest, AMissingBrowserIsOnlyInstalledWhenThePlayerAgrees) {
  WindowRig rig(RunMode::kBrowserMode);
  Touch(rig.InBrowser("ostrel"));
  rig.settings.Set(kSettingsApp, kBrowserSection, "OstrelRunVer", "116");
  rig.settings.Set(kSettingsApp, kBrowserSection, "OstrelRunPath", rig.InBrowser("ostrel"));
  rig.loop.Post([&] { rig.alert.Press(AlertNotice::kOkButton); }, 0.5);
  rig.desktop.answers = {MessageAnswer::kNo};
  rig.Load();
  ASSERT_TRUE(rig.RunToEnd());

  ASSERT_EQ(rig.desktop.shown.size(), 1u);
  EXPECT_EQ(rig.desktop.shown[0].caption, "Ostrel 브라우져설치");
  EXPECT_EQ(rig.desktop.shown[0].text,
            "Velmaro 게임을 실행하기 위해서는 [Ostrel 브라우져]가 필요합니다 \r\nOstrel "
            "브라우져를 지금 설치하시겠습니까?");
  EXPECT_EQ(rig.desktop.shown[0].buttons, MessageButtons::kYesNo);
  EXPECT_THAT(rig.fetched, IsEmpty());
  EXPECT_THAT(rig.launcher.calls, IsEmpty());
}

TEST(UpdateWindowTest, ABadBrowserListShowsItsErrorAndTheVendorsHomePage) {
  WindowRig rig(RunMode::kBrowserMode);
  rig.loop.Post([&] { rig.alert.Press(AlertNotice::kOkButton); }, 0.5);
  rig.desktop.answers = {MessageAnswer::kYes};
  rig.list = "118<br>only two";
  rig.Load();
  ASSERT_TRUE(rig.RunToEnd());

  EXPECT_THAT(rig.fetched, ElementsAre(kVendor + "down/nlist.lst"));
  ASSERT_EQ(rig.desktop.shown.size(), 2u);
  EXPECT_EQ(rig.desktop.shown[1].caption, "업데이트에러");
  EXPECT_EQ(rig.desktop.shown[1].text,
            "Ostrel 브라우져 자동업데이트 에러가 발생하였습니다\r\nOstrel 홈페이지에서 "
            "다운로드하여 설치해 주십시요   ");
  EXPECT_EQ(rig.desktop.shown[1].icon, MessageIcon::kInformation);
  EXPECT_THAT(rig.desktop.opened, ElementsAre(kVendor));
  EXPECT_THAT(rig.download.begun, IsEmpty());
}

TEST(UpdateWindowTest, TheBrowserIsStoppedDownloadedInstalledAndChecked) {
  WindowRig rig(RunMode::kBrowserMode);
  rig.loop.Post([&] { rig.alert.Press(AlertNotice::kOkButton); }, 0.5);
  rig.desktop.answers = {MessageAnswer::kYes};
  const std::string installer = "browser installer";
  rig.list = "118<br>http://vendor.test/down/ostrel-118<br>" + DigestOf(installer);
  rig.processes.Add("bash", 5);
  using Reaction = FakeProcessTable::Reaction;
  rig.processes.Add(ExecutableName("ostreltask"), 10, std::nullopt, Reaction::kIgnoresTerm);
  rig.processes.Add(ExecutableName("ostrelchk"), 11, std::nullopt, Reaction::kRefuses);
  rig.processes.Add(ExecutableName("tmpostrelmain"), 12);

  double installerEnds = -1;
  double browserEnds = -1;
  double checkOpened = -1;
  rig.launcher.onCall = [&](const Call& call) {
    if (call.program == rig.InBrowser("118")) {
      installerEnds = rig.loop.Now() + 3.0;
      rig.processes.Add(ExecutableName("118"), 50, 3.0);
      // Its resident task stays: it must not count as the browser.
      rig.processes.Add(ExecutableName("ostreltask"), 70);
      rig.loop.Post(
          [&] {
            for (const char* file : {"ostrel", "ostreltask", "ostrelchk", "tmpostrelmain"})
              Touch(rig.InBrowser(file));
          },
          0.5);
    } else if (call.program == rig.InBrowser("ostrel")) {
      browserEnds = rig.loop.Now() + 1.0;
      rig.processes.Add(ExecutableName("ostrel"), 60, 1.0);
    } else if (call.program == rig.InBrowser("ostrelchk")) {
      checkOpened = rig.loop.Now();
    }
    return 0;
  };

  rig.Load();
  ASSERT_TRUE(rig.RunUntilDownloading(20.0));
  // The task ignores SIGTERM and is killed after the grace time; another user's check
  // program cannot be signalled and is left; "tmpostrelmain" counts as "ostrelmain" and
  // ends on SIGTERM; nothing else is touched.
  ASSERT_GE(rig.processes.signals.size(), 4u);
  EXPECT_EQ(rig.processes.signals.front(), std::make_pair(10, false));
  EXPECT_EQ(rig.processes.signals[rig.processes.signals.size() - 3], std::make_pair(10, true));
  EXPECT_EQ(rig.processes.signals[rig.processes.signals.size() - 2], std::make_pair(11, false));
  EXPECT_EQ(rig.processes.signals.back(), std::make_pair(12, false));
  EXPECT_GE(rig.loop.Now(), 0.5 + UpdateWindow::kTermGraceSeconds);
  EXPECT_THAT(rig.problems, ElementsAre("could not stop " + ExecutableName("ostrelchk")));
  EXPECT_EQ(rig.download.begun[0].url, "http://vendor.test/down/ostrel-118");
  EXPECT_EQ(rig.download.begun[0].savePath, rig.InBrowser("118"));
  EXPECT_THAT(rig.view.calls, ElementsAre("Caption 다운로드/설치", "Status 다운로드 준비중..",
                                          "Show", "Clear", "Caption Ostrel 다운로드/설치"));

  rig.download.Deliver(installer);
  ASSERT_TRUE(rig.RunToEnd());

  ASSERT_EQ(rig.launcher.calls.size(), 3u);
  EXPECT_EQ(rig.launcher.calls[0].style, WindowStyle::kHidden);
  EXPECT_EQ(rig.launcher.calls[1].kind, Call::Kind::kShellOpen);
  EXPECT_EQ(rig.launcher.calls[1].program, rig.InBrowser("ostrel"));
  EXPECT_EQ(rig.launcher.calls[1].parameters, "SL");
  EXPECT_EQ(rig.launcher.calls[2].kind, Call::Kind::kShellOpen);
  EXPECT_EQ(rig.launcher.calls[2].program, rig.InBrowser("ostrelchk"));
  EXPECT_EQ(rig.launcher.calls[2].parameters, "AS^100^");
  EXPECT_GE(checkOpened, browserEnds);
  EXPECT_GE(checkOpened, installerEnds) << "the check waits for the installer to end";
  EXPECT_EQ(rig.view.calls.back(), "Hide");
  EXPECT_TRUE(rig.HandOverDeleted());
  EXPECT_FALSE(fs::exists(rig.InBrowser("118"))) << "its installer is deleted once it has ended";
  EXPECT_EQ(rig.desktop.shown.size(), 1u) << "only the question";
  EXPECT_EQ(rig.unloads, 1);
}

TEST(UpdateWindowTest, ABrowserDownloadErrorShowsTheVendorsHomePage) {
  WindowRig rig(RunMode::kBrowserMode);
  rig.loop.Post([&] { rig.alert.Press(AlertNotice::kOkButton); }, 0.5);
  rig.desktop.answers = {MessageAnswer::kYes};
  rig.list = "118<br>http://vendor.test/down/ostrel-118<br>" + DigestOf("good");
  rig.Load();
  ASSERT_TRUE(rig.RunUntilDownloading(5.0));
  rig.download.Deliver("bad");
  ASSERT_TRUE(rig.RunToEnd());

  ASSERT_EQ(rig.desktop.shown.size(), 2u);
  EXPECT_EQ(rig.desktop.shown[1].text, kUpdateError);
  EXPECT_THAT(rig.desktop.opened, ElementsAre(kVendor));
  EXPECT_FALSE(fs::exists(rig.InBrowser("118")));
  EXPECT_THAT(rig.launcher.calls, IsEmpty());
}

}  // namespace
}  // namespace hw::updater
