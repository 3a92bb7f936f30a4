#include "platform/launcher.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

extern char** environ;

namespace hw::platform {
namespace {

// What the intermediate process and the program tell the caller through the pipe.
struct Note {
  char kind;  // 'P': the program's pid; 'F': fork failed; 'E': exec failed
  int value;  // the pid, or the errno
};

void Tell(int fd, char kind, int value) {
  const Note note{kind, value};
  // A note is far below PIPE_BUF, so it is written whole or not at all.
  [[maybe_unused]] const ssize_t written = ::write(fd, &note, sizeof note);
}

bool IsExecutableFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
         ::access(path.c_str(), X_OK) == 0;
}

// The path exec is to run: a name with a '/' as it is, a bare name from PATH.
std::string Resolve(const std::string& program) {
  if (program.find('/') != std::string::npos) return program;
  const char* path = std::getenv("PATH");
  const std::string folders =
      path != nullptr && *path != '\0' ? path : "/usr/local/bin:/usr/bin:/bin";
  std::size_t start = 0;
  while (start <= folders.size()) {
    std::size_t end = folders.find(':', start);
    if (end == std::string::npos) end = folders.size();
    std::string folder = folders.substr(start, end - start);
    if (folder.empty()) folder = ".";
    const std::string candidate = folder + "/" + program;
    if (IsExecutableFile(candidate)) return candidate;
    start = end + 1;
  }
  return "";
}

// What a started program's process does between fork and exec, prepared beforehand:
// in a child of a threaded program only calls that are safe there may run (no
// allocation).
struct ChildSetup {
  ChildSetup() {
    openMax = ::sysconf(_SC_OPEN_MAX);
    if (openMax < 0 || openMax > 65536) openMax = 65536;
    sigemptyset(&noSignals);
    byDefault.sa_handler = SIG_DFL;
    sigemptyset(&byDefault.sa_mask);
  }

  // Puts the process in a session of its own with the signals and descriptors a new
  // program should have, and runs the program; a failed exec is told on `report`.
  [[noreturn]] void Exec(const char* path, char* const* argv, bool hidden, int report) const {
    ::setsid();
    // Signals the caller ignores or blocks (SIGPIPE, for one) are not the program's.
    for (int number = 1; number < NSIG; ++number)
      ::sigaction(number, &byDefault, nullptr);
    ::sigprocmask(SIG_SETMASK, &noSignals, nullptr);
    const int null = ::open("/dev/null", O_RDWR);
    if (null >= 0) {
      ::dup2(null, STDIN_FILENO);
      if (hidden) {
        ::dup2(null, STDOUT_FILENO);
        ::dup2(null, STDERR_FILENO);
      }
      if (null > STDERR_FILENO) ::close(null);
    }
    // The caller's other descriptors (settings locks, sockets) are not the program's.
    if (::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC) != 0) {
      for (int fd = 3; fd < openMax; ++fd)
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
    ::execve(path, argv, environ);
    Tell(report, 'E', errno);
    ::_exit(127);
  }

  long openMax = 0;
  sigset_t noSignals{};
  struct sigaction byDefault {};
};

std::vector<char*> ArgumentVector(std::vector<std::string>& words) {
  std::vector<char*> argv;
  for (std::string& word : words)
    argv.push_back(word.data());
  argv.push_back(nullptr);
  return argv;
}

int ShellCodeOf(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return kShellFileNotFound;
    case EACCES:
    case EPERM:
      return kShellAccessDenied;
    default:
      return kShellOutOfResources;
  }
}

}  // namespace

