#include "ui/message_box.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace hw::ui {
namespace {

using platform::MessageAnswer;
using platform::MessageButtons;
using platform::MessageIcon;

constexpr Rgb kCaptionStrip{92, 56, 10};
constexpr Rgb kGold{210, 160, 69};
constexpr Rgb kParchment{250, 243, 224};
constexpr Rgb kBorder{60, 36, 6};
constexpr Rgb kButtonFace{238, 218, 170};
constexpr Rgb kButtonPressed{206, 176, 112};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};

constexpr int kTextPixels = 13;
constexpr int kCaptionHeight = 24;
constexpr int kPadding = 16;
constexpr int kIconSize = 32;
constexpr int kTextLeft = kPadding + kIconSize + 14;
constexpr int kMaxTextWidth = 520;
constexpr int kMinWidth = 280;
constexpr int kButtonWidth = 88;
constexpr int kButtonHeight = 26;
constexpr int kButtonGap = 10;

Rgb IconColour(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::kError:
      return {196, 40, 40};
    case MessageIcon::kExclamation:
      return {214, 150, 16};
    case MessageIcon::kInformation:
    case MessageIcon::kQuestion:
      break;
  }
  return {46, 98, 196};
}

const char* IconGlyph(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::kError:
      return "X";
    case MessageIcon::kExclamation:
      return "!";
    case MessageIcon::kQuestion:
      return "?";
    case MessageIcon::kInformation:
      break;
  }
  return "i";
}

// A filled disc with a softened edge, blended over what the picture holds.
void DrawDisc(SDL_Surface* to, int left, int top, int size, Rgb colour) {
  const double radius = size / 2.0;
  for (int y = 0; y < size; ++y) {
    auto* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(to->pixels) +
                                          static_cast<std::ptrdiff_t>(top + y) * to->pitch);
    for (int x = 0; x < size; ++x) {
      const double d = std::hypot(x + 0.5 - radius, y + 0.5 - radius);
      const double cover = std::clamp(radius - d + 0.5, 0.0, 1.0);
      if (cover <= 0) continue;
      Uint8 r = 0, g = 0, b = 0;
      Uint32& pixel = row[left + x];
      SDL_GetRGB(pixel, to->format, &r, &g, &b);
      auto mix = [cover](Uint8 under, Uint8 over) {
        return static_cast<Uint8>(std::lround(under + (over - under) * cover));
      };
      pixel = SDL_MapRGB(to->format, mix(r, colour.Red), mix(g, colour.Green), mix(b, colour.Blue));
    }
  }
}

void WriteCentred(SDL_Surface* to, TTF_Font* font, std::string_view text, Rgb colour,
                  const SDL_Rect& area) {
  int height = 0;
  if (font != nullptr) height = TTF_FontHeight(font);
  WriteText(to, font, text, colour, area.x + (area.w - TextWidth(font, text)) / 2,
            area.y + (area.h - height) / 2);
}

}  // namespace

// ---- MessageBox

MessageBox::MessageBox(const FontSource& fonts, std::string_view caption, std::string_view text,
                       MessageIcon icon, MessageButtons buttons)
    : fonts_(fonts), caption_(caption), icon_(icon) {
  if (buttons == MessageButtons::kYesNo) {
    buttons_ = {{"예", MessageAnswer::kYes}, {"아니요", MessageAnswer::kNo}};
  } else {
    buttons_ = {{"확인", MessageAnswer::kOk}};
  }
  TTF_Font* font = fonts_(kTextPixels, false);
  if (font != nullptr) lineSkip_ = TTF_FontLineSkip(font);
  lines_ = WrapText(font, text, kMaxTextWidth);
  // Blank lines at the end (the texts end their lines with spaces) take no room.
  while (lines_.size() > 1 && lines_.back().find_first_not_of(' ') == std::string::npos)
    lines_.pop_back();

  int textWidth = 0;
  for (const std::string& line : lines_)
    textWidth = std::max(textWidth, TextWidth(font, line));
  const int buttonsWidth = ButtonCount() * kButtonWidth + (ButtonCount() - 1) * kButtonGap;
  width_ = std::max({kMinWidth, kTextLeft + textWidth + kPadding + 4, buttonsWidth + 2 * kPadding,
                     TextWidth(fonts_(kTextPixels, true), caption_) + 2 * 12});
  const int body = std::max(kIconSize, static_cast<int>(lines_.size()) * lineSkip_);
  height_ = kCaptionHeight + kPadding + body + kPadding + kButtonHeight + 14;
}

