#pragma once
// The portal's request log as a file of its own: readable by its owner only, appended to
// line by line, and turned over when it grows past a size, so that it never fills the disk:
// server.log becomes server.log.1, server.log.1 becomes server.log.2 and so on, and the
// oldest is dropped.
//
// A stream over it writes each flushed piece at once, so a line ended with std::endl is
// in the file as a whole; the file is turned over only between such pieces.

#include <cstddef>
#include <filesystem>
#include <ostream>
#include <streambuf>
#include <string>

namespace hw::portal {

struct LogFileLimits {
  std::size_t max_bytes = 16 * 1024 * 1024;  // a file is turned over past this
  int kept = 4;                              // older files kept beside the current one
};

class LogFile : private std::streambuf, public std::ostream {
 public:
  // Opens (creating or appending to) the file; throws std::system_error when it cannot.
  explicit LogFile(std::filesystem::path file, LogFileLimits limits = {});
  ~LogFile() override;
  LogFile(const LogFile&) = delete;
  LogFile& operator=(const LogFile&) = delete;

 private:
  int overflow(int c) override;
  std::streamsize xsputn(const char* text, std::streamsize count) override;
  int sync() override;
  bool Open();
  void TurnOver();

  std::filesystem::path file_;
  LogFileLimits limits_;
  int fd_ = -1;
  std::size_t size_ = 0;
  std::string pending_;
};

}  // namespace hw::portal
