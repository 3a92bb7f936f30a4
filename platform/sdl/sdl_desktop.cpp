#include "platform/sdl/sdl_desktop.h"

#include <SDL.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

namespace hw::platform {

namespace {

constexpr int kYesId = 1;
constexpr int kNoId = 0;
constexpr int kOkId = 2;

// The game writes CR LF between lines; SDL wants LF.
std::string WithLineBreaks(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
      result += '\n';
    } else {
      result += text[i];
    }
  }
  return result;
}

Uint32 IconFlag(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::kError:
      return SDL_MESSAGEBOX_ERROR;
    case MessageIcon::kExclamation:
      return SDL_MESSAGEBOX_WARNING;
    case MessageIcon::kInformation:
    case MessageIcon::kQuestion:
      break;
  }
  return SDL_MESSAGEBOX_INFORMATION;
}

// Writes errno into the pipe that the starting process reads; for the child processes,
// where nothing but system calls may run.
void ReportErrno(int fd) {
  const int error = errno;
  const ssize_t written = write(fd, &error, sizeof error);
  (void)written;
}

}  // namespace

MessageAnswer SdlDesktop::ShowMessage(std::string_view caption, std::string_view text,
                                      MessageIcon icon, MessageButtons buttons) {
  const std::string title(caption);
  const std::string message = WithLineBreaks(text);
  const bool yesNo = buttons == MessageButtons::kYesNo;
  const MessageAnswer fallback = yesNo ? MessageAnswer::kNo : MessageAnswer::kOk;

  const SDL_MessageBoxButtonData yesNoButtons[] = {
      {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, kYesId, "예"},
      {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, kNoId, "아니요"},
  };
  const SDL_MessageBoxButtonData okButton[] = {
      {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, kOkId,
       "확인"},
  };
  const SDL_MessageBoxData data{IconFlag(icon) | SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT,
                                parent_,
                                title.c_str(),
                                message.c_str(),
                                yesNo ? 2 : 1,
                                yesNo ? yesNoButtons : okButton,
                                nullptr};
  int pressed = -1;
  if (SDL_ShowMessageBox(&data, &pressed) != 0) {
    std::fprintf(stderr, "%s: %s\n", title.c_str(), message.c_str());
    return fallback;
  }
  if (pressed == kYesId) return MessageAnswer::kYes;
  if (pressed == kOkId) return MessageAnswer::kOk;
  return fallback;  // No, or the box closed without a button
}

bool SdlDesktop::OpenWithShell(std::string_view target) {
  // Everything the child processes need is made before they exist.
  std::string program = "xdg-open";
  std::string argument(target);
  char* const argv[] = {program.data(), argument.data(), nullptr};

  // The opener reports a failed exec through this pipe; a successful exec closes it.
  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) return false;
  const pid_t middle = fork();
  if (middle < 0) {
    close(report[0]);
    close(report[1]);
    return false;
  }
  if (middle == 0) {
    // Starts the opener and ends at once: the opener is then init's child, which reaps it,
    // and this program never holds a zombie.
    close(report[0]);
    const pid_t opener = fork();
    if (opener < 0) {
      ReportErrno(report[1]);
      _exit(1);
    }
    if (opener == 0) {
      setsid();
      sigset_t none;
      sigemptyset(&none);
      sigprocmask(SIG_SETMASK, &none, nullptr);
      execvp(argv[0], argv);
      ReportErrno(report[1]);
      _exit(127);
    }
    _exit(0);
  }

  close(report[1]);
  while (waitpid(middle, nullptr, 0) < 0 && errno == EINTR) {
  }
  int error = 0;
  ssize_t got = 0;
  do {
    got = read(report[0], &error, sizeof error);
  } while (got < 0 && errno == EINTR);
  close(report[0]);
  return got == 0;
}

}  // namespace hw::platform