SDL_Rect MessageBox::ButtonArea(int index) const {
  const int buttonsWidth = ButtonCount() * kButtonWidth + (ButtonCount() - 1) * kButtonGap;
  const int left = (width_ - buttonsWidth) / 2 + index * (kButtonWidth + kButtonGap);
  return {left, height_ - 14 - kButtonHeight, kButtonWidth, kButtonHeight};
}

MessageAnswer MessageBox::ButtonAnswer(int index) const {
  return buttons_.at(static_cast<std::size_t>(index)).answer;
}

int MessageBox::ButtonAt(int x, int y) const {
  for (int i = 0; i < ButtonCount(); ++i) {
    if (Inside(ButtonArea(i), x, y)) return i;
  }
  return -1;
}

void MessageBox::MouseDown(int x, int y, Uint8 button) {
  if (answer_ || button != SDL_BUTTON_LEFT) return;
  pressed_ = ButtonAt(x, y);
  if (pressed_ >= 0) focused_ = pressed_;
}

void MessageBox::MouseUp(int x, int y, Uint8 button) {
  if (answer_ || button != SDL_BUTTON_LEFT) return;
  const int released = ButtonAt(x, y);
  if (pressed_ >= 0 && released == pressed_) answer_ = ButtonAnswer(released);
  pressed_ = -1;
}

void MessageBox::KeyDown(SDL_Keycode key) {
  if (answer_) return;
  switch (key) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
    case SDLK_SPACE:
      answer_ = ButtonAnswer(focused_);
      break;
    case SDLK_ESCAPE:
      Dismiss();
      break;
    case SDLK_TAB:
    case SDLK_RIGHT:
      focused_ = (focused_ + 1) % ButtonCount();
      break;
    case SDLK_LEFT:
      focused_ = (focused_ + ButtonCount() - 1) % ButtonCount();
      break;
    default:
      break;
  }
}

void MessageBox::Dismiss() {
  if (!answer_) answer_ = ButtonAnswer(ButtonCount() - 1);  // No, or OK
}

Surface MessageBox::Picture() const {
  Surface picture = NewSurface(width_, height_, kParchment);
  SDL_Surface* to = picture.get();
  if (to == nullptr) return picture;
  TTF_Font* font = fonts_(kTextPixels, false);
  TTF_Font* bold = fonts_(kTextPixels, true);

  Fill(to, {0, 0, width_, kCaptionHeight}, kCaptionStrip);
  Fill(to, {0, kCaptionHeight, width_, 1}, kGold);
  WriteText(to, bold, caption_, kWhite, 10,
            (kCaptionHeight - (bold ? TTF_FontHeight(bold) : 0)) / 2);
  Frame(to, {0, 0, width_, height_}, kBorder, 2);

  const int top = kCaptionHeight + kPadding;
  DrawDisc(to, kPadding, top, kIconSize, IconColour(icon_));
  WriteCentred(to, fonts_(20, true), IconGlyph(icon_), kWhite,
               {kPadding, top, kIconSize, kIconSize});

  const int textHeight = static_cast<int>(lines_.size()) * lineSkip_;
  int y = top + std::max(0, (kIconSize - textHeight) / 2);
  for (const std::string& line : lines_) {
    WriteText(to, font, line, kBlack, kTextLeft, y);
    y += lineSkip_;
  }

  for (int i = 0; i < ButtonCount(); ++i) {
    const SDL_Rect area = ButtonArea(i);
    const bool pressed = i == pressed_;
    Fill(to, area, pressed ? kButtonPressed : kButtonFace);
    Frame(to, area, kBorder);
    if (i == focused_) Frame(to, {area.x + 2, area.y + 2, area.w - 4, area.h - 4}, kGold, 2);
    const int shift = pressed ? 1 : 0;
    WriteCentred(to, font, buttons_[static_cast<std::size_t>(i)].label, kBlack,
                 {area.x + shift, area.y + shift, area.w, area.h});
  }
  return picture;
}

