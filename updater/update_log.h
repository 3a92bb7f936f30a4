#pragma once
// The updater's log: what it did and what went wrong, one line each, with the output of
// the installers it runs written between its lines as they print it. The player finds it
// at <state folder>/hwatable/updater.log (~/.local/state/hwatable/updater.log); the
// boxes that report a failed install name it.
//
// The updater's own lines read "2025-01-31 12:00:00 updater[PID]: text"; any other line
// is an installer's.

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

namespace hw::updater {

// $XDG_STATE_HOME/hwatable/updater.log, or ~/.local/state/hwatable/updater.log.
std::string UpdaterLogPath();

// A line of the updater's own, as the log keeps it.
std::string LogLine(std::time_t when, int pid, std::string_view text);
bool IsUpdaterLine(std::string_view line);

class UpdaterLog {
 public:
  // A log longer than this is moved aside (as "updater.log.1", replacing the one before)
  // when the updater starts.
  static constexpr std::uintmax_t kTurnOverBytes = 1 << 20;

  // Makes the log's folder (for the user alone) when it is missing.
  explicit UpdaterLog(std::string path);
  const std::string& Path() const { return path_; }
  // Appends one line of the updater's own; the line breaks of `text` become spaces. A log
  // that cannot be written is passed over.
  void Write(std::string_view text);

 private:
  std::string path_;
};

// The last line an installer printed to the log at `path` from byte `offset` on: lines
// of the updater's own and blank lines do not count, nor blanks at either end. "" when
// there is none.
std::string LastInstallerLine(const std::string& path, std::uintmax_t offset);

// The size of the file at `path`, 0 when there is none.
std::uintmax_t FileSize(const std::string& path);

}  // namespace hw::updater
