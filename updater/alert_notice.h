#pragma once
// frmAlert: the notice the updater shows first when it is started without a command line,
// which explains how to start the game (a picture of instructions, drawn by the view)
// and offers the portal's home page. Its behaviour without its drawing: the view draws
// the caption, the picture and the two buttons while IsOpen(), and calls Press with the
// button's index when one is clicked.

#include <array>
#include <functional>
#include <string>

#include "platform/desktop.h"
#include "platform/event_loop.h"

namespace hw::updater {

class AlertNotice {
 public:
  static constexpr const char* kCaption = "게임실행 방법";
  // 버튼 (0) and 다운로드 (1).
  static constexpr std::array<const char*, 2> kButtons{"확  인", "홈페이지"};
  static constexpr int kOkButton = 0;
  static constexpr int kHomePageButton = 1;

  AlertNotice(platform::EventLoop& loop, platform::Desktop& desktop, std::string portalUrl);

  void Open();
  bool IsOpen() const { return open_; }
  // "확  인" closes the notice. "홈페이지" asks whether to visit the home page; Yes opens
  // the portal's base address in the user's browser, closes the notice and ends the
  // updater (onEndUpdater); No leaves the notice open.
  void Press(int index);
  // Opens the notice and waits, letting events run, until it is closed or the loop is
  // asked to quit.
  void ShowModal();

  // Ends the updater; the update window's Unload.
  std::function<void()> onEndUpdater;

 private:
  platform::EventLoop& loop_;
  platform::Desktop& desktop_;
  std::string portalUrl_;
  bool open_ = false;
};

}  // namespace hw::updater
