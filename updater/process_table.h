#pragma once
// The updater's view of the running processes: it waits while the installers and the new
// updater copy run, and stops the browser's programs before replacing them.
//
// A walk of the processes keeps only the first kProcessTableLimit of them, in ascending
// process id order, and only those are ever compared. Processes that have ended but were
// not yet reaped (zombies) are not listed: a finished program must not count as running.
// Nor are the kernel's own threads, which are no programs and would otherwise fill the
// lowest ids of the table.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace hw::updater {

inline constexpr std::size_t kProcessTableLimit = 100;

struct ProcessEntry {
  std::string name;  // the program's name as the system reports it (comm: at most 15 bytes)
  int pid = 0;

  bool operator==(const ProcessEntry&) const = default;
};

class ProcessTable {
 public:
  virtual ~ProcessTable() = default;

  // A snapshot: at most kProcessTableLimit (name, pid) pairs in ascending pid order.
  virtual std::vector<ProcessEntry> Snapshot() = 0;

  // Asks the process to end: SIGTERM, or SIGKILL when `force`. False when the signal
  // could not be sent (no such process, or one we may not touch).
  virtual bool Terminate(int pid, bool force) = 0;
};

// The processes of this machine, read from a /proc tree. Tests give a folder of their own
// laid out like /proc (PID/stat files), and a limit of their own for walks of the real
// /proc on a busy machine. Terminate always signals the real process.
class ProcProcessTable final : public ProcessTable {
 public:
  explicit ProcProcessTable(std::string root = "/proc", std::size_t limit = kProcessTableLimit);

  std::vector<ProcessEntry> Snapshot() override;
  bool Terminate(int pid, bool force) override;

 private:
  std::string root_;
  std::size_t limit_;
};

// Whether a process of this name is the program `text` names. Names compare without
// regard to ASCII letter case, and the text must make up the end of the name: a plain
// "contains" would take the browser's resident task ("ostreltask") for its main program
// ("ostrel"). "tmpostrelmain", the browser's new main program waiting to be put in
// place, counts as "ostrelmain".
bool NameMatches(std::string_view name, std::string_view text);

// True when a process of the table matches `text`.
bool IsProcessRunning(ProcessTable& table, std::string_view text);

// Signals the first process of the table that matches `text`, and only that one: callers
// loop while the program runs. False when none matched or the signal failed.
bool KillProcessByName(ProcessTable& table, std::string_view text, bool force = false);

// Signals one process. A pid of 0 or below is refused (kill would take it for a process
// group, or for every process we may signal).
bool KillProcessById(ProcessTable& table, int pid, bool force = false);

}  // namespace hw::updater