// ---- In a window of the program

namespace {

// SDL's drivers without a screen: a box there is seen by nobody.
bool NobodySees() {
  const char* driver = SDL_GetCurrentVideoDriver();
  return driver == nullptr || std::string_view(driver) == "dummy" ||
         std::string_view(driver) == "offscreen";
}

// A box nobody can see: the message goes to stderr, and the box answers as Escape would.
MessageAnswer Unseen(MessageBox& box, std::string_view text) {
  std::fprintf(stderr, "%s: %s\n", box.Caption().c_str(), std::string(text).c_str());
  box.Dismiss();
  return *box.Answer();
}

// Waits, letting events run, until the box has an answer; a box still open when the
// program is ending answers as Escape would.
MessageAnswer AnswerOf(platform::SdlEventLoop& loop, MessageBox& box) {
  loop.RequestFrame();
  while (!box.Answer() && !loop.QuitRequested())
    loop.WaitSeconds(0.05);
  box.Dismiss();
  loop.RequestFrame();
  return *box.Answer();
}

bool IsInput(const SDL_Event& event) {
  switch (event.type) {
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
    case SDL_MOUSEMOTION:
    case SDL_MOUSEWHEEL:
    case SDL_KEYDOWN:
    case SDL_KEYUP:
    case SDL_TEXTINPUT:
    case SDL_TEXTEDITING:
      return true;
    default:
      return false;
  }
}

// Gives an input event to the box, the mouse's position moved by the box's place.
void Deliver(MessageBox& box, const SDL_Event& event, int left, int top) {
  switch (event.type) {
    case SDL_MOUSEBUTTONDOWN:
      box.MouseDown(event.button.x - left, event.button.y - top, event.button.button);
      break;
    case SDL_MOUSEBUTTONUP:
      box.MouseUp(event.button.x - left, event.button.y - top, event.button.button);
      break;
    case SDL_KEYDOWN:
      box.KeyDown(event.key.keysym.sym);
      break;
    default:
      break;
  }
}

}  // namespace

WindowMessageBoxes::WindowMessageBoxes(platform::SdlEventLoop& loop, FontSource fonts,
                                       int areaWidth, int areaHeight)
    : loop_(loop),
      fonts_(std::move(fonts)),
      areaWidth_(areaWidth),
      areaHeight_(areaHeight),
      screenless_(NobodySees()) {}

MessageAnswer WindowMessageBoxes::Show(std::string_view caption, std::string_view text,
                                       MessageIcon icon, MessageButtons buttons) {
  if (screenless_) {
    MessageBox unseen(fonts_, caption, text, icon, buttons);
    return Unseen(unseen, text);
  }
  open_.push_back(std::make_unique<MessageBox>(fonts_, caption, text, icon, buttons));
  MessageBox* box = open_.back().get();
  const MessageAnswer answer = AnswerOf(loop_, *box);
  std::erase_if(open_, [box](const auto& shown) { return shown.get() == box; });
  return answer;
}

SDL_Rect WindowMessageBoxes::AreaOf(const MessageBox& box) const {
  return {(areaWidth_ - box.Width()) / 2, (areaHeight_ - box.Height()) / 2, box.Width(),
          box.Height()};
}

