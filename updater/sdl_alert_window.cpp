#include "updater/sdl_alert_window.h"

namespace hw::updater {
namespace {

constexpr Rgb kFace{236, 233, 216};
constexpr Rgb kDark{64, 64, 64};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kPaper{255, 253, 240};

// The instructions the notice's picture shows.
constexpr const char* kSteps[] = {
    "Velmaro 게임은 업데이트 프로그램으로 시작합니다.",
    "1. 프로그램 메뉴의 [Velmaro]를 누르세요.",
    "2. 새 버전이 있으면 받아서 설치한 뒤",
    "    게임이 저절로 시작됩니다.",
};

}  // namespace

SdlAlertWindow::SdlAlertWindow(AlertNotice& notice, FontLibrary& fonts)
    : notice_(notice), fonts_(fonts) {}

void SdlAlertWindow::Click(int x, int y) {
  if (!notice_.IsOpen()) return;
  if (ui::Inside(kConfirm, x, y))
    notice_.Press(0);
  else if (ui::Inside(kHomePage, x, y))
    notice_.Press(1);
}

bool SdlAlertWindow::HandleEvent(const SDL_Event& event) {
  const Uint32 id = window_.Id();
  switch (event.type) {
    case SDL_MOUSEBUTTONDOWN:
      if (event.button.windowID != id) return false;
      if (event.button.button == SDL_BUTTON_LEFT) Click(event.button.x, event.button.y);
      return true;
    case SDL_KEYDOWN:
      if (event.key.windowID != id) return false;
      if (event.key.keysym.sym == SDLK_RETURN || event.key.keysym.sym == SDLK_ESCAPE) {
        notice_.Press(0);
      }
      return true;
    case SDL_WINDOWEVENT:
      if (event.window.windowID != id) return false;
      if (event.window.event == SDL_WINDOWEVENT_CLOSE) notice_.Press(0);
      return true;
    default:
      return false;
  }
}

ui::Surface SdlAlertWindow::Picture() {
  ui::Surface picture = ui::NewSurface(kWidth, kHeight, kFace);
  SDL_Surface* to = picture.get();
  TTF_Font* font = fonts_.GetOrNull(12, false);
  ui::Fill(to, {12, 12, kWidth - 24, 118}, kPaper);
  ui::Frame(to, {12, 12, kWidth - 24, 118}, kDark);
  int y = 24;
  for (const char* line : kSteps) {
    ui::WriteText(to, font, line, kBlack, 24, y);
    y += 24;
  }
  for (const bool confirm : {true, false}) {
    const SDL_Rect& r = confirm ? kConfirm : kHomePage;
    ui::Fill(to, r, {225, 222, 205});
    ui::Frame(to, r, kDark);
    ui::WriteText(to, font, confirm ? "확  인" : "홈페이지", kBlack, r.x + 26, r.y + 6);
  }
  return picture;
}

void SdlAlertWindow::Frame() {
  window_.SetShown(notice_.IsOpen());
  if (window_.Shown()) window_.Present(Picture().get());
}

}  // namespace hw::updater
