#include "updater/alert_notice.h"

#include <utility>

namespace hw::updater {

AlertNotice::AlertNotice(platform::EventLoop& loop, platform::Desktop& desktop,
                         std::string portalUrl)
    : loop_(loop), desktop_(desktop), portalUrl_(std::move(portalUrl)) {}

void AlertNotice::Open() {
  open_ = true;
}

void AlertNotice::Press(int index) {
  if (!open_) return;
  if (index == kOkButton) {
    open_ = false;
    return;
  }
  if (index != kHomePageButton) return;
  const platform::MessageAnswer answer =
      desktop_.ShowMessage("홈페이지 방문",
                           "게임실행에 계속해서 실패하신다면 홈페이지에서  \r\n"
                           "게임을 다운로드하여 설치해 주십시요\r\n"
                           "\r\n"
                           "지금 홈페이지로 이동하시겠습니까?",
                           platform::MessageIcon::kInformation, platform::MessageButtons::kYesNo);
  if (answer != platform::MessageAnswer::kYes) return;
  desktop_.OpenWithShell(portalUrl_);
  open_ = false;
  if (onEndUpdater) onEndUpdater();
}

void AlertNotice::ShowModal() {
  Open();
  while (open_ && !loop_.QuitRequested())
    loop_.WaitSeconds(0.02);
}

}  // namespace hw::updater
