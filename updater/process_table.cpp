#include "updater/process_table.h"

#include <signal.h>

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace hw::updater {
namespace {

namespace fs = std::filesystem;

constexpr unsigned long kKernelThreadFlag = 0x00200000;  // PF_KTHREAD in the stat flags

std::string Upper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

bool ParseWhole(std::string_view text, auto& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

// One line of /proc/PID/stat: "pid (comm) state ppid pgrp session tty tpgid flags ...".
// The name may hold blanks and parentheses, so it ends at the last ')'.
bool ReadStat(const std::string& path, ProcessEntry& entry, bool& listed) {
  std::ifstream in(path);
  std::string line;
  if (!in || !std::getline(in, line)) return false;
  const std::size_t open = line.find('(');
  const std::size_t close = line.rfind(')');
  if (open == std::string::npos || close == std::string::npos || close < open) return false;
  entry.name = line.substr(open + 1, close - open - 1);

  std::istringstream rest(line.substr(close + 1));
  const std::vector<std::string> fields{std::istream_iterator<std::string>(rest),
                                        std::istream_iterator<std::string>()};
  if (fields.empty() || fields[0].empty()) return false;
  const char state = fields[0][0];
  unsigned long flags = 0;
  if (fields.size() > 6 && !ParseWhole(fields[6], flags)) flags = 0;
  listed = state != 'Z' && state != 'X' && state != 'x' && (flags & kKernelThreadFlag) == 0;
  return true;
}

}  // namespace

ProcProcessTable::ProcProcessTable(std::string root, std::size_t limit)
    : root_(std::move(root)), limit_(limit) {}

std::vector<ProcessEntry> ProcProcessTable::Snapshot() {
  std::vector<int> pids;
  std::error_code error;
  for (fs::directory_iterator it(root_, error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    int pid = 0;
    if (ParseWhole(name, pid) && pid > 0) pids.push_back(pid);
  }
  std::sort(pids.begin(), pids.end());

  std::vector<ProcessEntry> table;
  for (const int pid : pids) {
    if (table.size() >= limit_) break;
    ProcessEntry entry;
    entry.pid = pid;
    bool listed = false;
    // A process that ended since the folder was read has no stat any more: not listed.
    if (!ReadStat(root_ + "/" + std::to_string(pid) + "/stat", entry, listed) || !listed) continue;
    table.push_back(std::move(entry));
  }
  return table;
}

bool ProcProcessTable::Terminate(int pid, bool force) {
  return pid > 0 && ::kill(pid, force ? SIGKILL : SIGTERM) == 0;
}

bool NameMatches(std::string_view name, std::string_view text) {
  return Upper(name).ends_with(Upper(text));
}

bool IsProcessRunning(ProcessTable& table, std::string_view text) {
  const std::vector<ProcessEntry> processes = table.Snapshot();
  return std::any_of(processes.begin(), processes.end(),
                     [&](const ProcessEntry& p) { return NameMatches(p.name, text); });
}

bool KillProcessByName(ProcessTable& table, std::string_view text, bool force) {
  for (const ProcessEntry& process : table.Snapshot()) {
    if (NameMatches(process.name, text)) return KillProcessById(table, process.pid, force);
  }
  return false;
}

bool KillProcessById(ProcessTable& table, int pid, bool force) {
  return pid > 0 && table.Terminate(pid, force);
}

}  // namespace hw::updater
