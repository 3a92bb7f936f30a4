// The process table over a made-up /proc and over the real one, and the launcher with
// real programs.

#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <optional>
#include <sstream>
#include <thread>

#include "platform/launcher.h"
#include "platform/single_instance.h"
#include "tests/support/temp_folder.h"
#include "updater/process_table.h"
#include "updater/toolbox.h"

namespace hw::updater {

void PrintTo(const ProcessEntry& entry, std::ostream* out) {
  *out << "{\"" << entry.name << "\", " << entry.pid << "}";
}

namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;

void WriteFile(const std::string& path, const std::string& text) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream(path) << text;
}

// A /proc entry: "pid (name) state ppid pgrp session tty tpgid flags ...".
void AddProcess(const std::string& root, int pid, const std::string& name, char state = 'S',
                unsigned long flags = 4194560) {
  std::ostringstream stat;
  stat << pid << " (" << name << ") " << state << " 1 " << pid << " " << pid << " 0 -1 " << flags
       << " 120 0 0 0 5 3 0 0 20 0 1 0 100 1000 100\n";
  WriteFile(root + "/" + std::to_string(pid) + "/stat", stat.str());
}

// A table whose process names are given; Terminate is written down, not sent.
class ListedTable final : public ProcessTable {
 public:
  std::vector<ProcessEntry> entries;
  std::vector<int> terminated;
  std::vector<ProcessEntry> Snapshot() override { return entries; }
  bool Terminate(int pid, bool) override {
    terminated.push_back(pid);
    return true;
  }
};

TEST(ProcessTableTest, TheFirstHundredProcessesInPidOrderWithoutZombiesOrKernelThreads) {
  testing::TempFolder proc;
  const std::string root = proc.Path();
  // Written in an order of their own; 1000 comes before 2 as text but after it as a pid.
  for (int pid = 200; pid >= 2; pid -= 2)
    AddProcess(root, pid, "worker" + std::to_string(pid));
  AddProcess(root, 1000, "late");
  AddProcess(root, 3, "dead child", 'Z');
  AddProcess(root, 5, "kworker/0:1", 'I', 0x00208040);
  AddProcess(root, 7, "odd) (name", 'R');
  WriteFile(root + "/self/stat", "not a process");
  fs::create_directories(root + "/9");  // ended since the folder was read: no stat
  WriteFile(root + "/version", "Linux");

  ProcProcessTable table(root);
  const std::vector<ProcessEntry> snapshot = table.Snapshot();
  ASSERT_EQ(snapshot.size(), 100u);
  EXPECT_EQ(snapshot[0], (ProcessEntry{"worker2", 2}));
  EXPECT_EQ(snapshot[1], (ProcessEntry{"worker4", 4}));
  EXPECT_EQ(snapshot[2], (ProcessEntry{"worker6", 6}));
  EXPECT_EQ(snapshot[3], (ProcessEntry{"odd) (name", 7}));
  EXPECT_EQ(snapshot[99], (ProcessEntry{"worker198", 198}));

  EXPECT_TRUE(IsProcessRunning(table, "WORKER198"));
  EXPECT_FALSE(IsProcessRunning(table, "worker200")) << "the 101st process is not seen";
  EXPECT_FALSE(IsProcessRunning(table, "late"));
  EXPECT_FALSE(IsProcessRunning(table, "dead child")) << "a zombie has ended";
  EXPECT_FALSE(IsProcessRunning(table, "kworker/0:1"));

  ProcProcessTable all(root, 1000);
  EXPECT_EQ(all.Snapshot().size(), 102u);
  EXPECT_TRUE(IsProcessRunning(all, "late"));
  EXPECT_TRUE(ProcProcessTable(root + "/missing").Snapshot().empty());
}

TEST(ProcessTableTest, NamesMatchWithoutCaseAtTheirEnd) {
  EXPECT_TRUE(NameMatches("ostrel", "ostrel"));
  EXPECT_TRUE(NameMatches("OSTREL", "ostrel"));
  EXPECT_TRUE(NameMatches("tmpostrelmain", "OstrelMain"));
  EXPECT_TRUE(NameMatches("tmpupdater", "updater"));
  EXPECT_FALSE(NameMatches("ostreltask", "ostrel")) << "the resident task is not the browser";
  EXPECT_FALSE(NameMatches("ostrel", "ostreltask"));
  EXPECT_FALSE(NameMatches("", "ostrel"));
}

TEST(ProcessTableTest, KillByNameSignalsTheFirstMatchOnlyAndNeverAPidBelowOne) {
  ListedTable table;
  table.entries = {{"ostreltask", 10}, {"ostrel", 11}, {"OSTREL", 12}, {"ostrel", 0}};
  EXPECT_TRUE(KillProcessByName(table, "ostrel"));
  EXPECT_THAT(table.terminated, ElementsAre(11));
  EXPECT_FALSE(KillProcessByName(table, "nothing"));

  table.entries = {{"ostrel", 0}, {"ostrel", -1}};
  EXPECT_FALSE(KillProcessByName(table, "ostrel"));
  EXPECT_FALSE(KillProcessById(table, 0));
  EXPECT_FALSE(KillProcessById(table, -1));
  EXPECT_THAT(table.terminated, ElementsAre(11)) << "kill(0) or kill(-1) would hit us all";
}

