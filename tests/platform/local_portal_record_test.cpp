// The local portal's record, and the checks on loopback listeners and processes that
// decide whether the game may use a recorded port.

#include "platform/local_portal_record.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "tests/support/temp_folder.h"

extern char** environ;

namespace hw::platform {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

unsigned Mode(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
  return info.st_mode & 07777;
}

std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

class RecordTest : public ::testing::Test {
 protected:
  void Put(const std::string& text) {
    fs::create_directories(folder);
    std::ofstream(PortalRecordPath(folder), std::ios::binary | std::ios::trunc) << text;
  }

  testing::TempFolder temp;
  std::string folder = temp.Path() + "/run/hwatable";
};

TEST_F(RecordTest, IsWrittenPrivatelyReadBackAndReplacedWhole) {
  const PortalRecord first{41234, 777, "101"};
  ASSERT_EQ(WritePortalRecord(folder, first), "");
  EXPECT_EQ(Mode(folder), 0700u);
  EXPECT_EQ(Mode(PortalRecordPath(folder)), 0600u);
  EXPECT_EQ(ReadPortalRecord(folder), first);

  const PortalRecord second{5000, 778, "102"};
  ASSERT_EQ(WritePortalRecord(folder, second), "");
  EXPECT_EQ(ReadPortalRecord(folder), second);
  EXPECT_THAT(Names(folder), ElementsAre("portal")) << "no temporary file is left behind";

  EXPECT_THAT(WritePortalRecord(folder, {5000, 778, "1 02"}), HasSubstr("cannot be recorded"));
  EXPECT_THAT(WritePortalRecord(folder, {5000, 778, ""}), HasSubstr("cannot be recorded"));
  EXPECT_EQ(ReadPortalRecord(folder), second);
}

TEST_F(RecordTest, OnlyTheProcessItNamesRemovesIt) {
  EXPECT_FALSE(RemovePortalRecordOf(folder, 777)) << "there is none yet";
  ASSERT_EQ(WritePortalRecord(folder, {41234, 777, "101"}), "");
  EXPECT_FALSE(RemovePortalRecordOf(folder, 778));
  EXPECT_TRUE(ReadPortalRecord(folder));
  EXPECT_TRUE(RemovePortalRecordOf(folder, 777));
  EXPECT_FALSE(ReadPortalRecord(folder));
  EXPECT_FALSE(fs::exists(PortalRecordPath(folder)));
  EXPECT_FALSE(RemovePortalRecordOf(folder, 777));
}

TEST_F(RecordTest, AMalformedRecordIsNone) {
  EXPECT_FALSE(ReadPortalRecord(folder)) << "no folder";
  Put("port 41234\npid 777\nversion 101");
  EXPECT_EQ(ReadPortalRecord(folder), (PortalRecord{41234, 777, "101"})) << "no final newline";
  for (const char* text :
       {"", "port 41234\npid 777\n", "port 0\npid 777\nversion 101\n",
        "port 65536\npid 777\nversion 101\n", "port 80\npid 0\nversion 101\n",
        "port 80\npid -7\nversion 101\n", "port 0x50\npid 7\nversion 101\n",
        "port 80 \npid 7\nversion 101\n", "port 80\npid 7\nversion \n",
        "port 80\npid 7\nversion 101\nport 81\n", "port 80\npid 7\nversion 101\nowner 0\n",
        "port=80\npid=7\nversion=1\n"}) {
    Put(text);
    EXPECT_FALSE(ReadPortalRecord(folder)) << text;
  }
  Put("port 80\npid 7\nversion 101\n" + std::string(5000, '\n'));
  EXPECT_FALSE(ReadPortalRecord(folder)) << "too long to be a record";
}

TEST_F(RecordTest, ALinkOrAnotherUsersFileIsNoRecord) {
  const std::string elsewhere = temp.Path() + "/elsewhere";
  std::ofstream(elsewhere) << "port 80\npid 7\nversion 101\n";
  fs::create_directories(folder);
  fs::create_symlink(elsewhere, PortalRecordPath(folder));
  EXPECT_FALSE(ReadPortalRecord(folder));
  fs::remove(PortalRecordPath(folder));

  if (::getuid() != 0) GTEST_SKIP() << "only root can give a file to another user";
  ASSERT_EQ(WritePortalRecord(folder, {80, 7, "101"}), "");
  ASSERT_EQ(::chown(PortalRecordPath(folder).c_str(), 4242, 4242), 0);
  EXPECT_FALSE(ReadPortalRecord(folder));
}

TEST_F(RecordTest, TheFolderIsMadePrivateAndMustBeAFolderOfTheUsers) {
  fs::create_directories(folder);
  fs::permissions(folder, fs::perms::owner_all | fs::perms::group_all | fs::perms::others_all);
  ASSERT_EQ(PrepareLocalPortalFolder(folder), "");
  EXPECT_EQ(Mode(folder), 0700u);

  const std::string file = temp.Path() + "/a-file";
  std::ofstream(file) << "x";
  EXPECT_THAT(PrepareLocalPortalFolder(file), HasSubstr("is not a folder"));
  EXPECT_THAT(WritePortalRecord(file, {80, 7, "101"}), HasSubstr("is not a folder"));
  const std::string link = temp.Path() + "/a-link";
  fs::create_directory_symlink(folder, link);
  EXPECT_THAT(PrepareLocalPortalFolder(link), HasSubstr("is not a folder"));

  if (::getuid() != 0) GTEST_SKIP() << "only root can give a folder to another user";
  ASSERT_EQ(::chown(folder.c_str(), 4242, 4242), 0);
  EXPECT_THAT(PrepareLocalPortalFolder(folder), HasSubstr("belongs to another user"));
  EXPECT_THAT(WritePortalRecord(folder, {80, 7, "101"}), HasSubstr("belongs to another user"));
}

TEST(LocalPortalFolderTest, TheRuntimeFolderElseTheCache) {
  testing::TempFolder temp;
  setenv("XDG_RUNTIME_DIR", temp.Path().c_str(), 1);
  EXPECT_EQ(LocalPortalFolder(), temp.Path() + "/hwatable");
  setenv("XDG_RUNTIME_DIR", (temp.Path() + "/missing").c_str(), 1);
  setenv("XDG_CACHE_HOME", (temp.Path() + "/cache").c_str(), 1);
  EXPECT_EQ(LocalPortalFolder(), temp.Path() + "/cache/hwatable");
  unsetenv("XDG_RUNTIME_DIR");
  unsetenv("XDG_CACHE_HOME");
  EXPECT_EQ(LocalPortalFolder(), std::string(std::getenv("HOME")) + "/.cache/hwatable");
}

// ---- Who listens on a loopback port

// /proc/net/tcp as a little-endian machine writes it.
constexpr const char* kProcNetTcp =
    "  sl  local_address rem_address   st tx_queue rx_queue tr tm->when retrnsmt   uid  timeout "
    "inode\n"
    // 127.0.0.1:8080, listening, user 1000
    "   0: 0100007F:1F90 00000000:0000 0A 00000000:00000000 00:00000000 00000000  1000        0 "
    "31337 1 0000000000000000 100 0 0 10 0\n"
    // 0.0.0.0:8081, listening, user 1001
    "   1: 00000000:1F91 00000000:0000 0A 00000000:00000000 00:00000000 00000000  1001        0 "
    "31338 1 0000000000000000 100 0 0 10 0\n"
    // 127.0.0.1:8082 connected to 127.0.0.1:40960, and 127.0.0.1:8083 in TIME_WAIT
    "   2: 0100007F:1F92 0100007F:A000 01 00000000:00000000 00:00000000 00000000  1002        0 "
    "31339 1 0000000000000000 20 4 30 10 -1\n"
    "   3: 0100007F:1F93 0100007F:A001 06 00000000:00000000 03:00001772 00000000     0        0 "
    "0 3 0000000000000000\n"
    // 192.168.1.1:8084 and 127.0.0.2:8085, listening: not where the game connects
    "   4: 0101A8C0:1F94 00000000:0000 0A 00000000:00000000 00:00000000 00000000  1004        0 "
    "31340 1 0000000000000000 100 0 0 10 0\n"
    "   5: 0200007F:1F95 00000000:0000 0A 00000000:00000000 00:00000000 00000000  1005        0 "
    "31341 1 0000000000000000 100 0 0 10 0\n"
    // 8086 on both addresses, by two users
    "   6: 0100007F:1F96 00000000:0000 0A 00000000:00000000 00:00000000 00000000     0        0 "
    "31342 1 0000000000000000 100 0 0 10 0\n"
    "   7: 00000000:1F96 00000000:0000 0A 00000000:00000000 00:00000000 00000000  1006        0 "
    "31343 1 0000000000000000 100 0 0 10 0\n"
    // cut short, and not a line of the table at all
    "   8: 0100007F:1F97 00000000:0000 0A 00000000:00000000\n"
    "   9: 0100007F:1F98 00000000:0000 0A 00000000:00000000 00:00000000 00000000  x1008\n"
    "garbage\n";

TEST(LoopbackListenerTest, OnlyListeningSocketsOnLoopbackOrEveryAddressCount) {
  if (std::endian::native != std::endian::little) GTEST_SKIP() << "the sample is little-endian";
  EXPECT_THAT(LoopbackListenerOwners(kProcNetTcp, 8080), ElementsAre(1000u));
  EXPECT_THAT(LoopbackListenerOwners(kProcNetTcp, 8081), ElementsAre(1001u));
  EXPECT_THAT(LoopbackListenerOwners(kProcNetTcp, 8086), ElementsAre(0u, 1006u));
  for (const int port : {8082, 8083, 8084, 8085, 8087, 8088, 1990, 0x8080, 9999}) {
    EXPECT_THAT(LoopbackListenerOwners(kProcNetTcp, port), IsEmpty()) << port;
  }

  EXPECT_TRUE(LoopbackPortOwnedBy(kProcNetTcp, 8080, 1000));
  EXPECT_FALSE(LoopbackPortOwnedBy(kProcNetTcp, 8080, 1001));
  EXPECT_TRUE(LoopbackPortOwnedBy(kProcNetTcp, 8081, 1001));
  EXPECT_FALSE(LoopbackPortOwnedBy(kProcNetTcp, 8082, 1002)) << "connected, not listening";
  EXPECT_FALSE(LoopbackPortOwnedBy(kProcNetTcp, 8085, 1005)) << "another loopback address";
  EXPECT_FALSE(LoopbackPortOwnedBy(kProcNetTcp, 8086, 0)) << "someone else listens there too";
  EXPECT_FALSE(LoopbackPortOwnedBy("", 8080, 1000));
}

// A TCP socket of this process, closed at the end.
class Socket {
 public:
  Socket() : fd_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {}
  ~Socket() { Close(); }
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;

