#include "platform/local_portal_record.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "platform/paths.h"

namespace hw::platform {
namespace {

constexpr std::size_t kLargestRecord = 4096;

std::string Why(const std::string& what, int error) {
  return what + ": " + std::strerror(error);
}

// The whole text as a number of that base, or nothing.
template <typename Number>
std::optional<Number> ParseNumber(std::string_view text, int base = 10) {
  Number value{};
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value, base);
  if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
  return value;
}

std::vector<std::string_view> Words(std::string_view line) {
  std::vector<std::string_view> words;
  std::size_t at = 0;
  while (true) {
    at = line.find_first_not_of(" \t", at);
    if (at == std::string_view::npos) break;
    const std::size_t end = line.find_first_of(" \t", at);
    words.push_back(line.substr(at, end == std::string_view::npos ? end : end - at));
    if (end == std::string_view::npos) break;
    at = end;
  }
  return words;
}

bool WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t written = ::write(fd, text.data(), text.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    text.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

std::optional<PortalRecord> ParseRecord(std::string_view text) {
  std::map<std::string_view, std::string_view> values;
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t end = std::min(text.find('\n', at), text.size());
    const std::string_view line = text.substr(at, end - at);
    at = end + 1;
    if (line.empty()) continue;
    const std::size_t space = line.find(' ');
    if (space == std::string_view::npos) return std::nullopt;
    if (!values.emplace(line.substr(0, space), line.substr(space + 1)).second) return std::nullopt;
  }
  if (values.size() != 3 || !values.contains("port") || !values.contains("pid") ||
      !values.contains("version")) {
    return std::nullopt;
  }
  const std::optional<int> port = ParseNumber<int>(values["port"]);
  const std::optional<pid_t> pid = ParseNumber<pid_t>(values["pid"]);
  const std::string_view version = values["version"];
  if (!port || *port < 1 || *port > 65535 || !pid || *pid < 1 || version.empty() ||
      version.find_first_of(" \t\r") != std::string_view::npos) {
    return std::nullopt;
  }
  return PortalRecord{*port, *pid, std::string(version)};
}

}  // namespace

std::string LocalPortalFolder() {
  return RuntimeDirOr(CacheHome()) + "/hwatable";
}

std::string PortalRecordPath(const std::string& folder) {
  return folder + "/portal";
}

std::string PrepareLocalPortalFolder(const std::string& folder) {
  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::path(folder).parent_path(), ignored);
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
    return Why("cannot create " + folder, errno);
  }
  struct stat info {};
  if (::lstat(folder.c_str(), &info) != 0) return Why("cannot create " + folder, errno);
  if (!S_ISDIR(info.st_mode)) return folder + " is not a folder";
  if (info.st_uid != ::getuid()) return folder + " belongs to another user";
  if ((info.st_mode & 07777) != 0700 && ::chmod(folder.c_str(), 0700) != 0) {
    return Why("cannot make " + folder + " private", errno);
  }
  return "";
}

std::string WritePortalRecord(const std::string& folder, const PortalRecord& record) {
  const std::string path = PortalRecordPath(folder);
  if (record.version.empty() || record.version.find_first_of(" \t\r\n") != std::string::npos) {
    return "the version \"" + record.version + "\" cannot be recorded";
  }
  if (std::string problem = PrepareLocalPortalFolder(folder); !problem.empty()) return problem;
  const std::string temporary = folder + "/.portal." + std::to_string(::getpid()) + ".new";
  ::unlink(temporary.c_str());  // left by a process of the same id that ended midway
  const int fd =
      ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return Why("cannot write " + temporary, errno);
  const std::string text = "port " + std::to_string(record.port) + "\npid " +
                           std::to_string(record.pid) + "\nversion " + record.version + "\n";
  int error = 0;
  if (!WriteAll(fd, text) || ::fsync(fd) != 0) error = errno != 0 ? errno : EIO;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(temporary.c_str(), path.c_str()) == 0) return "";
  if (error == 0) error = errno;
  ::unlink(temporary.c_str());
  return Why("cannot write " + path, error);
}

