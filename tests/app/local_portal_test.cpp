// The game's local portal with the real hwatable-portal, in a runtime folder of the
// test's own: started and recorded, used again, replaced when it is of another build, and
// never used on a port someone else listens on. Every portal started is stopped at the
// end.

#include "app/local_portal.h"

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <httplib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <thread>

#include "tests/support/temp_folder.h"
#include "updater/startup.h"

namespace hw::app {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

// The text of /proc/net/tcp with the sockets on `port` given to user `owner`: how the
// table looks when another user listens there.
std::string WithOwner(const std::string& table, int port, uid_t owner) {
  char hexPort[8];
  std::snprintf(hexPort, sizeof hexPort, ":%04X", port);
  std::istringstream lines(table);
  std::string changed;
  for (std::string line; std::getline(lines, line);) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string word; in >> word;)
      words.push_back(word);
    if (words.size() > 7 && words[1].ends_with(hexPort)) {
      words[7] = std::to_string(owner);
      line.clear();
      for (const std::string& word : words)
        line += word + " ";
    }
    changed += line + "\n";
  }
  return changed;
}

// The hwatable-portal processes that are children of this one.
std::set<pid_t> OwnPortals() {
  std::set<pid_t> portals;
  for (const auto& entry : fs::directory_iterator("/proc")) {
    std::ifstream in(entry.path() / "stat");
    std::string stat;
    if (!std::getline(in, stat)) continue;
    const std::size_t close = stat.rfind(')');
    if (close == std::string::npos || stat.find("(hwatable-portal)") == std::string::npos) continue;
    std::istringstream rest(stat.substr(close + 2));
    char state = 0;
    pid_t parent = 0;
    rest >> state >> parent;
    if (parent == ::getpid() && state != 'Z') portals.insert(std::stoi(stat));
  }
  return portals;
}

class LocalPortalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("XDG_RUNTIME_DIR", runtime.Path().c_str(), 1);
    setenv("XDG_DATA_HOME", data.Path().c_str(), 1);
  }
  void TearDown() override {
    for (const pid_t pid : OwnPortals()) {
      ::kill(pid, SIGTERM);
      ::waitpid(pid, nullptr, 0);
    }
    EXPECT_FALSE(platform::ReadPortalRecord(folder)) << "a portal that stops removes its record";
    unsetenv("XDG_RUNTIME_DIR");
    unsetenv("XDG_DATA_HOME");
  }

  LocalPortal Game() const {
    LocalPortal local;
    local.programFolder = HWATABLE_APP_FOLDER "/";
    local.logPath = data.Path() + "/server.log";
    return local;
  }
  std::optional<platform::PortalRecord> Record() const {
    return platform::ReadPortalRecord(folder);
  }
  // The answer of the portal at the port to GET / with that Host.
  static int Status(int port, const std::string& host) {
    httplib::Client client("127.0.0.1", port);
    const auto answer = client.Get("/", {{"Host", host}});
    return answer ? answer->status : 0;
  }

  testing::TempFolder runtime;
  testing::TempFolder data;
  std::string folder = runtime.Path() + "/hwatable";
};

