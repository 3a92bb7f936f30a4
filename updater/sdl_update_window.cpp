#include "updater/sdl_update_window.h"

#include <algorithm>

namespace hw::updater {
namespace {

constexpr Rgb kFace{236, 233, 216};
constexpr Rgb kShadow{160, 160, 160};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kBarColour{40, 80, 200};

}  // namespace

SdlUpdateWindow::SdlUpdateWindow(FontLibrary& fonts) : fonts_(fonts) {}

void SdlUpdateWindow::Show() {
  window_.SetShown(true);
  Frame();
}

void SdlUpdateWindow::Hide() {
  window_.SetShown(false);
}

void SdlUpdateWindow::SetCaption(std::string_view caption) {
  window_.SetCaption(std::string(caption).c_str());
}

void SdlUpdateWindow::SetStatus(std::string_view text, bool blueBold) {
  status_ = text;
  statusBlueBold_ = blueBold;
  Frame();
}

void SdlUpdateWindow::ClearProgress() {
  progress_ = 0;
  Frame();
}

void SdlUpdateWindow::DrawProgress(int width) {
  progress_ = std::clamp(width, 0, kBar.w);
  Frame();
}

ui::Surface SdlUpdateWindow::Picture() {
  ui::Surface picture = ui::NewSurface(kWidth, kHeight, kFace);
  SDL_Surface* to = picture.get();
  // The frame around the bar and the status line.
  ui::Frame(to, {10, 14, kWidth - 20, kHeight - 26}, kShadow);
  ui::Fill(to, kBar, {255, 255, 255});
  ui::Fill(to, {kBar.x, kBar.y, progress_, kBar.h}, kBarColour);
  ui::Frame(to, {kBar.x - 1, kBar.y - 1, kBar.w + 2, kBar.h + 2}, kShadow);
  ui::WriteText(to, fonts_.GetOrNull(12, statusBlueBold_), status_,
                statusBlueBold_ ? kBlue : kBlack, kStatus.x, kStatus.y);
  return picture;
}

void SdlUpdateWindow::Frame() {
  if (window_.Shown()) window_.Present(Picture().get());
}

}  // namespace hw::updater
