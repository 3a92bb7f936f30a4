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

ui::Surface UpdateWindowPicture(FontLibrary& fonts, std::string_view status, bool blueBold,
                                int progress) {
  using W = SdlUpdateWindow;
  ui::Surface picture = ui::NewSurface(W::kWidth, W::kHeight, kFace);
  SDL_Surface* to = picture.get();
  // The frame around the bar and the status line.
  ui::Frame(to, {10, 14, W::kWidth - 20, W::kHeight - 26}, kShadow);
  ui::Fill(to, W::kBar, {255, 255, 255});
  ui::Fill(to, {W::kBar.x, W::kBar.y, std::clamp(progress, 0, W::kBar.w), W::kBar.h}, kBarColour);
  ui::Frame(to, {W::kBar.x - 1, W::kBar.y - 1, W::kBar.w + 2, W::kBar.h + 2}, kShadow);
  ui::WriteText(to, fonts.GetOrNull(12, blueBold), status, blueBold ? kBlue : kBlack, W::kStatus.x,
                W::kStatus.y);
  return picture;
}

ui::Surface SdlUpdateWindow::Picture() {
  return UpdateWindowPicture(fonts_, status_, statusBlueBold_, progress_);
}

void SdlUpdateWindow::Frame() {
  if (window_.Shown()) window_.Present(Picture().get());
}

}  // namespace hw::updater
