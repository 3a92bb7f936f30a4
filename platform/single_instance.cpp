#include "platform/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

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

}  // namespace hw::platform
