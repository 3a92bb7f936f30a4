#include "ui/program_desktop.h"

#include <SDL.h>

#include <cstdio>

#include "platform/launcher.h"

namespace hw::ui {

std::string CannotOpenText(std::string_view address) {
  return "웹 브라우저로 다음 주소를 열지 못했습니다.\r\n"
         "웹 브라우저의 주소창에 직접 입력해 주십시오.\r\n"
         "(주소는 클립보드에 복사해 두었습니다)\r\n\r\n" +
         std::string(address);
}

ProgramDesktop::ProgramDesktop(platform::SdlEventLoop& loop, FontSource fonts, std::string title)
    : loop_(loop),
      title_(std::move(title)),
      ownWindows_(loop, std::move(fonts)),
      host_(&ownWindows_) {}

platform::MessageAnswer ProgramDesktop::ShowMessage(std::string_view caption, std::string_view text,
                                                    platform::MessageIcon icon,
                                                    platform::MessageButtons buttons) {
  return host_->Show(caption, text, icon, buttons);
}

bool ProgramDesktop::OpenWithShell(std::string_view target) {
  const std::string address(target);
  platform::WatchedStart start(opener, {address}, patienceSeconds);
  auto outcome = start.Poll();
  while (outcome == platform::WatchedStart::Outcome::kPending && !loop_.QuitRequested()) {
    loop_.WaitSeconds(0.05);
    outcome = start.Poll();
  }
  if (outcome != platform::WatchedStart::Outcome::kFailed) return true;

  std::fprintf(stderr, "%s: cannot open %s: %s\n", title_.c_str(), address.c_str(),
               start.Problem().c_str());
  SDL_SetClipboardText(address.c_str());
  if (onCannotOpen) onCannotOpen(address);
  ShowMessage(title_, CannotOpenText(address), platform::MessageIcon::kExclamation,
              platform::MessageButtons::kOk);
  return false;
}

}  // namespace hw::ui