  // Binds to the address at a free port; returns the port.
  int Bind(std::uint32_t address) {
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_addr.s_addr = htonl(address);
    socklen_t size = sizeof where;
    if (::bind(fd_, reinterpret_cast<sockaddr*>(&where), size) != 0 ||
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&where), &size) != 0) {
      return 0;
    }
    return ntohs(where.sin_port);
  }
  bool Listen() { return ::listen(fd_, 4) == 0; }
  bool Connect(int port) {
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_port = htons(static_cast<std::uint16_t>(port));
    where.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return ::connect(fd_, reinterpret_cast<sockaddr*>(&where), sizeof where) == 0;
  }
  void Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  int fd_;
};

TEST(LoopbackListenerTest, ARealListeningSocketIsFoundWithItsOwner) {
  Socket listening;
  const int port = listening.Bind(INADDR_LOOPBACK);
  ASSERT_GT(port, 0);
  EXPECT_THAT(LoopbackListenerOwners(ReadProcNetTcp(), port), IsEmpty()) << "bound, not listening";
  ASSERT_TRUE(listening.Listen());
  EXPECT_THAT(LoopbackListenerOwners(ReadProcNetTcp(), port), ElementsAre(::getuid()));

  Socket client;
  ASSERT_TRUE(client.Connect(port));
  EXPECT_THAT(LoopbackListenerOwners(ReadProcNetTcp(), port), ElementsAre(::getuid()))
      << "the connection's own line on the port is no listener";
  EXPECT_TRUE(LoopbackPortOwnedBy(ReadProcNetTcp(), port, ::getuid()));
  EXPECT_FALSE(LoopbackPortOwnedBy(ReadProcNetTcp(), port, ::getuid() + 1));

  listening.Close();
  EXPECT_FALSE(LoopbackPortOwnedBy(ReadProcNetTcp(), port, ::getuid()));

  Socket everywhere;
  const int anyPort = everywhere.Bind(INADDR_ANY);
  ASSERT_GT(anyPort, 0);
  ASSERT_TRUE(everywhere.Listen());
  EXPECT_TRUE(LoopbackPortOwnedBy(ReadProcNetTcp(), anyPort, ::getuid()));
}

