#include "ui/options_view.h"

#include <algorithm>

namespace hw::ui {
namespace {

constexpr Rgb kFace{236, 233, 216};
constexpr Rgb kDark{64, 64, 64};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kTitle{10, 36, 106};
constexpr Rgb kDisabled{150, 150, 150};

}  // namespace

SdlOptionsWindow::SdlOptionsWindow(OptionsDialog& dialog, FontSource fonts)
    : dialog_(dialog), fonts_(std::move(fonts)) {}

SDL_Rect SdlOptionsWindow::ListItem(OpenList list, int item) const {
  const SDL_Rect& box = list == OpenList::kStake ? kStakeList : kServiceList;
  return {box.x, box.y + box.h * (item + 1), box.w, box.h};
}

void SdlOptionsWindow::SpeedFromPointer(int x) {
  dialog_.SetSpeed((std::clamp(x, kSlider.x, kSlider.x + kSlider.w) - kSlider.x) * 300 / kSlider.w);
}

void SdlOptionsWindow::Click(int x, int y) {
  if (openList_ != OpenList::kNone) {
    const int items = openList_ == OpenList::kStake ? 2 : 6;
    for (int item = 0; item < items; ++item) {
      if (!Inside(ListItem(openList_, item), x, y)) continue;
      if (openList_ == OpenList::kStake)
        dialog_.SetStakeChoice(item);
      else
        dialog_.SetServiceChoice(item);
    }
    openList_ = OpenList::kNone;
    return;
  }
  if (Inside(kSoundOn, x, y)) dialog_.SetSoundOn(true);
  if (Inside(kSoundOff, x, y)) dialog_.SetSoundOn(false);
  if (Inside(kSlider, x, y)) {
    SpeedFromPointer(x);
    dragging_ = true;
  }
  if (dialog_.CombosEnabled() && Inside(kStakeList, x, y)) openList_ = OpenList::kStake;
  if (dialog_.CombosEnabled() && Inside(kServiceList, x, y)) openList_ = OpenList::kService;
  if (Inside(kApply, x, y))
    dialog_.PressButton(0);
  else if (Inside(kCancel, x, y))
    dialog_.PressButton(1);
}

bool SdlOptionsWindow::HandleEvent(const SDL_Event& event) {
  if (!dialog_.IsOpen()) return false;
  switch (event.type) {
    case SDL_MOUSEBUTTONDOWN:
      if (event.button.button == SDL_BUTTON_LEFT) Click(event.button.x, event.button.y);
      return true;
    case SDL_MOUSEBUTTONUP:
      dragging_ = false;
      return true;
    case SDL_MOUSEMOTION:
      if (dragging_) SpeedFromPointer(event.motion.x);
      return true;
    case SDL_KEYDOWN:
      if (event.key.keysym.sym == SDLK_LEFT) dialog_.SetSpeed(dialog_.Speed() - 1);
      if (event.key.keysym.sym == SDLK_RIGHT) dialog_.SetSpeed(dialog_.Speed() + 1);
      if (event.key.keysym.sym == SDLK_ESCAPE) dialog_.PressButton(1);
      if (event.key.keysym.sym == SDLK_RETURN) dialog_.PressButton(0);
      return true;
    case SDL_TEXTINPUT:
      return true;
    default:
      return false;  // window events and the like go on as usual
  }
}

void SdlOptionsWindow::Compose(SDL_Renderer* renderer) {
  if (!dialog_.IsOpen()) return;
  Surface panel = NewSurface(800, 600, {255, 0, 255});
  SDL_Surface* to = panel.get();
  TTF_Font* font = fonts_(12, false);
  TTF_Font* bold = fonts_(12, true);
  auto text = [&](std::string_view s, int x, int y, Rgb colour = kBlack, TTF_Font* f = nullptr) {
    WriteText(to, f != nullptr ? f : font, s, colour, x, y);
  };
  auto group = [&](const char* caption, const SDL_Rect& r) {
    Frame(to, r, {160, 160, 160});
    Fill(to, {r.x + 8, r.y - 6, 130, 13}, kFace);
    text(caption, r.x + 10, r.y - 8);
  };
  Fill(to, kPanel, kFace);
  Frame(to, kPanel, kDark);
  Fill(to, {kPanel.x + 1, kPanel.y + 1, kPanel.w - 2, 22}, kTitle);
  text(OptionsDialog::kCaption, kPanel.x + 6, kPanel.y + 4, {255, 255, 255}, bold);

  group("사운드 끄기/켜기", {232, 176, 336, 40});
  for (const bool on : {true, false}) {
    const SDL_Rect& r = on ? kSoundOn : kSoundOff;
    Frame(to, {r.x, r.y + 3, 12, 12}, kDark);
    if (dialog_.SoundOn() == on) Fill(to, {r.x + 3, r.y + 6, 6, 6}, kBlack);
    text(OptionsDialog::kSoundOptions[on ? 0 : 1], r.x + 18, r.y);
  }

  group("패속도 조절", {232, 232, 336, 58});
  Fill(to, {kSlider.x, kSlider.y + 6, kSlider.w, 4}, {120, 120, 120});
  const int thumb = kSlider.x + dialog_.Speed() * kSlider.w / 300;
  Fill(to, {thumb - 4, kSlider.y, 9, kSlider.h}, {70, 90, 160});
  text(std::to_string(dialog_.Speed()), kSlider.x + kSlider.w - 20, kSlider.y - 14);
  WriteText(to, fonts_(10, false),
            "<-(왼쪼화살표) 또는 ->(오른쪽화살표)로 게임중 조절이 가능합니다", kBlack, 238, 268);

  const Rgb listColour = dialog_.CombosEnabled() ? kBlack : kDisabled;
  group("점당금액 설정", {232, 302, 164, 60});
  text("점당금액 설정", 240, 312, listColour);
  group("서비스피 갯수", {404, 302, 164, 60});
  text("서비스피 갯수조절", 412, 312, listColour);
  for (const bool stake : {true, false}) {
    const SDL_Rect& r = stake ? kStakeList : kServiceList;
    Fill(to, r, {255, 255, 255});
    Frame(to, r, kDark);
    text(stake ? OptionsDialog::kStakes[static_cast<std::size_t>(dialog_.StakeChoice())]
               : OptionsDialog::kServiceCards[static_cast<std::size_t>(dialog_.ServiceChoice())],
         r.x + 4, r.y + 3, listColour);
  }
  text("위 2가지 설정은 게임중에는 변경하실 수 없습니다", 240, 390);
  for (const bool apply : {true, false}) {
    const SDL_Rect& r = apply ? kApply : kCancel;
    Fill(to, r, {225, 222, 205});
    Frame(to, r, kDark);
    text(apply ? "적용" : "취소", r.x + 32, r.y + 5);
  }
  if (openList_ != OpenList::kNone) {
    const int items = openList_ == OpenList::kStake ? 2 : 6;
    for (int item = 0; item < items; ++item) {
      const SDL_Rect r = ListItem(openList_, item);
      Fill(to, r, {255, 255, 255});
      Frame(to, r, {120, 120, 120});
      text(openList_ == OpenList::kStake
               ? OptionsDialog::kStakes[static_cast<std::size_t>(item)]
               : OptionsDialog::kServiceCards[static_cast<std::size_t>(item)],
           r.x + 4, r.y + 3);
    }
  }
  SDL_SetColorKey(to, SDL_TRUE, MapColour(to, {255, 0, 255}));
  Texture texture = ToTexture(renderer, to);
  SDL_RenderCopy(renderer, texture.get(), nullptr, nullptr);
}

}  // namespace hw::ui