// ---- Real processes

// Waits up to five seconds of real time for `done`.
template <typename Fn>
bool Eventually(Fn done) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// "pid (comm) state ppid pgrp session" of a process, as numbers after the name.
std::vector<long> StatNumbers(int pid) {
  const std::string stat = ReadAll("/proc/" + std::to_string(pid) + "/stat");
  std::istringstream rest(stat.substr(stat.rfind(')') + 2));
  std::string state;
  long ppid = 0, pgrp = 0, session = 0;
  rest >> state >> ppid >> pgrp >> session;
  return {ppid, pgrp, session};
}

// A child that holds the game's lock under the given name until it is killed.
pid_t HoldTheGameLock(const char* name) {
  int ready[2];
  if (pipe(ready) != 0) return -1;
  const pid_t child = fork();
  if (child == 0) {
    prctl(PR_SET_NAME, name);
    platform::InstanceLock held(GameLockPath());
    const char state = held.state() == platform::InstanceLock::State::kHeld ? 'h' : 'x';
    if (write(ready[1], &state, 1) != 1) _exit(2);
    pause();
    _exit(0);
  }
  char state = 0;
  const bool held = child > 0 && read(ready[0], &state, 1) == 1 && state == 'h';
  close(ready[0]);
  close(ready[1]);
  return held ? child : -1;
}

void Stop(pid_t child) {
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
}

TEST(RunningGameTest, TheGameIsTheProcessThatHoldsTheGamesLockUnderItsName) {
  testing::TempFolder folder;
  setenv("XDG_RUNTIME_DIR", folder.Path().c_str(), 1);
  EXPECT_EQ(GameLockPath(), folder.Path() + "/hwatable.lock");
  EXPECT_NE(UpdaterLockPath(), GameLockPath());
  EXPECT_EQ(RunningGame(), 0) << "no lock file yet";

  const pid_t game = HoldTheGameLock("hwatable");
  ASSERT_GT(game, 0);
  EXPECT_EQ(RunningGame(), game);
  Stop(game);
  EXPECT_EQ(RunningGame(), 0) << "the lock went with the game";

  // Something else that holds the file is no game.
  const pid_t stranger = HoldTheGameLock("sleepy");
  ASSERT_GT(stranger, 0);
  EXPECT_EQ(RunningGame(), 0);
  Stop(stranger);
  unsetenv("XDG_RUNTIME_DIR");
}

TEST(LauncherTest, AStartedProgramRunsInItsOwnSessionIsSeenKilledAndNeverOurZombie) {
  platform::PosixLauncher launcher;
  const platform::LaunchResult sleeper =
      launcher.Run("sleep", {"30"}, platform::WindowStyle::kHidden);
  ASSERT_TRUE(sleeper.Started()) << std::strerror(sleeper.error);

  const std::vector<long> numbers = StatNumbers(sleeper.pid);
  ASSERT_EQ(numbers.size(), 3u);
  EXPECT_NE(numbers[0], getpid()) << "not our child: nobody here has to reap it";
  EXPECT_EQ(numbers[2], sleeper.pid) << "a session of its own";

  // The real /proc of a busy machine may hold more than 100 processes before ours.
  ProcProcessTable table("/proc", std::numeric_limits<std::size_t>::max());
  const auto snapshot = table.Snapshot();
  EXPECT_THAT(snapshot, ::testing::Contains(ProcessEntry{"sleep", sleeper.pid}));
  EXPECT_TRUE(KillProcessById(table, sleeper.pid));
  EXPECT_TRUE(Eventually([&] {
    const auto now = table.Snapshot();
    return std::none_of(now.begin(), now.end(),
                        [&](const ProcessEntry& p) { return p.pid == sleeper.pid; });
  }));
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1) << "the intermediate process was reaped";
  EXPECT_EQ(errno, ECHILD);
  EXPECT_FALSE(KillProcessById(table, std::numeric_limits<int>::max())) << "no such process";
}

TEST(LauncherTest, ArgumentsArriveExactlyAndFailuresAreReported) {
  testing::TempFolder folder;
  const std::string script = folder.Path() + "/record";
  const std::string out = folder.Path() + "/out";
  WriteFile(script, "#!/bin/sh\nfor a in \"$@\"; do printf '[%s]' \"$a\"; done > \"$0.out\"\n");
  fs::permissions(script, fs::perms::owner_all);
  platform::PosixLauncher launcher;

  ASSERT_TRUE(
      launcher.Run(script, {"a b", "", "$HOME", "*"}, platform::WindowStyle::kNormal).Started());
  ASSERT_TRUE(Eventually([&] { return ReadAll(script + ".out").ends_with("]"); }));
  EXPECT_EQ(ReadAll(script + ".out"), "[a b][][$HOME][*]");

  EXPECT_EQ(launcher.Run(folder.Path() + "/missing", {}, platform::WindowStyle::kHidden).error,
            ENOENT);
  EXPECT_EQ(launcher.Run("no-such-program-anywhere", {}, platform::WindowStyle::kHidden).error,
            ENOENT);
  WriteFile(out, "data");
  EXPECT_EQ(launcher.Run(out, {}, platform::WindowStyle::kHidden).error, EACCES)
      << "a file that is not executable";
}

