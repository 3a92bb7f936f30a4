#include "platform/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace hw::platform {

InstanceLock::InstanceLock(const std::string& lockPath) {
  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::path(lockPath).parent_path(), ignored);
  fd_ = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd_ < 0) return;
  if (flock(fd_, LOCK_EX | LOCK_NB) == 0) {
    state_ = State::kHeld;
    return;
  }
  state_ = errno == EWOULDBLOCK ? State::kTakenByAnother : State::kUnavailable;
  close(fd_);
  fd_ = -1;
}

InstanceLock::~InstanceLock() {
  if (fd_ >= 0) close(fd_);  // closing the only descriptor drops the lock
}

int LockHolderIn(std::string_view procLocks, unsigned deviceMajor, unsigned deviceMinor,
                 unsigned long long inode) {
  // "1: FLOCK  ADVISORY  WRITE 1234 fe:00:10952936 0 EOF"; a waiter's line has "->"
  // after the number.
  std::istringstream lines{std::string(procLocks)};
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream words(line);
    std::string number, kind, mode, access, pid, file;
    if (!(words >> number >> kind >> mode >> access >> pid >> file)) continue;
    if (kind != "FLOCK" || access != "WRITE") continue;
    unsigned fileMajor = 0, fileMinor = 0;
    unsigned long long fileInode = 0;
    char rest = 0;
    if (std::sscanf(file.c_str(), "%x:%x:%llu%c", &fileMajor, &fileMinor, &fileInode, &rest) != 3)
      continue;
    if (fileMajor != deviceMajor || fileMinor != deviceMinor || fileInode != inode) continue;
    int holder = 0;
    const auto [end, error] = std::from_chars(pid.data(), pid.data() + pid.size(), holder);
    if (error == std::errc() && end == pid.data() + pid.size() && holder > 0) return holder;
  }
  return 0;
}

int LockHolder(const std::string& lockPath, const std::string& procLocks) {
  struct stat info {};
  if (::stat(lockPath.c_str(), &info) != 0) return 0;
  std::ifstream in(procLocks);
  if (!in) return 0;
  const std::string table{std::istreambuf_iterator<char>(in), {}};
  return LockHolderIn(table, major(info.st_dev), minor(info.st_dev), info.st_ino);
}

}  // namespace hw::platform
