#include "portal/server/log_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace hw::portal {

namespace fs = std::filesystem;

LogFile::LogFile(fs::path file, LogFileLimits limits)
    : std::ostream(static_cast<std::streambuf*>(this)), file_(std::move(file)), limits_(limits) {
  if (!Open()) throw std::system_error(errno, std::generic_category(), file_.string());
}

LogFile::~LogFile() {
  sync();
  if (fd_ >= 0) ::close(fd_);
}

bool LogFile::Open() {
  fd_ = ::open(file_.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
  if (fd_ < 0) return false;
  // A log made by an older portal may still be readable by everyone.
  ::fchmod(fd_, 0600);
  struct stat status {};
  size_ = ::fstat(fd_, &status) == 0 ? static_cast<std::size_t>(status.st_size) : 0;
  return true;
}

void LogFile::TurnOver() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  std::error_code ignored;
  const auto numbered = [&](int n) { return fs::path(file_.string() + "." + std::to_string(n)); };
  fs::remove(numbered(limits_.kept), ignored);
  for (int n = limits_.kept - 1; n >= 1; --n)
    fs::rename(numbered(n), numbered(n + 1), ignored);
  if (limits_.kept > 0) {
    fs::rename(file_, numbered(1), ignored);
  } else {
    fs::remove(file_, ignored);
  }
  Open();  // when it fails, the next piece tries again
}

int LogFile::overflow(int c) {
  if (c != std::char_traits<char>::eof()) pending_ += static_cast<char>(c);
  return std::char_traits<char>::not_eof(c);
}

std::streamsize LogFile::xsputn(const char* text, std::streamsize count) {
  pending_.append(text, static_cast<std::size_t>(count));
  return count;
}

int LogFile::sync() {
  if (pending_.empty()) return 0;
  if (size_ >= limits_.max_bytes || fd_ < 0) TurnOver();
  std::size_t written = 0;
  while (fd_ >= 0 && written < pending_.size()) {
    const ssize_t n = ::write(fd_, pending_.data() + written, pending_.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;  // a full disk loses log lines, never the service
    written += static_cast<std::size_t>(n);
  }
  size_ += written;
  pending_.clear();
  return 0;
}

}  // namespace hw::portal
