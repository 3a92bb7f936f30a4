#pragma once
// The guard that keeps a second copy of a program from running for the same user.

#include <string>

namespace hw::platform {

// Tries once, at construction, to take an exclusive lock on the file at `lockPath`
// (creating it and its folder when needed). The lock belongs to the process: the system
// drops it when the process ends, however it ends, so a crash never blocks the next
// start. It is released early when the object is destroyed.
class InstanceLock {
 public:
  enum class State {
    kHeld,            // this process is the only instance
    kTakenByAnother,  // another process holds the lock
    kUnavailable,     // the lock file cannot be opened; nobody can tell, so go on
  };

  explicit InstanceLock(const std::string& lockPath);
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  State state() const { return state_; }
  bool AnotherInstanceRuns() const { return state_ == State::kTakenByAnother; }

 private:
  int fd_ = -1;
  State state_ = State::kUnavailable;
};

}  // namespace hw::platform
