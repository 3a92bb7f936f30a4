#include "platform/posix/ini_settings_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <utility>
#include <vector>

namespace hw::platform {
namespace {

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
// The text of the file

bool IsFolderName(std::string_view app) {
  return !app.empty() && app != "." && app != ".." &&
         app.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
}

bool CanBeWritten(std::string_view sectionOrName) {
  return sectionOrName.find_first_of("]=\r\n") == std::string_view::npos;
}

char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

bool IsBlank(std::string_view text) {
  return text.find_first_not_of(" \t") == std::string_view::npos;
}

std::string_view TrimBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string Escape(std::string_view value) {
  std::string out;
  out.reserve(value.size());
  for (const char c : value) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string Unescape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size()) {
      const char next = text[i + 1];
      if (next == '\\' || next == 'r' || next == 'n') {
        out += next == '\\' ? '\\' : next == 'r' ? '\r' : '\n';
        ++i;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

// One line of the file. `ending` is what followed the text: "\n", "\r\n", or "" on a
// last line without one. Writing back body + ending for every line gives the file back
// byte for byte.
struct Line {
  std::string body;
  std::string ending;
};

std::vector<Line> SplitLines(std::string_view text) {
  std::vector<Line> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t newline = text.find('\n', start);
    const std::size_t next = newline == std::string_view::npos ? text.size() : newline + 1;
    std::size_t bodyEnd = newline == std::string_view::npos ? text.size() : newline;
    if (bodyEnd > start && text[bodyEnd - 1] == '\r') --bodyEnd;
    lines.push_back(Line{std::string(text.substr(start, bodyEnd - start)),
                         std::string(text.substr(bodyEnd, next - bodyEnd))});
    start = next;
  }
  return lines;
}

std::string JoinLines(const std::vector<Line>& lines) {
  std::string text;
  for (const Line& line : lines)
    text += line.body + line.ending;
  return text;
}

void EndWithNewline(Line& line) {
  if (line.ending.empty() || line.ending.back() != '\n') line.ending += '\n';
}

enum class Kind { kOther, kSection, kBrokenSection, kValue };

struct Parsed {
  Kind kind = Kind::kOther;
  std::string_view name;   // the section's name, or the value's
  std::string_view value;  // as written, still escaped
};

Parsed Parse(std::string_view body) {
  const std::string_view trimmed = TrimBlanks(body);
  if (trimmed.size() >= 2 && trimmed.front() == '[' && trimmed.back() == ']') {
    const std::string_view inner = trimmed.substr(1, trimmed.size() - 2);
    if (CanBeWritten(inner)) return {Kind::kSection, inner, {}};
  }
  if (const std::size_t equals = body.find('='); equals != std::string_view::npos) {
    return {Kind::kValue, body.substr(0, equals), body.substr(equals + 1)};
  }
  if (!trimmed.empty() && trimmed.front() == '[') return {Kind::kBrokenSection, {}, {}};
  return {};
}

struct Found {
  std::vector<std::size_t> values;         // every line holding the value, in order
  std::optional<std::size_t> insertAfter;  // last non-blank line of the first such section
};

Found Find(const std::vector<Line>& lines, std::string_view section, std::string_view name) {
  Found found;
  bool inSection = false;
  bool inFirstSection = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const Parsed line = Parse(lines[i].body);
    if (line.kind == Kind::kSection || line.kind == Kind::kBrokenSection) {
      inSection = line.kind == Kind::kSection && SameName(line.name, section);
      inFirstSection = inSection && !found.insertAfter;
      if (inFirstSection) found.insertAfter = i;
      continue;
    }
    if (inFirstSection && !IsBlank(lines[i].body)) found.insertAfter = i;
    if (inSection && line.kind == Kind::kValue && SameName(line.name, name)) {
      found.values.push_back(i);
    }
  }
  return found;
}

std::string ValueIn(std::string_view text, std::string_view section, std::string_view name) {
  const std::vector<Line> lines = SplitLines(text);
  const Found found = Find(lines, section, name);
  if (found.values.empty()) return {};
  return Unescape(Parse(lines[found.values.front()].body).value);
}

// The text with the value stored, or std::nullopt when it already holds exactly that.
std::optional<std::string> WithValue(std::string_view text, std::string_view section,
                                     std::string_view name, std::string_view value) {
  std::vector<Line> lines = SplitLines(text);
  const Found found = Find(lines, section, name);
  if (!found.values.empty()) {
    Line& line = lines[found.values.front()];
    std::string body = std::string(Parse(line.body).name) + '=' + Escape(value);
    if (body == line.body) return std::nullopt;
    line.body = std::move(body);
  } else if (found.insertAfter) {
    EndWithNewline(lines[*found.insertAfter]);
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(*found.insertAfter) + 1,
                 Line{std::string(name) + '=' + Escape(value), "\n"});
  } else {
    if (!lines.empty()) {
      EndWithNewline(lines.back());
      if (!IsBlank(lines.back().body)) lines.push_back(Line{"", "\n"});
    }
    lines.push_back(Line{'[' + std::string(section) + ']', "\n"});
    lines.push_back(Line{std::string(name) + '=' + Escape(value), "\n"});
  }
  return JoinLines(lines);
}

// The text without the value, or std::nullopt when it holds no such value.
std::optional<std::string> WithoutValue(std::string_view text, std::string_view section,
                                        std::string_view name) {
  std::vector<Line> lines = SplitLines(text);
  const Found found = Find(lines, section, name);
  if (found.values.empty()) return std::nullopt;
  for (auto at = found.values.rbegin(); at != found.values.rend(); ++at) {
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(*at));
  }
  return JoinLines(lines);
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
