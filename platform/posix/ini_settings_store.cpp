#include "platform/posix/ini_settings_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <utility>
#include <vector>

#include "platform/posix/ini_text.h"

namespace hw::platform {
namespace {

using ini::CanBeWritten;
using ini::ValueIn;
using ini::WithoutValue;
using ini::WithValue;

constexpr std::string_view kFileName = "settings.ini";
constexpr std::string_view kLockName = "settings.lock";
// Only ever written under the exclusive lock, so one fixed name is enough, and a
// write that died halfway leaves one stale file that the next write replaces.
constexpr std::string_view kTemporaryName = "settings.ini.tmp";

// ---------------------------------------------------------------------------------------
// Files

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  ~Fd() {
    if (fd_ >= 0) close(fd_);
  }
  int get() const { return fd_; }
  explicit operator bool() const { return fd_ >= 0; }

 private:
  int fd_;
};

bool Lock(int fd, int operation) {
  while (flock(fd, operation) != 0) {
    if (errno != EINTR) return false;
  }
  return true;
}

struct FileText {
  bool exists = false;
  std::string text;
  mode_t mode = 0;
};

// The whole file; an absent file is empty. std::nullopt when something is in the way
// that cannot be read as a file (a folder, a pipe, an I/O error).
std::optional<FileText> ReadFile(const std::string& path) {
  // O_NONBLOCK so that a pipe put in place of the file cannot hang the open.
  const Fd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (!fd) {
    if (errno == ENOENT) return FileText{};
    return std::nullopt;
  }
  struct stat info {};
  if (fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  FileText file{true, {}, static_cast<mode_t>(info.st_mode & 07777)};
  char buffer[16384];
  for (;;) {
    const ssize_t got = read(fd.get(), buffer, sizeof buffer);
    if (got == 0) break;
    if (got < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    file.text.append(buffer, static_cast<std::size_t>(got));
  }
  return file;
}

bool WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t written = write(fd, text.data(), text.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    text.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// Creates the folder and any missing parents, each private to the user.
bool MakeFolders(const std::string& folder) {
  for (std::size_t slash = folder.find('/', 1); slash != std::string::npos;
       slash = folder.find('/', slash + 1)) {
    const std::string prefix = folder.substr(0, slash);
    if (mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  return true;
}

// Puts `text` in place of the file in one step. Until the rename the old file stays as
// it was, and on any failure it is left untouched.
bool ReplaceFile(const std::string& folder, std::string_view text, std::optional<mode_t> mode) {
  const std::string temporary = folder + std::string(kTemporaryName);
  if (unlink(temporary.c_str()) != 0 && errno != ENOENT) return false;
  bool ok = false;
  {
    const Fd out(open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (!out) return false;
    ok = WriteAll(out.get(), text) && (!mode || fchmod(out.get(), *mode) == 0) &&
         fsync(out.get()) == 0;
  }
  if (ok) ok = rename(temporary.c_str(), (folder + std::string(kFileName)).c_str()) == 0;
  if (!ok) {
    unlink(temporary.c_str());
    return false;
  }
  // The new file is in place; making the rename itself durable is best effort, since
  // the change is already visible and cannot be taken back.
  const Fd directory(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (directory) fsync(directory.get());
  return true;
}

// ---------------------------------------------------------------------------------------
// Names

bool IsFolderName(std::string_view app) {
  return !app.empty() && app != "." && app != ".." &&
         app.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
}

}  // namespace

IniSettingsStore::IniSettingsStore(std::string configHome) : configHome_(std::move(configHome)) {}

std::string IniSettingsStore::FilePath(std::string_view app) const {
  if (!IsFolderName(app)) return {};
  return configHome_ + '/' + std::string(app) + '/' + std::string(kFileName);
}

std::optional<std::string> IniSettingsStore::Read(std::string_view app, std::string_view section,
                                                  std::string_view name) {
  if (!IsFolderName(app)) return std::string();
  const std::string folder = configHome_ + '/' + std::string(app) + '/';
  // Without a lock file no one has written through this store yet; the read goes ahead
  // unlocked, which the rename makes safe anyway.
  const Fd lock(open((folder + std::string(kLockName)).c_str(), O_RDONLY | O_CLOEXEC));
  if (lock) Lock(lock.get(), LOCK_SH);
  const std::optional<FileText> file = ReadFile(folder + std::string(kFileName));
  if (!file) return std::nullopt;
  return ValueIn(file->text, section, name);
}

bool IniSettingsStore::Save(std::string_view app, std::string_view section, std::string_view name,
                            std::string_view value) {
  return Change(app, section, name, value);
}

bool IniSettingsStore::Delete(std::string_view app, std::string_view section,
                              std::string_view name) {
  return Change(app, section, name, std::nullopt);
}

// Stores the value, or removes it when `value` is std::nullopt.
bool IniSettingsStore::Change(std::string_view app, std::string_view section, std::string_view name,
                              std::optional<std::string_view> value) {
  if (!IsFolderName(app) || !CanBeWritten(section) || !CanBeWritten(name)) return false;
  const std::string folder = configHome_ + '/' + std::string(app) + '/';
  if (value) {
    if (!MakeFolders(folder)) return false;
  } else {
    struct stat info {};
    if (stat(folder.c_str(), &info) != 0 && errno == ENOENT) return true;  // nothing stored
  }

  const Fd lock(
      open((folder + std::string(kLockName)).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
  if (!lock || !Lock(lock.get(), LOCK_EX)) return false;
  const std::optional<FileText> file = ReadFile(folder + std::string(kFileName));
  if (!file) return false;  // writing now would throw away whatever is there
  const std::optional<std::string> changed = value ? WithValue(file->text, section, name, *value)
                                                   : WithoutValue(file->text, section, name);
  if (!changed) return true;
  return ReplaceFile(folder, *changed, file->exists ? std::optional(file->mode) : std::nullopt);
}

}  // namespace hw::platform