TEST_F(LocalPortalTest, StartsItsPortalWhichRecordsItselfAndUsesItAgain) {
  // A record left by a portal that no longer runs.
  pid_t gone = ::fork();
  if (gone == 0) ::_exit(0);
  ::waitpid(gone, nullptr, 0);
  ASSERT_EQ(platform::WritePortalRecord(folder, {1, gone, kBuildVersion}), "");

  LocalPortal game = Game();
  EXPECT_EQ(game.folder, folder);
  ASSERT_EQ(game.Ensure(), "");
  const std::optional<platform::PortalRecord> record = Record();
  ASSERT_TRUE(record);
  EXPECT_GT(game.port(), 1);
  EXPECT_EQ(record->port, game.port());
  EXPECT_EQ(record->version, kBuildVersion);
  EXPECT_EQ(OwnPortals(), std::set<pid_t>{record->pid});
  EXPECT_EQ(game.BaseUrl(), "http://127.0.0.1:" + std::to_string(game.port()) + "/");
  struct stat info {};
  ASSERT_EQ(::stat(platform::PortalRecordPath(folder).c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  EXPECT_EQ(info.st_uid, ::getuid());

  // A portal for this machine alone: it answers only the loopback names.
  EXPECT_EQ(Status(game.port(), "127.0.0.1:" + std::to_string(game.port())), 200);
  EXPECT_EQ(Status(game.port(), "attacker.example"), 421);

  LocalPortal again = Game();
  ASSERT_EQ(again.Ensure(), "");
  EXPECT_EQ(again.port(), game.port());
  EXPECT_EQ(Record(), record) << "the running portal is used, no other started";
  EXPECT_EQ(OwnPortals(), std::set<pid_t>{record->pid});
}

TEST_F(LocalPortalTest, APortalOfAnotherVersionIsStoppedAndReplaced) {
  LocalPortal game = Game();
  ASSERT_EQ(game.Ensure(), "");
  const platform::PortalRecord old{game.port(), Record()->pid, "99"};
  ASSERT_EQ(platform::WritePortalRecord(folder, old), "");  // as an older build records

  LocalPortal newer = Game();
  ASSERT_EQ(newer.Ensure(), "");
  const std::optional<platform::PortalRecord> record = Record();
  ASSERT_TRUE(record);
  EXPECT_NE(record->pid, old.pid);
  EXPECT_EQ(record->version, kBuildVersion);
  EXPECT_EQ(record->port, newer.port());
  EXPECT_EQ(OwnPortals(), std::set<pid_t>{record->pid}) << "the old one has ended";
  EXPECT_FALSE(platform::ProcessRuns(old.pid, platform::kPortalProcessName, ::getuid()));
}

TEST_F(LocalPortalTest, APortSomeoneElseListensOnIsNeverUsed) {
  LocalPortal game = Game();
  ASSERT_EQ(game.Ensure(), "");
  const platform::PortalRecord first = *Record();

  // The recorded port now belongs to another user.
  LocalPortal next = Game();
  next.listeners = [&] {
    return WithOwner(platform::ReadProcNetTcp(), first.port, ::getuid() + 1);
  };
  ASSERT_EQ(next.Ensure(), "");
  EXPECT_NE(next.port(), first.port);
  const std::optional<platform::PortalRecord> record = Record();
  ASSERT_TRUE(record);
  EXPECT_NE(record->pid, first.pid);
  EXPECT_EQ(record->port, next.port());
  // Nothing is known of the recorded process once its port is not this user's: it is
  // left alone.
  EXPECT_EQ(OwnPortals(), (std::set<pid_t>{first.pid, record->pid}));
}

TEST_F(LocalPortalTest, TwoGamesStartingAtOnceShareOnePortal) {
  LocalPortal one = Game();
  LocalPortal two = Game();
  std::string oneProblem = "?";
  std::string twoProblem = "?";
  std::thread first([&] { oneProblem = one.Ensure(); });
  std::thread second([&] { twoProblem = two.Ensure(); });
  first.join();
  second.join();
  ASSERT_EQ(oneProblem, "");
  ASSERT_EQ(twoProblem, "");
  EXPECT_EQ(one.port(), two.port());
  EXPECT_EQ(OwnPortals().size(), 1u);
  EXPECT_EQ(Record()->port, one.port());
}

TEST_F(LocalPortalTest, TheUpdaterFindsOnlyARunningPortalOfTheUsers) {
  EXPECT_EQ(updater::RunningLocalPortalUrl(), "") << "none recorded";
  LocalPortal game = Game();
  ASSERT_EQ(game.Ensure(), "");
  EXPECT_EQ(updater::RunningLocalPortalUrl(), game.BaseUrl());

  // The record of a portal killed outright stays behind; its process is gone.
  const platform::PortalRecord record = *Record();
  ::kill(record.pid, SIGKILL);
  ::waitpid(record.pid, nullptr, 0);
  ASSERT_EQ(Record(), record);
  EXPECT_EQ(updater::RunningLocalPortalUrl(), "");
  ::unlink(platform::PortalRecordPath(folder).c_str());
}

// A stand-in for hwatable-portal in a folder of its own.
std::string StandIn(const std::string& folder, const std::string& script) {
  const std::string program = folder + "/hwatable-portal";
  std::ofstream(program) << "#!/bin/sh\n" << script << "\n";
  fs::permissions(program, fs::perms::owner_all);
  return folder + "/";
}

TEST_F(LocalPortalTest, APortalThatIsMissingEndsOrNeverAnswersIsAClearError) {
  testing::TempFolder programs;
  LocalPortal game = Game();
  game.programFolder = programs.Path() + "/";
  EXPECT_THAT(game.Ensure(), HasSubstr(programs.Path() + "/hwatable-portal is missing"));
  EXPECT_EQ(game.port(), 0);

  game.programFolder = StandIn(programs.Path(), "echo cannot serve; exit 1");
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(game.Ensure(), "the local portal ended at once (see " + game.logPath + ")");
  EXPECT_LT(std::chrono::steady_clock::now() - start, game.wait) << "without waiting it out";
  std::ifstream log(game.logPath);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(log), {}), "cannot serve\n");

  const std::string pidFile = programs.Path() + "/pid";
  game.programFolder = StandIn(programs.Path(), "echo $$ >" + pidFile + "; exec sleep 30");
  game.wait = std::chrono::milliseconds(500);
  EXPECT_EQ(game.Ensure(),
            "the local portal did not answer on 127.0.0.1 (see " + game.logPath + ")");
  EXPECT_EQ(game.port(), 0);
  std::ifstream pid(pidFile);
  pid_t sleeper = 0;
  ASSERT_TRUE(pid >> sleeper);
  ::kill(sleeper, SIGKILL);
  ::waitpid(sleeper, nullptr, 0);
}

}  // namespace
}  // namespace hw::app