SDL_Rect WindowMessageBoxes::TopArea() const {
  return open_.empty() ? SDL_Rect{0, 0, 0, 0} : AreaOf(*open_.back());
}

bool WindowMessageBoxes::HandleEvent(const SDL_Event& event) {
  if (open_.empty() || !IsInput(event)) return false;
  const SDL_Rect area = AreaOf(*open_.back());
  Deliver(*open_.back(), event, area.x, area.y);
  return true;
}

void WindowMessageBoxes::Compose(SDL_Renderer* renderer) {
  for (const auto& box : open_) {
    const SDL_Rect area = AreaOf(*box);
    // A soft shadow lifts the box off the board.
    SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_BLEND);
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 90);
    const SDL_Rect shadow{area.x + 5, area.y + 5, area.w, area.h};
    SDL_RenderFillRect(renderer, &shadow);
    SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_NONE);
    Surface picture = box->Picture();
    Texture texture = ToTexture(renderer, picture.get());
    SDL_SetTextureBlendMode(texture.get(), SDL_BLENDMODE_NONE);  // the box is opaque
    SDL_RenderCopy(renderer, texture.get(), nullptr, &area);
  }
}

// ---- In windows of their own

OwnWindowMessageBoxes::OwnWindowMessageBoxes(platform::SdlEventLoop& loop, FontSource fonts)
    : loop_(loop), fonts_(std::move(fonts)) {}

MessageAnswer OwnWindowMessageBoxes::Show(std::string_view caption, std::string_view text,
                                          MessageIcon icon, MessageButtons buttons) {
  MessageBox box(fonts_, caption, text, icon, buttons);
  if (NobodySees()) return Unseen(box, text);
  struct WindowDeleter {
    void operator()(SDL_Window* window) const { SDL_DestroyWindow(window); }
  };
  struct RendererDeleter {
    void operator()(SDL_Renderer* renderer) const { SDL_DestroyRenderer(renderer); }
  };
  const std::string title(caption);
  std::unique_ptr<SDL_Window, WindowDeleter> window(
      SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, box.Width(),
                       box.Height(), SDL_WINDOW_BORDERLESS));
  std::unique_ptr<SDL_Renderer, RendererDeleter> renderer(
      window ? SDL_CreateRenderer(window.get(), -1, SDL_RENDERER_SOFTWARE) : nullptr);
  if (!renderer) return Unseen(box, text);  // nowhere to show it
  SDL_RaiseWindow(window.get());
  const Uint32 id = SDL_GetWindowID(window.get());

  platform::SdlEventLoop::Layer layer;
  layer.filter = [&box, id](const SDL_Event& event) {
    if (event.type == SDL_WINDOWEVENT && event.window.windowID == id) {
      if (event.window.event == SDL_WINDOWEVENT_CLOSE) box.Dismiss();
      return true;
    }
    // The box is modal: presses meant for the other windows are dropped, and keys count
    // wherever the keyboard focus happens to be.
    const bool press = event.type == SDL_MOUSEBUTTONDOWN || event.type == SDL_MOUSEBUTTONUP;
    if ((press && event.button.windowID == id) || event.type == SDL_KEYDOWN) {
      Deliver(box, event, 0, 0);
    }
    return IsInput(event);
  };
  layer.draw = [&box, &renderer] {
    Surface picture = box.Picture();
    Texture texture = ToTexture(renderer.get(), picture.get());
    SDL_SetTextureBlendMode(texture.get(), SDL_BLENDMODE_NONE);  // the box is opaque
    SDL_RenderCopy(renderer.get(), texture.get(), nullptr, nullptr);
    SDL_RenderPresent(renderer.get());
  };
  loop_.PushLayer(std::move(layer));
  const MessageAnswer answer = AnswerOf(loop_, box);
  loop_.PopLayer();
  return answer;
}

}  // namespace hw::ui