TEST(LauncherTest, ShellOpenRunsExecutablesWithTheirParametersAndOpensTheRest) {
  testing::TempFolder folder;
  const std::string script = folder.Path() + "/ostrelchk";
  WriteFile(script, "#!/bin/sh\nfor a in \"$@\"; do printf '[%s]' \"$a\"; done > \"$0.out\"\n");
  fs::permissions(script, fs::perms::owner_all);
  const std::string opener = folder.Path() + "/opener";
  WriteFile(opener, "#!/bin/sh\nprintf '%s' \"$1\" > \"$0.out\"\n");
  fs::permissions(opener, fs::perms::owner_all);
  platform::PosixLauncher launcher(opener);

  const int code = launcher.ShellOpenFile(script, "AS^100^  second");
  EXPECT_TRUE(platform::ShellSucceeded(code)) << code;
  ASSERT_TRUE(Eventually([&] { return ReadAll(script + ".out").ends_with("]"); }));
  EXPECT_EQ(ReadAll(script + ".out"), "[AS^100^][second]");

  const std::string document = folder.Path() + "/manual.txt";
  WriteFile(document, "read me");
  EXPECT_TRUE(platform::ShellSucceeded(launcher.ShellOpenFile(document, "ignored")));
  ASSERT_TRUE(Eventually([&] { return !ReadAll(opener + ".out").empty(); }));
  EXPECT_EQ(ReadAll(opener + ".out"), document);

  EXPECT_EQ(launcher.ShellOpenFile(folder.Path() + "/missing", ""), platform::kShellFileNotFound);
  EXPECT_EQ(launcher.ShellOpenFile("", ""), platform::kShellFileNotFound);
  platform::PosixLauncher noOpener(folder.Path() + "/no-opener");
  EXPECT_EQ(noOpener.ShellOpenFile(document, ""), platform::kShellNoAssociation);
}

TEST(LauncherTest, AWatchedProgramIsOurChildWritesToItsLogAndTellsHowItEnded) {
  testing::TempFolder folder;
  const std::string script = folder.Path() + "/installer";
  WriteFile(script,
            "#!/bin/sh\n"
            "[ -e \"$0.go\" ] || sleep 30\n"
            "echo \"out $1\"; echo \"err $(cat)\" >&2; exit 3\n");
  fs::permissions(script, fs::perms::owner_all);
  const std::string log = folder.Path() + "/log";
  WriteFile(log, "earlier\n");
  platform::PosixLauncher launcher;

  WriteFile(script + ".go", "");
  const platform::LaunchResult installer = launcher.RunWatched(script, {"a b"}, log);
  ASSERT_TRUE(installer.Started()) << std::strerror(installer.error);
  std::optional<platform::ExitStatus> end;
  ASSERT_TRUE(Eventually([&] { return (end = launcher.PollExit(installer.pid)).has_value(); }));
  EXPECT_EQ(*end, (platform::ExitStatus{3, 0}));
  EXPECT_FALSE(end->Succeeded());
  EXPECT_EQ(ReadAll(log), "earlier\nout a b\nerr \n") << "appended; it read /dev/null";
  EXPECT_EQ(launcher.PollExit(installer.pid), (platform::ExitStatus{-1, 0})) << "told once";

  // One that runs until a signal ends it, in a session of its own; a log that cannot be
  // written does not keep it from running.
  fs::remove(script + ".go");
  const platform::LaunchResult sleeper =
      launcher.RunWatched(script, {}, folder.Path() + "/no/such/folder/log");
  ASSERT_TRUE(sleeper.Started());
  const std::vector<long> numbers = StatNumbers(sleeper.pid);
  ASSERT_EQ(numbers.size(), 3u);
  EXPECT_EQ(numbers[0], getpid()) << "our own child";
  EXPECT_EQ(numbers[2], sleeper.pid) << "a session of its own";
  EXPECT_EQ(launcher.PollExit(sleeper.pid), std::nullopt);
  ASSERT_EQ(kill(-sleeper.pid, SIGTERM), 0);  // its group: the shell and its sleep
  ASSERT_TRUE(Eventually([&] { return (end = launcher.PollExit(sleeper.pid)).has_value(); }));
  EXPECT_EQ(*end, (platform::ExitStatus{0, SIGTERM}));

  EXPECT_EQ(launcher.RunWatched(folder.Path() + "/missing", {}, log).error, ENOENT);
  EXPECT_EQ(launcher.RunWatched(log, {}, log).error, EACCES) << "not executable";
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1) << "every child was collected";
  EXPECT_EQ(errno, ECHILD);
}

}  // namespace
}  // namespace hw::updater
