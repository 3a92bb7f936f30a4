#pragma once
// The guard that keeps a second copy of a program from running for the same user.

#include <string>
#include <string_view>

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

// The process that holds the exclusive lock on the file at `lockPath`, as the system's
// table of locks (/proc/locks) names it: the process that took the lock. 0 when nobody
// holds it, when the file is missing, or when that cannot be told.
int LockHolder(const std::string& lockPath, const std::string& procLocks = "/proc/locks");

// The same, read from the text of such a table, for the file on device major:minor with
// that inode. Only a lock that is held counts (not a process waiting for one).
int LockHolderIn(std::string_view procLocks, unsigned deviceMajor, unsigned deviceMinor,
                 unsigned long long inode);

}  // namespace hw::platform
