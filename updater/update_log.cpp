#include "updater/update_log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <utility>

#include "platform/paths.h"

namespace hw::updater {
namespace {

namespace fs = std::filesystem;

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
    text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
    text.remove_suffix(1);
  return text;
}

bool Digits(std::string_view text) {
  if (text.empty()) return false;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

}  // namespace

std::string UpdaterLogPath() {
  return platform::StateHome() + "/hwatable/updater.log";
}

std::string LogLine(std::time_t when, int pid, std::string_view text) {
  std::tm local{};
  localtime_r(&when, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
  std::string line = std::string(stamp) + " updater[" + std::to_string(pid) + "]: ";
  for (const char c : text)
    line += c == '\n' || c == '\r' ? ' ' : c;
  return line;
}

bool IsUpdaterLine(std::string_view line) {
  // "YYYY-MM-DD HH:MM:SS updater[PID]: ": '0' in the pattern stands for any digit.
  constexpr std::string_view kStamp = "0000-00-00 00:00:00 updater[";
  if (line.size() < kStamp.size()) return false;
  for (std::size_t i = 0; i < kStamp.size(); ++i) {
    const bool ok = kStamp[i] == '0' ? line[i] >= '0' && line[i] <= '9' : line[i] == kStamp[i];
    if (!ok) return false;
  }
  const std::string_view rest = line.substr(kStamp.size());
  const std::size_t close = rest.find("]: ");
  return close != std::string_view::npos && Digits(rest.substr(0, close));
}

UpdaterLog::UpdaterLog(std::string path) : path_(std::move(path)) {
  std::error_code ignored;
  const fs::path folder = fs::path(path_).parent_path();
  if (!folder.empty() && !fs::exists(folder, ignored)) {
    fs::create_directories(folder, ignored);
    fs::permissions(folder, fs::perms::owner_all, ignored);
  }
  if (FileSize(path_) > kTurnOverBytes) fs::rename(path_, path_ + ".1", ignored);
}

void UpdaterLog::Write(std::string_view text) {
  const std::string line = LogLine(std::time(nullptr), static_cast<int>(::getpid()), text) + "\n";
  // One write of the whole line to a file opened for appending, so that the lines of an
  // installer writing at the same time never land inside it.
  const int fd = ::open(path_.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return;
  [[maybe_unused]] const ssize_t written = ::write(fd, line.data(), line.size());
  ::close(fd);
}

std::string LastInstallerLine(const std::string& path, std::uintmax_t offset) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "";
  in.seekg(static_cast<std::streamoff>(offset));
  std::string last;
  std::string line;
  while (std::getline(in, line)) {
    const std::string_view text = Trimmed(line);
    if (!text.empty() && !IsUpdaterLine(line)) last = text;
  }
  return last;
}

std::uintmax_t FileSize(const std::string& path) {
  std::error_code error;
  const std::uintmax_t size = fs::file_size(path, error);
  return error ? 0 : size;
}

}  // namespace hw::updater