LaunchResult PosixLauncher::Run(const std::string& program,
                                const std::vector<std::string>& arguments, WindowStyle style) {
  const std::string path = Resolve(program);
  if (path.empty()) return {0, ENOENT};

  // Everything the children need is prepared here: between fork and exec only calls
  // that are safe in a child of a threaded program are made (no allocation).
  std::vector<std::string> words{program};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv = ArgumentVector(words);
  const bool hidden = style == WindowStyle::kHidden;
  const ChildSetup setup;

  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC) != 0) return {0, errno};

  const pid_t intermediate = ::fork();
  if (intermediate < 0) {
    const int error = errno;
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
    return {0, error};
  }
  if (intermediate == 0) {
    ::close(pipeFds[0]);
    const pid_t child = ::fork();
    if (child == 0) setup.Exec(path.c_str(), argv.data(), hidden, pipeFds[1]);
    if (child < 0) {
      Tell(pipeFds[1], 'F', errno);
      ::_exit(1);
    }
    Tell(pipeFds[1], 'P', static_cast<int>(child));
    ::_exit(0);
  }

  ::close(pipeFds[1]);
  int status = 0;
  while (::waitpid(intermediate, &status, 0) < 0 && errno == EINTR) {
  }
  // The pipe ends when the program has exec'd (its end is close-on-exec) or has died.
  // The notes may come in either order: the program's failed exec can be told before
  // the intermediate process tells its pid.
  int pid = 0;
  int error = 0;
  Note note{};
  for (;;) {
    const ssize_t got = ::read(pipeFds[0], &note, sizeof note);
    if (got < 0 && errno == EINTR) continue;
    if (got != static_cast<ssize_t>(sizeof note)) break;
    if (note.kind == 'P') pid = note.value;
    if (note.kind == 'F' || note.kind == 'E') error = note.value;
  }
  ::close(pipeFds[0]);
  if (error != 0) return {0, error};
  return pid > 0 ? LaunchResult{pid, 0} : LaunchResult{0, ECHILD};
}

int PosixLauncher::ShellOpenFile(const std::string& file, const std::string& parameters) {
  if (file.empty()) return kShellFileNotFound;
  struct stat info {};
  const bool exists = ::stat(file.c_str(), &info) == 0;
  const int statError = errno;
  if (!exists && file.find("://") == std::string::npos) return ShellCodeOf(statError);

  LaunchResult launched;
  if (exists && S_ISREG(info.st_mode) && ::access(file.c_str(), X_OK) == 0) {
    // A file in the current folder is run as that file, not looked up in PATH.
    const std::string program = file.find('/') == std::string::npos ? "./" + file : file;
    launched = Run(program, SplitAtBlanks(parameters), WindowStyle::kNormal);
  } else {
    launched = Run(opener_, {file}, WindowStyle::kNormal);
    if (!launched.Started() && launched.error == ENOENT) return kShellNoAssociation;
  }
  return launched.Started() ? kShellOpened : ShellCodeOf(launched.error);
}

LaunchResult PosixLauncher::RunWatched(const std::string& program,
                                       const std::vector<std::string>& arguments,
                                       const std::string& outputPath) {
  const std::string path = Resolve(program);
  if (path.empty()) return {0, ENOENT};
  std::vector<std::string> words{program};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv = ArgumentVector(words);
  const ChildSetup setup;

  int output = ::open(outputPath.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
  if (output < 0) output = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
    const int error = errno;
    if (output >= 0) ::close(output);
    return {0, error};
  }
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(pipeFds[0]);
    if (output >= 0) {
      ::dup2(output, STDOUT_FILENO);
      ::dup2(output, STDERR_FILENO);
    }
    setup.Exec(path.c_str(), argv.data(), false, pipeFds[1]);
  }
  const int forkError = errno;
  ::close(pipeFds[1]);
  if (output >= 0) ::close(output);
  if (child < 0) {
    ::close(pipeFds[0]);
    return {0, forkError};
  }
  // The pipe ends with the exec (close-on-exec), or brings the errno of a failed one.
  Note note{};
  ssize_t got = 0;
  while ((got = ::read(pipeFds[0], &note, sizeof note)) < 0 && errno == EINTR) {
  }
  ::close(pipeFds[0]);
  if (got == static_cast<ssize_t>(sizeof note) && note.kind == 'E') {
    while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
    return {0, note.value};
  }
  return {child, 0};
}

std::optional<ExitStatus> PosixLauncher::PollExit(int pid) {
  if (pid <= 0) return ExitStatus{-1, 0};
  int status = 0;
  const pid_t ended = ::waitpid(pid, &status, WNOHANG);
  if (ended == 0 || (ended < 0 && errno == EINTR)) return std::nullopt;
  if (ended < 0) return ExitStatus{-1, 0};
  if (WIFEXITED(status)) return ExitStatus{WEXITSTATUS(status), 0};
  if (WIFSIGNALED(status)) return ExitStatus{0, WTERMSIG(status)};
  return std::nullopt;  // stopped or continued: still there
}

