// Files, folders and the single-instance lock on this machine.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/file_system.h"
#include "platform/paths.h"
#include "platform/single_instance.h"
#include "tests/support/temp_folder.h"

namespace hw::platform {
namespace {

namespace fs = std::filesystem;

std::string Contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

TEST(FileSystemTest, ProgramFolderEndsInASeparator) {
  EXPECT_EQ(PosixFileSystem("/opt/game").ProgramFolder(), "/opt/game/");
  EXPECT_EQ(PosixFileSystem("/opt/game/").ProgramFolder(), "/opt/game/");
  const std::string own = PosixFileSystem().ProgramFolder();
  EXPECT_EQ(own.back(), '/');
  EXPECT_TRUE(fs::exists(own + "platform_tests")) << own;
}

TEST(FileSystemTest, CopyReplacesWholeAndKeepsPermissions) {
  testing::TempFolder folder;
  PosixFileSystem files(folder.Path());
  const std::string from = folder.Path() + "/new";
  const std::string to = folder.Path() + "/old";
  std::ofstream(from) << "fresh";
  std::ofstream(to) << "stale and longer";
  fs::permissions(from, fs::perms::owner_read | fs::perms::owner_write | fs::perms::owner_exec);

  ASSERT_TRUE(files.Copy(from, to));
  EXPECT_EQ(Contents(to), "fresh");
  EXPECT_NE(fs::status(to).permissions() & fs::perms::owner_exec, fs::perms::none);
  EXPECT_TRUE(files.Exists(from));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()), 2)
      << "no temporary file is left behind";

  EXPECT_FALSE(files.Copy(folder.Path() + "/missing", to));
  EXPECT_EQ(Contents(to), "fresh") << "a failed copy leaves the target alone";
  EXPECT_FALSE(files.Copy(from, folder.Path() + "/no/such/folder/x"));
}

TEST(FileSystemTest, ExistsAndDelete) {
  testing::TempFolder folder;
  PosixFileSystem files(folder.Path());
  const std::string file = folder.Path() + "/file";
  EXPECT_FALSE(files.Exists(file));
  EXPECT_TRUE(files.Delete(file)) << "nothing to delete is fine";
  std::ofstream(file) << "x";
  EXPECT_TRUE(files.Exists(file));
  EXPECT_FALSE(files.Exists(folder.Path())) << "a folder is not a file";
  EXPECT_TRUE(files.Delete(file));
  EXPECT_FALSE(files.Exists(file));
}

TEST(PathsTest, XdgFoldersAndTheirFallbacks) {
  testing::TempFolder folder;
  const std::string home = folder.Path();
  setenv("HOME", home.c_str(), 1);
  unsetenv("XDG_CONFIG_HOME");
  unsetenv("XDG_DATA_HOME");
  unsetenv("XDG_RUNTIME_DIR");
  EXPECT_EQ(ConfigHome(), home + "/.config");
  EXPECT_EQ(DataHome(), home + "/.local/share");
  EXPECT_EQ(RuntimeDir(), home + "/.config");
  unsetenv("XDG_STATE_HOME");
  EXPECT_EQ(StateHome(), home + "/.local/state");

  setenv("XDG_CONFIG_HOME", (home + "/conf/").c_str(), 1);
  setenv("XDG_DATA_HOME", "relative/is/ignored", 1);
  setenv("XDG_RUNTIME_DIR", home.c_str(), 1);
  EXPECT_EQ(ConfigHome(), home + "/conf");
  EXPECT_EQ(DataHome(), home + "/.local/share");
  EXPECT_EQ(RuntimeDir(), home);
  unsetenv("XDG_CONFIG_HOME");
  unsetenv("XDG_DATA_HOME");
  unsetenv("XDG_RUNTIME_DIR");
}

TEST(InstanceLockTest, OnlyOneHolderAtATime) {
  testing::TempFolder folder;
  const std::string path = folder.Path() + "/run/game.lock";
  {
    InstanceLock first(path);
    EXPECT_EQ(first.state(), InstanceLock::State::kHeld);
    InstanceLock second(path);
    EXPECT_TRUE(second.AnotherInstanceRuns());
    EXPECT_EQ(LockHolder(path), getpid());
  }
  EXPECT_EQ(LockHolder(path), 0) << "nobody holds it now";
  EXPECT_EQ(LockHolder(folder.Path() + "/run/missing.lock"), 0);
  InstanceLock again(path);
  EXPECT_EQ(again.state(), InstanceLock::State::kHeld) << "released with its holder";
  EXPECT_EQ(InstanceLock("/proc/no-such/x.lock").state(), InstanceLock::State::kUnavailable);
}

TEST(InstanceLockTest, AKilledHolderNeverBlocksTheNextStart) {
  testing::TempFolder folder;
  const std::string path = folder.Path() + "/game.lock";
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    InstanceLock held(path);
    const char state = held.state() == InstanceLock::State::kHeld ? 'h' : 'x';
    if (write(ready[1], &state, 1) != 1) _exit(2);
    pause();  // until killed
    _exit(0);
  }
  char state = 0;
  ASSERT_EQ(read(ready[0], &state, 1), 1);
  EXPECT_EQ(state, 'h');
  EXPECT_TRUE(InstanceLock(path).AnotherInstanceRuns());
  EXPECT_EQ(LockHolder(path), child);

  kill(child, SIGKILL);
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_EQ(LockHolder(path), 0);
  EXPECT_EQ(InstanceLock(path).state(), InstanceLock::State::kHeld);
  close(ready[0]);
  close(ready[1]);
}

TEST(InstanceLockTest, TheHolderIsReadFromTheTableOfLocks) {
  // Locks on other files, of other kinds, shared ones and waiters do not count.
  const std::string table =
      "1: POSIX  ADVISORY  WRITE 11 fe:00:77 0 EOF\n"
      "2: OFDLCK ADVISORY  WRITE -1 fe:00:77 0 EOF\n"
      "3: FLOCK  ADVISORY  READ  13 fe:00:77 0 EOF\n"
      "4: FLOCK  ADVISORY  WRITE 14 fe:01:77 0 EOF\n"
      "5: FLOCK  ADVISORY  WRITE 15 fe:00:770 0 EOF\n"
      "6: -> FLOCK  ADVISORY  WRITE 16 fe:00:77 0 EOF\n"
      "7: FLOCK  ADVISORY  WRITE 17 fe:00:77 0 EOF\n";
  EXPECT_EQ(LockHolderIn(table, 0xfe, 0, 77), 17);
  EXPECT_EQ(LockHolderIn(table, 0xfe, 1, 77), 14);
  EXPECT_EQ(LockHolderIn(table, 0xfe, 0, 78), 0);
  EXPECT_EQ(LockHolderIn("", 0xfe, 0, 77), 0);
  EXPECT_EQ(LockHolderIn("1: FLOCK ADVISORY WRITE x fe:00:77 0 EOF\n", 0xfe, 0, 77), 0);
}

}  // namespace
}  // namespace hw::platform