// ---- Whether a process runs

std::string OwnName() {
  std::ifstream in("/proc/self/comm");
  std::string name;
  std::getline(in, name);
  return name;
}

TEST(ProcessRunsTest, ByIdNameAndUserAndNotAsAZombie) {
  const std::string own = OwnName();
  EXPECT_TRUE(ProcessRuns(::getpid(), own, ::getuid()));
  EXPECT_FALSE(ProcessRuns(::getpid(), own + "x", ::getuid()));
  EXPECT_FALSE(ProcessRuns(::getpid(), own, ::getuid() + 1));
  EXPECT_FALSE(ProcessRuns(0, own, ::getuid()));
  EXPECT_FALSE(ProcessRuns(-1, own, ::getuid()));

  const char* argv[] = {"sleep", "30", nullptr};
  pid_t child = 0;
  ASSERT_EQ(posix_spawnp(&child, "sleep", nullptr, nullptr, const_cast<char**>(argv), environ), 0);
  EXPECT_TRUE(ProcessRuns(child, "sleep", ::getuid()));
  ::kill(child, SIGKILL);
  // Until it is waited for, the ended child stays in /proc as a zombie.
  bool ran = true;
  for (int i = 0; i < 100 && ran; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ran = ProcessRuns(child, "sleep", ::getuid());
  }
  EXPECT_FALSE(ran);
  EXPECT_TRUE(fs::exists("/proc/" + std::to_string(child))) << "still a zombie";
  ASSERT_EQ(::waitpid(child, nullptr, 0), child);
  EXPECT_FALSE(ProcessRuns(child, "sleep", ::getuid()));
}

}  // namespace
}  // namespace hw::platform
