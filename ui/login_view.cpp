#include "ui/login_view.h"

namespace hw::ui {

namespace {
constexpr int kCaretBlinkMs = 500;
}  // namespace

SdlLoginWindow::SdlLoginWindow(portal::LoginForm& form, const Skin& skin, FontSource fonts,
                               platform::EventLoop& loop)
    : form_(form), skin_(skin), fonts_(std::move(fonts)) {
  blink_ = loop.CreateTimer(kCaretBlinkMs, [this, &loop] {
    loop.RequestFrame();
    if (!IsOpen()) blink_->SetEnabled(false);
  });
  blink_->SetEnabled(true);
  SDL_Surface* picture = skin_.loginWindow.get();
  region_ = ShapeWindow(
      portal::LoginForm::kWidth, portal::LoginForm::kHeight,
      [picture](int x, int y) -> std::optional<std::uint32_t> {
        if (picture == nullptr || x < 0 || y < 0 || x >= picture->w || y >= picture->h) {
          return std::nullopt;
        }
        const auto* row = static_cast<const Uint8*>(picture->pixels) +
                          static_cast<std::ptrdiff_t>(y) * picture->pitch;
        return reinterpret_cast<const Uint32*>(row)[x] & 0xFFFFFFu;
      });
}

SDL_Surface* SdlLoginWindow::ButtonFace(portal::LoginForm::Button button) const {
  switch (button) {
    case portal::LoginForm::Button::kClose:
      return skin_.waitingExit.get();
    case portal::LoginForm::Button::kJoin:
      return skin_.loginMember.get();
    case portal::LoginForm::Button::kLost:
      return skin_.loginLost.get();
    case portal::LoginForm::Button::kHome:
      return skin_.loginHome.get();
    case portal::LoginForm::Button::kOk:
      return skin_.loginOk.get();
    case portal::LoginForm::Button::kNone:
      break;
  }
  return nullptr;
}

bool SdlLoginWindow::Contains(int x, int y) const {
  return IsOpen() && region_ && region_->Contains(x - kPlace.x, y - kPlace.y);
}

void SdlLoginWindow::MouseDown(int x, int y, MouseButton button) {
  const int localX = x - kPlace.x, localY = y - kPlace.y;
  if (button != MouseButton::kRight) {
    if (Inside(kNameBox, localX, localY)) form_.SetFocus(portal::LoginForm::kNameBox);
    if (Inside(kPasswordBox, localX, localY)) form_.SetFocus(portal::LoginForm::kPasswordBox);
  }
  form_.MouseDown(button, localX, localY);
}

bool SdlLoginWindow::KeyDown(SDL_Keycode key) {
  if (!IsOpen()) return false;
  switch (key) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
      form_.Enter();
      return true;
    case SDLK_BACKSPACE:
      form_.Backspace();
      return true;
    case SDLK_TAB:
      form_.SetFocus(1 - form_.Focus());
      return true;
    default:
      return false;
  }
}

void SdlLoginWindow::TextInput(const char* utf8) {
  if (IsOpen()) form_.Type(utf8);
}

void SdlLoginWindow::Compose(SDL_Renderer* renderer) {
  if (!IsOpen()) return;
  const int w = portal::LoginForm::kWidth, h = portal::LoginForm::kHeight;
  Surface picture = NewSurface(w, h, {255, 0, 255});
  Copy(skin_.loginWindow.get(), {0, 0, w, h}, picture.get(), 0, 0);

  // The two boxes, the one with the focus in its colour, and a caret after its text.
  TTF_Font* font = fonts_(13, false);
  for (const int box : {portal::LoginForm::kNameBox, portal::LoginForm::kPasswordBox}) {
    const SDL_Rect area = box == portal::LoginForm::kNameBox ? kNameBox : kPasswordBox;
    Fill(picture.get(), area, form_.BackColour(box));
    Frame(picture.get(), area, {120, 120, 120});
    std::string shown = form_.Text(box);
    if (box == portal::LoginForm::kPasswordBox) {
      std::size_t letters = 0;
      for (const unsigned char c : shown)
        letters += (c & 0xC0) != 0x80;
      shown.assign(letters, '*');
    }
    WriteText(picture.get(), font, shown, {0, 0, 0}, area.x + 4, area.y + 3);
    if (box == form_.Focus() && (SDL_GetTicks() / kCaretBlinkMs) % 2 == 0) {
      int width = 0, height = 0;
      if (font != nullptr && !shown.empty()) TTF_SizeUTF8(font, shown.c_str(), &width, &height);
      Fill(picture.get(), {area.x + 5 + width, area.y + 3, 1, 14}, {0, 0, 0});
    }
  }
  // Every button in its first face; the one pressed just now in its second.
  for (const auto& area : portal::LoginForm::kButtons) {
    const int frame = area.button == form_.Pressed() ? 1 : 0;
    Copy(ButtonFace(area.button), {frame * area.frameWidth, 0, area.frameWidth, area.frameHeight},
         picture.get(), area.left, area.top);
  }

  SDL_SetSurfaceBlendMode(picture.get(), SDL_BLENDMODE_BLEND);
  for (int y = 0; y < h; ++y) {
    auto* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(picture->pixels) +
                                          static_cast<std::ptrdiff_t>(y) * picture->pitch);
    for (int x = 0; x < w; ++x) {
      if (!region_->Contains(x, y)) row[x] &= 0x00FFFFFFu;
    }
  }
  Texture texture = ToTexture(renderer, picture.get());
  SDL_SetTextureBlendMode(texture.get(), SDL_BLENDMODE_BLEND);
  const SDL_Rect at{kPlace.x, kPlace.y, w, h};
  SDL_RenderCopy(renderer, texture.get(), nullptr, &at);
}

}  // namespace hw::ui
