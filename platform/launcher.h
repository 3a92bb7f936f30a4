#pragma once
// Starting other programs: the updater runs the installers it downloads, the new updater
// copy, the browser's programs and the game. A started program is on its own: it runs in
// a session of its own, nobody waits for it, and it outlives the program that started it.

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace hw::platform {

// How a started program shows itself. The launcher has no window of the program to
// place, so the style decides only whether the program keeps the terminal's output: a
// hidden program writes to /dev/null, the others inherit stdout and stderr. Every
// started program reads from /dev/null. Giving the focus is the window manager's business.
enum class WindowStyle { kHidden, kNormal, kNormalWithFocus };

// The outcome of a start: the new process's id, or the errno that kept it from running
// (the program is missing, not executable, ...).
struct LaunchResult {
  int pid = 0;
  int error = 0;
  bool Started() const { return pid > 0; }
};

// How a watched program ended: its exit status, or the signal that ended it. A code of
// -1 means the end could not be learnt (the process was collected by someone else).
struct ExitStatus {
  int code = 0;
  int signal = 0;
  bool Succeeded() const { return code == 0 && signal == 0; }
  bool operator==(const ExitStatus&) const = default;
};

// Result codes of ShellOpenFile: every value above 32 means the file was opened; the ones
// at or below 32 say what went wrong.
inline constexpr int kShellOutOfResources = 0;
inline constexpr int kShellFileNotFound = 2;
inline constexpr int kShellAccessDenied = 5;
inline constexpr int kShellNoAssociation = 31;  // no program to open it with
inline constexpr int kShellOpened = 42;
inline constexpr bool ShellSucceeded(int code) {
  return code > 32;
}

class Launcher {
 public:
  virtual ~Launcher() = default;

  // Runs `program` (a path, or a bare name looked up in PATH) with exactly these
  // arguments, not through a shell.
  virtual LaunchResult Run(const std::string& program, const std::vector<std::string>& arguments,
                           WindowStyle style) = 0;

  // Opens a file the way the desktop would: an executable file runs with `parameters`
  // split at blanks (no quoting: runs of blanks separate words) in a normal window;
  // anything else (a document, a folder, an address with "://") goes to the desktop's
  // opener, and `parameters` are not used. Returns one of the codes above.
  virtual int ShellOpenFile(const std::string& file, const std::string& parameters) = 0;

  // Runs `program` hidden, like Run, but as a child of the caller that is watched to its
  // end: its output and its errors are appended to the file `outputPath` (made for the
  // user alone when missing; /dev/null when it cannot be opened). The caller must collect
  // the child with PollExit, or it lingers as a zombie until the caller ends.
  virtual LaunchResult RunWatched(const std::string& program,
                                  const std::vector<std::string>& arguments,
                                  const std::string& outputPath) = 0;
  // How a child started by RunWatched ended, once it has; std::nullopt while it runs.
  // Never blocks. The end is told once: the child is collected then.
  virtual std::optional<ExitStatus> PollExit(int pid) = 0;
};

// The launcher of this machine. A program is started by a short-lived intermediate
// process, which puts it in a new session (setsid) and ends at once; the intermediate is
// reaped before Run returns, and the program itself becomes a child of init (or of the
// nearest subreaper), which reaps it when it ends. So nothing this launcher starts can
// ever linger as a zombie of the caller, and the caller's own children and its SIGCHLD
// disposition are left alone. Run reports a failed exec (through a close-on-exec pipe),
// so a missing program is an error here, not a silent exit status of 127. RunWatched is
// the exception: its program is the caller's own child, in a session of its own, and
// PollExit collects it.
class PosixLauncher final : public Launcher {
 public:
  PosixLauncher() = default;
  // `opener` is the program that opens files which are not executables.
  explicit PosixLauncher(std::string opener) : opener_(std::move(opener)) {}

  LaunchResult Run(const std::string& program, const std::vector<std::string>& arguments,
                   WindowStyle style) override;
  int ShellOpenFile(const std::string& file, const std::string& parameters) override;
  LaunchResult RunWatched(const std::string& program, const std::vector<std::string>& arguments,
                          const std::string& outputPath) override;
  std::optional<ExitStatus> PollExit(int pid) override;

 private:
  std::string opener_ = "xdg-open";
};

// A program started to open something for the user (xdg-open with an address), watched
// until it is known whether it did. xdg-open ends at once with a non-zero status when it
// finds nothing to open the target with (no browser, no desktop); when it starts a
// program, it may run for as long as that program does. So the start counts as a
// success once the opener has ended with status 0 or is still running after `patience`
// seconds; it counts as a failure when it could not be started or ended otherwise. The
// opener runs in a session of its own like any started program, reading /dev/null; its
// output goes where the caller's goes.
class WatchedStart {
 public:
  enum class Outcome { kPending, kOpened, kFailed };

  WatchedStart(const std::string& program, const std::vector<std::string>& arguments,
               double patienceSeconds);
  ~WatchedStart();
  WatchedStart(const WatchedStart&) = delete;
  WatchedStart& operator=(const WatchedStart&) = delete;

  // Never blocks; kPending until the outcome is known (at most `patience` seconds).
  Outcome Poll();
  // Why it failed: "xdg-open: No such file or directory", "xdg-open ended with status 3".
  const std::string& Problem() const { return problem_; }

 private:
  void Finish(Outcome outcome, std::string problem = "");

  std::string program_;
  int watcher_ = 0;   // the process that watches the opener and reports through the pipe
  int readEnd_ = -1;  // the report: its end is non-blocking
  Outcome outcome_ = Outcome::kPending;
  std::string problem_;
};

// Splits at blanks (spaces and tabs); empty words are dropped.
inline std::vector<std::string> SplitAtBlanks(const std::string& text) {
  std::vector<std::string> words;
  std::string word;
  for (const char c : text) {
    if (c != ' ' && c != '\t') {
      word += c;
    } else if (!word.empty()) {
      words.push_back(std::move(word));
      word.clear();
    }
  }
  if (!word.empty()) words.push_back(std::move(word));
  return words;
}

}  // namespace hw::platform