std::optional<PortalRecord> ReadPortalRecord(const std::string& folder) {
  const std::string path = PortalRecordPath(folder);
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) return std::nullopt;
  struct stat info {};
  std::string text;
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == ::getuid() &&
      info.st_size <= static_cast<off_t>(kLargestRecord)) {
    char buffer[kLargestRecord + 1];
    ssize_t got = 0;
    while ((got = ::read(fd, buffer, sizeof buffer)) > 0 && text.size() <= kLargestRecord)
      text.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(fd);
  if (text.empty() || text.size() > kLargestRecord) return std::nullopt;
  return ParseRecord(text);
}

bool RemovePortalRecordOf(const std::string& folder, pid_t pid) {
  const std::optional<PortalRecord> record = ReadPortalRecord(folder);
  return record && record->pid == pid && ::unlink(PortalRecordPath(folder).c_str()) == 0;
}

std::vector<uid_t> LoopbackListenerOwners(std::string_view procNetTcp, int port) {
  // "  0: 0100007F:2AF8 00000000:0000 0A 00000000:00000000 00:00000000 00000000  1000 ..."
  // The address is the four bytes as they lie in memory, printed as a number of this
  // machine's byte order; the port is printed as a number.
  constexpr std::string_view kListen = "0A";
  std::vector<uid_t> owners;
  std::size_t at = 0;
  while (at < procNetTcp.size()) {
    const std::size_t end = std::min(procNetTcp.find('\n', at), procNetTcp.size());
    const std::vector<std::string_view> words = Words(procNetTcp.substr(at, end - at));
    at = end + 1;
    if (words.size() < 8 || words[3] != kListen) continue;
    const std::string_view local = words[1];
    if (local.size() != 13 || local[8] != ':') continue;
    const std::optional<std::uint32_t> address = ParseNumber<std::uint32_t>(local.substr(0, 8), 16);
    const std::optional<int> listened = ParseNumber<int>(local.substr(9), 16);
    const std::optional<uid_t> owner = ParseNumber<uid_t>(words[7]);
    if (!address || !listened || !owner || *listened != port) continue;
    if (*address == htonl(INADDR_LOOPBACK) || *address == htonl(INADDR_ANY)) {
      owners.push_back(*owner);
    }
  }
  return owners;
}

bool LoopbackPortOwnedBy(std::string_view procNetTcp, int port, uid_t uid) {
  const std::vector<uid_t> owners = LoopbackListenerOwners(procNetTcp, port);
  if (owners.empty()) return false;
  for (const uid_t owner : owners)
    if (owner != uid) return false;
  return true;
}

std::string ReadProcNetTcp() {
  std::ifstream in("/proc/net/tcp", std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool ProcessRuns(pid_t pid, std::string_view name, uid_t uid) {
  if (pid < 1) return false;
  const std::string folder = "/proc/" + std::to_string(pid);
  struct stat info {};
  if (::stat(folder.c_str(), &info) != 0 || info.st_uid != uid) return false;
  // "PID (NAME) STATE ...": the name may hold spaces and parentheses of its own.
  std::ifstream in(folder + "/stat");
  std::string stat;
  std::getline(in, stat);
  const std::size_t open = stat.find('(');
  const std::size_t close = stat.rfind(')');
  if (open == std::string::npos || close == std::string::npos || close < open ||
      close + 2 >= stat.size()) {
    return false;
  }
  const char state = stat[close + 2];
  return stat.substr(open + 1, close - open - 1) == name && state != 'Z' && state != 'X';
}

bool RecordedPortalIsOwn(const PortalRecord& record, std::string_view procNetTcp) {
  return ProcessRuns(record.pid, kPortalProcessName, ::getuid()) &&
         LoopbackPortOwnedBy(procNetTcp, record.port, ::getuid());
}

std::string LoopbackBaseUrl(int port) {
  return "http://127.0.0.1:" + std::to_string(port) + "/";
}

}  // namespace hw::platform