// ---- WatchedStart

WatchedStart::WatchedStart(const std::string& program, const std::vector<std::string>& arguments,
                           double patienceSeconds)
    : program_(program) {
  const std::string path = Resolve(program);
  if (path.empty()) {
    Finish(Outcome::kFailed, program + ": " + std::strerror(ENOENT));
    return;
  }
  std::vector<std::string> words{program};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv = ArgumentVector(words);
  const ChildSetup setup;
  const long polls = std::max(1L, std::lround(patienceSeconds / 0.02));
  const struct timespec pause { 0, 20'000'000 };

  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
    Finish(Outcome::kFailed, program + ": " + std::strerror(errno));
    return;
  }
  const pid_t watcher = ::fork();
  if (watcher < 0) {
    const int error = errno;
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
    Finish(Outcome::kFailed, program + ": " + std::strerror(error));
    return;
  }
  if (watcher == 0) {
    // The watcher: starts the opener, waits for it a while and tells what became of it
    // ('X' with its wait status, or 'R' still running), then ends; an opener still
    // running then belongs to init.
    ::close(pipeFds[0]);
    const pid_t child = ::fork();
    if (child == 0) setup.Exec(path.c_str(), argv.data(), false, pipeFds[1]);
    if (child < 0) {
      Tell(pipeFds[1], 'F', errno);
      ::_exit(1);
    }
    for (long i = 0; i < polls; ++i) {
      int status = 0;
      if (::waitpid(child, &status, WNOHANG) == child) {
        Tell(pipeFds[1], 'X', status);
        ::_exit(0);
      }
      ::nanosleep(&pause, nullptr);
    }
    Tell(pipeFds[1], 'R', 0);
    ::_exit(0);
  }
  ::close(pipeFds[1]);
  ::fcntl(pipeFds[0], F_SETFL, ::fcntl(pipeFds[0], F_GETFL) | O_NONBLOCK);
  watcher_ = watcher;
  readEnd_ = pipeFds[0];
}

WatchedStart::~WatchedStart() {
  if (outcome_ == Outcome::kPending && watcher_ > 0) {
    // Nobody waits for the answer any more; the watcher ends by itself soon.
    ::kill(watcher_, SIGKILL);
  }
  Finish(Outcome::kFailed);
}

void WatchedStart::Finish(Outcome outcome, std::string problem) {
  if (readEnd_ >= 0) ::close(readEnd_);
  readEnd_ = -1;
  if (watcher_ > 0) {
    while (::waitpid(watcher_, nullptr, 0) < 0 && errno == EINTR) {
    }
  }
  watcher_ = 0;
  if (outcome_ != Outcome::kPending) return;
  outcome_ = outcome;
  problem_ = std::move(problem);
}

WatchedStart::Outcome WatchedStart::Poll() {
  if (outcome_ != Outcome::kPending) return outcome_;
  Note note{};
  const ssize_t got = ::read(readEnd_, &note, sizeof note);
  if (got < 0 && (errno == EAGAIN || errno == EINTR)) return outcome_;
  if (got != static_cast<ssize_t>(sizeof note)) {
    Finish(Outcome::kFailed, program_ + ": the watcher ended without a word");
  } else if (note.kind == 'E' || note.kind == 'F') {
    Finish(Outcome::kFailed, program_ + ": " + std::strerror(note.value));
  } else if (note.kind == 'R') {
    Finish(Outcome::kOpened);
  } else if (WIFEXITED(note.value) && WEXITSTATUS(note.value) == 0) {
    Finish(Outcome::kOpened);
  } else if (WIFEXITED(note.value)) {
    Finish(Outcome::kFailed,
           program_ + " ended with status " + std::to_string(WEXITSTATUS(note.value)));
  } else {
    Finish(Outcome::kFailed, program_ + " ended by signal " + std::to_string(WTERMSIG(note.value)));
  }
  return outcome_;
}

}  // namespace hw::platform
