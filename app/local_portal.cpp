#include "app/local_portal.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <thread>
#include <vector>

extern char** environ;

namespace hw::app {
namespace {

using Clock = std::chrono::steady_clock;
constexpr std::chrono::milliseconds kPoll{50};

// Whether something accepts connections on 127.0.0.1 at the port.
bool Answers(int port) {
  const int sock = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (sock < 0) return false;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const bool connected =
      ::connect(sock, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  ::close(sock);
  return connected;
}

// An exclusive lock on a file, waited for until a deadline; the system drops it should
// the process end while holding it.
class FileLock {
 public:
  FileLock(const std::string& path, Clock::time_point deadline) {
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd_ < 0) return;
    while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
      if ((errno != EWOULDBLOCK && errno != EINTR) || Clock::now() >= deadline) return;
      std::this_thread::sleep_for(kPoll);
    }
    held_ = true;
  }
  ~FileLock() {
    if (fd_ >= 0) ::close(fd_);  // closing the only descriptor drops the lock
  }
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  bool held() const { return held_; }

 private:
  int fd_ = -1;
  bool held_ = false;
};

bool PortalRuns(pid_t pid) {
  return platform::ProcessRuns(pid, platform::kPortalProcessName, ::getuid());
}

// Waits until the portal has ended; true when it has within `wait`.
bool AwaitEnd(pid_t pid, std::chrono::milliseconds wait) {
  const Clock::time_point end = Clock::now() + wait;
  while (true) {
    ::waitpid(pid, nullptr, WNOHANG);  // a portal this process started is reaped here
    if (!PortalRuns(pid)) return true;
    if (Clock::now() >= end) return false;
    std::this_thread::sleep_for(kPoll);
  }
}

// Ends process `pid` if it is a portal of this user's: SIGTERM, and SIGKILL when it has
// not ended within `wait`.
void StopPortal(pid_t pid, std::chrono::milliseconds wait) {
  if (!PortalRuns(pid)) return;
  ::kill(pid, SIGTERM);
  if (AwaitEnd(pid, wait) || !PortalRuns(pid)) return;
  ::kill(pid, SIGKILL);
  AwaitEnd(pid, std::chrono::seconds(1));
}

}  // namespace

std::string LocalPortal::Ensure() {
  port_ = 0;
  if (std::string problem = platform::PrepareLocalPortalFolder(folder); !problem.empty()) {
    return problem;
  }
  // Another game checking or starting at this moment takes at most this long.
  const std::string lockPath = folder + "/portal.lock";
  const FileLock lock(lockPath, Clock::now() + wait + stopWait + std::chrono::seconds(2));
  if (!lock.held()) return "could not lock " + lockPath;

  if (const std::optional<platform::PortalRecord> record = platform::ReadPortalRecord(folder);
      record && platform::RecordedPortalIsOwn(*record, listeners())) {
    if (record->version == version && Answers(record->port)) {
      port_ = record->port;
      return "";
    }
    // Another build's portal gives way to this build's.
    StopPortal(record->pid, stopWait);
  }
  // A record naming a port that is not this user's is never used: the new portal's
  // record replaces it.
  return Start();
}

std::string LocalPortal::Start() {
  const std::string program = programFolder + "hwatable-portal";
  if (::access(program.c_str(), X_OK) != 0) return program + " is missing";

  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::path(logPath).parent_path(), ignored);
  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  posix_spawn_file_actions_addopen(&files, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  // Its messages and its request log go to one file, the player's alone; the portal turns
  // the log over when it grows (--log).
  posix_spawn_file_actions_addopen(&files, STDOUT_FILENO, logPath.c_str(),
                                   O_WRONLY | O_CREAT | O_APPEND, 0600);
  posix_spawn_file_actions_adddup2(&files, STDOUT_FILENO, STDERR_FILENO);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);

  std::vector<std::string> words{program,       "--local", "--listen", "127.0.0.1:0",
                                 "--idle-exit", "21600",   "--log",    logPath};
  std::vector<char*> argv;
  for (std::string& word : words)
    argv.push_back(word.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int failed = posix_spawn(&pid, program.c_str(), &files, &attributes, argv.data(), environ);
  posix_spawn_file_actions_destroy(&files);
  posix_spawnattr_destroy(&attributes);
  if (failed != 0) return program + " could not start: " + std::strerror(failed);

  const Clock::time_point end = Clock::now() + wait;
  while (Clock::now() < end) {
    const std::optional<platform::PortalRecord> record = platform::ReadPortalRecord(folder);
    if (record && record->pid == pid && platform::RecordedPortalIsOwn(*record, listeners()) &&
        Answers(record->port)) {
      if (record->version != version) {
        return program + " is of version " + record->version + ", the game of version " + version;
      }
      port_ = record->port;
      return "";
    }
    if (::waitpid(pid, nullptr, WNOHANG) == pid) {
      return "the local portal ended at once (see " + logPath + ")";
    }
    std::this_thread::sleep_for(kPoll);
  }
  return "the local portal did not answer on 127.0.0.1 (see " + logPath + ")";
}

}  // namespace hw::app
