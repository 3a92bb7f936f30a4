#pragma once
// Starting other programs: the updater runs the installers it downloads, the new updater
// copy, the browser's programs and the game. A started program is on its own: it runs in
// a session of its own, nobody waits for it, and it outlives the program that started it.

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

// Result codes of ShellOpenFile, as the Windows shell gave them: every value above 32
// means the file was opened; the ones at or below 32 say what went wrong.
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
};

// The launcher of this machine. A program is started by a short-lived intermediate
// process, which puts it in a new session (setsid) and ends at once; the intermediate is
// reaped before Run returns, and the program itself becomes a child of init (or of the
// nearest subreaper), which reaps it when it ends. So nothing this launcher starts can
// ever linger as a zombie of the caller, and the caller's own children and its SIGCHLD
// disposition are left alone. Run reports a failed exec (through a close-on-exec pipe),
// so a missing program is an error here, not a silent exit status of 127.
class PosixLauncher final : public Launcher {
 public:
  PosixLauncher() = default;
  // `opener` is the program that opens files which are not executables.
  explicit PosixLauncher(std::string opener) : opener_(std::move(opener)) {}

  LaunchResult Run(const std::string& program, const std::vector<std::string>& arguments,
                   WindowStyle style) override;
  int ShellOpenFile(const std::string& file, const std::string& parameters) override;

 private:
  std::string opener_ = "xdg-open";
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
