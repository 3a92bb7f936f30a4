#include "ui/options_view.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

namespace hw::ui {
namespace {

using Combo = SdlOptionsWindow::Combo;
constexpr SDL_Rect kPanel = SdlOptionsWindow::kPanel;

constexpr bool Holds(const SDL_Rect& outer, const SDL_Rect& inner) {
  return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.w <= outer.x + outer.w &&
         inner.y + inner.h <= outer.y + outer.h;
}
static_assert(Holds(kPanel, SdlOptionsWindow::DropList(Combo::kStake)) &&
                  Holds(kPanel, SdlOptionsWindow::DropList(Combo::kService)) &&
                  Holds(kPanel, SdlOptionsWindow::DropList(Combo::kOpponent)),
              "an open list stays inside the dialog");
static_assert(Holds({0, 0, 800, 600}, kPanel), "the dialog stays on the board");

// ---- The panel's picture, in its own pixels (the board place minus kPanel's corner)

// The parchment sheet under the frames, and the frames on it with their captions.
constexpr SDL_Rect kParchment{8, SdlOptionsWindow::kTitleHeight + 8, 344, 306};
struct GroupFrame {
  const char* caption;
  SDL_Rect place;
};
constexpr GroupFrame kSoundFrame{"사운드 끄기/켜기", {18, 48, 324, 42}};
constexpr GroupFrame kSpeedFrame{"패속도 조절", {18, 104, 324, 64}};
constexpr GroupFrame kStakeFrame{"점당금액 설정", {18, 182, 158, 64}};
constexpr GroupFrame kServiceFrame{"서비스피 갯수", {184, 182, 158, 64}};
constexpr GroupFrame kOpponentFrame{"상대 수준", {18, 260, 324, 46}};
constexpr SDL_Point kStakeLabel{28, 195};       // "점당금액 설정"
constexpr SDL_Point kServiceLabel{194, 195};    // "서비스피 갯수조절"
constexpr int kOpponentLabelX = 28;             // "상대 수준", level with its box
constexpr SDL_Point kSpeedHint{28, 145};        // Label3
constexpr SDL_Rect kNoteLine{8, 312, 344, 24};  // Label2, centred
constexpr SDL_Rect kSpeedValue{292, 118, 40, 20};
constexpr SDL_Rect kEmblem{9, 6, 16, 15};

// The slider's thumb runs between these board x, its centre on the value.
constexpr int kTrackLeft = SdlOptionsWindow::kSlider.x + 6;
constexpr int kTrackSpan = SdlOptionsWindow::kSlider.w - 12;
constexpr int kMaxSpeed = 300;

// The skin's colours: dark wood around, parchment inside, gold lines.
constexpr Rgb kWood{38, 23, 14};
constexpr Rgb kWoodEdge{18, 10, 5};
constexpr Rgb kTitleTop{84, 55, 30};
constexpr Rgb kTitleBottom{44, 28, 16};
constexpr Rgb kGold{210, 160, 69};
constexpr Rgb kDarkGold{150, 108, 48};
constexpr Rgb kParchmentTop{247, 236, 210};
constexpr Rgb kParchmentBottom{234, 215, 174};
constexpr Rgb kGroupTop{252, 245, 228};
constexpr Rgb kGroupBottom{244, 231, 200};
constexpr Rgb kGroupLine{194, 153, 96};
constexpr Rgb kTabTop{120, 78, 38};
constexpr Rgb kTabBottom{78, 48, 22};
constexpr Rgb kTabText{255, 238, 196};
constexpr Rgb kInk{62, 38, 18};
constexpr Rgb kHintInk{110, 74, 38};
constexpr Rgb kFaded{168, 148, 122};
constexpr Rgb kNote{150, 44, 22};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kShadow{30, 18, 8};
constexpr Rgb kCream{255, 251, 240};
constexpr Rgb kCreamBottom{246, 238, 220};
constexpr Rgb kRim{128, 86, 44};
constexpr Rgb kDot{156, 34, 20};
constexpr Rgb kGroove{214, 190, 150};
constexpr Rgb kButtonTop{160, 112, 62};
constexpr Rgb kButtonBottom{96, 60, 28};
constexpr Rgb kHoverTop{184, 134, 78};
constexpr Rgb kHoverBottom{114, 74, 36};
constexpr Rgb kPressedTop{66, 40, 18};
constexpr Rgb kPressedBottom{116, 78, 40};
constexpr Rgb kDisabledFace{228, 218, 198};
constexpr Rgb kDisabledArrowTop{198, 184, 162};
constexpr Rgb kDisabledArrowBottom{178, 162, 140};
constexpr Rgb kDisabledArrow{238, 230, 216};
constexpr Rgb kListBorder{90, 55, 25};
constexpr Rgb kHighlight{112, 64, 24};
constexpr Rgb kCardRed{186, 30, 28};

Rgb Mix(Rgb a, Rgb b, double t) {
  t = std::clamp(t, 0.0, 1.0);
  auto channel = [t](int from, int to) {
    return static_cast<std::uint8_t>(std::lround(from + (to - from) * t));
  };
  return {channel(a.Red, b.Red), channel(a.Green, b.Green), channel(a.Blue, b.Blue)};
}

// Covers `cover` of one pixel's area with `colour` (the panel stays opaque).
void Blend(SDL_Surface* to, int x, int y, Rgb colour, double cover) {
  if (cover <= 0 || x < 0 || y < 0 || x >= to->w || y >= to->h) return;
  auto* pixel = reinterpret_cast<Uint32*>(static_cast<Uint8*>(to->pixels) +
                                          static_cast<std::ptrdiff_t>(y) * to->pitch) +
                x;
  Uint8 r = 0, g = 0, b = 0;
  SDL_GetRGB(*pixel, to->format, &r, &g, &b);
  *pixel = MapColour(to, Mix({r, g, b}, colour, cover));
}

// How much of pixel (x, y) a rectangle with corners of this radius covers: the straight
// edges are whole pixels, the corners smoothed.
double RoundedCover(const SDL_Rect& r, int radius, int x, int y) {
  if (!Inside(r, x, y)) return 0;
  if (radius <= 0) return 1;
  const double px = x + 0.5, py = y + 0.5;
  const double cx = std::clamp(px, r.x + radius + 0.0, r.x + r.w - radius + 0.0);
  const double cy = std::clamp(py, r.y + radius + 0.0, r.y + r.h - radius + 0.0);
  return std::clamp(radius + 0.5 - std::hypot(px - cx, py - cy), 0.0, 1.0);
}

// A box with rounded corners, a one-pixel border and a fill shading from top to bottom.
// Only the corner squares are worked out pixel by pixel; the rest is filled row by row.
void RoundedBox(SDL_Surface* to, const SDL_Rect& r, int radius, Rgb top, Rgb bottom, Rgb border) {
  const SDL_Rect inner{r.x + 1, r.y + 1, r.w - 2, r.h - 2};
  const int corner = std::max(radius, 0) + 1;
  for (int y = r.y; y < r.y + r.h; ++y) {
    const Rgb fill = Mix(top, bottom, r.h > 1 ? (y - r.y) / static_cast<double>(r.h - 1) : 0);
    const bool cornerRow = y < r.y + corner || y >= r.y + r.h - corner;
    const int from = cornerRow ? r.x + corner : r.x,
              to_x = cornerRow ? r.x + r.w - corner : r.x + r.w;
    if (from < to_x) {
      if (y == r.y || y == r.y + r.h - 1) {
        Fill(to, {from, y, to_x - from, 1}, border);
      } else {
        Fill(to, {from, y, to_x - from, 1}, fill);
        if (!cornerRow) {
          Fill(to, {r.x, y, 1, 1}, border);
          Fill(to, {r.x + r.w - 1, y, 1, 1}, border);
        }
      }
    }
    if (!cornerRow) continue;
    for (int x = r.x; x < r.x + r.w; ++x) {
      if (x >= from && x < to_x) continue;
      Blend(to, x, y, border, RoundedCover(r, radius, x, y));
      Blend(to, x, y, fill, RoundedCover(inner, radius - 1, x, y));
    }
  }
}

void Disc(SDL_Surface* to, double cx, double cy, double radius, Rgb colour) {
  const int top = static_cast<int>(cy - radius) - 1, bottom = static_cast<int>(cy + radius) + 1;
  const int left = static_cast<int>(cx - radius) - 1, right = static_cast<int>(cx + radius) + 1;
  for (int y = top; y <= bottom; ++y) {
    for (int x = left; x <= right; ++x) {
      const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
      Blend(to, x, y, colour, std::clamp(radius + 0.5 - d, 0.0, 1.0));
    }
  }
}

// The triangle of a drop-down button, its point down, in the middle of the rectangle.
void DownArrow(SDL_Surface* to, const SDL_Rect& r, Rgb colour) {
  const int cx = r.x + r.w / 2, top = r.y + (r.h - 5) / 2;
  for (int row = 0; row < 5; ++row)
    Fill(to, {cx - 4 + row, top + row, 9 - 2 * row, 1}, colour);
}

SDL_Point TextSize(TTF_Font* font, std::string_view text) {
  int w = 0, h = 0;
  if (font != nullptr && !text.empty()) TTF_SizeUTF8(font, std::string(text).c_str(), &w, &h);
  return {w, h};
}

void CentredText(SDL_Surface* to, TTF_Font* font, std::string_view text, Rgb colour,
                 const SDL_Rect& r, int nudge = 0) {
  const SDL_Point size = TextSize(font, text);
  WriteText(to, font, text, colour, r.x + (r.w - size.x) / 2 + nudge,
            r.y + (r.h - size.y) / 2 + nudge);
}

// Text from x on, centred on the rectangle's height.
void TextAcross(SDL_Surface* to, TTF_Font* font, std::string_view text, Rgb colour, int x,
                const SDL_Rect& r) {
  WriteText(to, font, text, colour, x, r.y + (r.h - TextSize(font, text).y) / 2);
}

SDL_Rect Local(SDL_Rect r) {
  r.x -= kPanel.x;
  r.y -= kPanel.y;
  return r;
}

// A frame on the parchment, its caption on a small wooden tab across its top line.
void Group(SDL_Surface* to, TTF_Font* font, const GroupFrame& frame) {
  const SDL_Rect& r = frame.place;
  RoundedBox(to, r, 5, kGroupTop, kGroupBottom, kGroupLine);
  const SDL_Rect tab{r.x + 8, r.y - 8, TextSize(font, frame.caption).x + 16, 17};
  RoundedBox(to, tab, 4, kTabTop, kTabBottom, kGold);
  CentredText(to, font, frame.caption, kTabText, tab);
}

const char* ItemText(Combo combo, int item) {
  const auto index = static_cast<std::size_t>(item);
  switch (combo) {
    case Combo::kStake:
      return OptionsDialog::kStakes.at(index);
    case Combo::kOpponent:
      return OptionsDialog::kOpponents.at(index);
    default:
      return OptionsDialog::kServiceCards.at(index);
  }
}

}  // namespace

SdlOptionsWindow::SdlOptionsWindow(OptionsDialog& dialog, FontSource fonts)
    : dialog_(dialog), fonts_(std::move(fonts)) {}

int SdlOptionsWindow::Choice(Combo combo) const {
  int choice = dialog_.ServiceChoice();
  if (combo == Combo::kStake) choice = dialog_.StakeChoice();
  if (combo == Combo::kOpponent) choice = dialog_.OpponentChoice();
  return std::clamp(choice, 0, ItemCount(combo) - 1);
}

void SdlOptionsWindow::Reset() {
  openList_ = Combo::kNone;
  dragging_ = false;
  pressed_ = -1;
}

// ---- Input

bool SdlOptionsWindow::HandleEvent(const SDL_Event& event) {
  if (!dialog_.IsOpen()) {
    Reset();
    return false;
  }
  switch (event.type) {
    case SDL_MOUSEBUTTONDOWN:
      if (event.button.button == SDL_BUTTON_LEFT) MouseDown(event.button.x, event.button.y);
      return true;
    case SDL_MOUSEBUTTONUP:
      if (event.button.button == SDL_BUTTON_LEFT) MouseUp(event.button.x, event.button.y);
      return true;
    case SDL_MOUSEMOTION:
      MouseMove(event.motion.x, event.motion.y);
      return true;
    case SDL_KEYDOWN:
      KeyDown(event.key.keysym.sym);
      return true;
    case SDL_MOUSEWHEEL:
    case SDL_KEYUP:
    case SDL_TEXTINPUT:
    case SDL_TEXTEDITING:
      return true;  // the dialog is modal: nothing reaches the board behind it
    default:
      return false;  // window events and the like go on as usual
  }
}

void SdlOptionsWindow::MouseDown(int x, int y) {
  pointer_ = {x, y};
  // A click anywhere closes an open list; only a click on one of its items changes the
  // choice, and the click does nothing else (as a drop-down list takes it).
  if (openList_ != Combo::kNone) {
    for (int item = 0; item < ItemCount(openList_); ++item) {
      if (Inside(ListItem(openList_, item), x, y)) TakeItem(item);
    }
    openList_ = Combo::kNone;
    return;
  }
  if (Inside(kSoundOn, x, y)) dialog_.SetSoundOn(true);
  if (Inside(kSoundOff, x, y)) dialog_.SetSoundOn(false);
  if (Inside(kSlider, x, y)) {
    dragging_ = true;
    SpeedFromPointer(x);
  }
  for (const Combo combo : kCombos) {
    if (Inside(ComboBox(combo), x, y)) DropDown(combo);
  }
  if (Inside(kApply, x, y)) pressed_ = 0;
  if (Inside(kCancel, x, y)) pressed_ = 1;
}

void SdlOptionsWindow::MouseUp(int x, int y) {
  pointer_ = {x, y};
  dragging_ = false;
  // A button acts when the button is let go over it: a press dragged off it is called off.
  const int pressed = pressed_;
  pressed_ = -1;
  if (pressed >= 0 && Inside(pressed == 0 ? kApply : kCancel, x, y)) dialog_.PressButton(pressed);
}

void SdlOptionsWindow::MouseMove(int x, int y) {
  pointer_ = {x, y};
  if (dragging_) SpeedFromPointer(x);
  if (openList_ == Combo::kNone) return;
  for (int item = 0; item < ItemCount(openList_); ++item) {
    if (Inside(ListItem(openList_, item), x, y)) highlighted_ = item;
  }
}

void SdlOptionsWindow::KeyDown(SDL_Keycode key) {
  if (openList_ != Combo::kNone) {
    switch (key) {
      case SDLK_UP:
        highlighted_ = std::max(0, highlighted_ - 1);
        break;
      case SDLK_DOWN:
        highlighted_ = std::min(ItemCount(openList_) - 1, highlighted_ + 1);
        break;
      case SDLK_RETURN:
      case SDLK_KP_ENTER:
        TakeItem(highlighted_);
        openList_ = Combo::kNone;
        break;
      case SDLK_ESCAPE:
        openList_ = Combo::kNone;  // the choice stays as it was
        break;
      default:
        break;
    }
    return;
  }
  switch (key) {
    case SDLK_LEFT:
      dialog_.SetSpeed(dialog_.Speed() - 1);
      break;
    case SDLK_RIGHT:
      dialog_.SetSpeed(dialog_.Speed() + 1);
      break;
    case SDLK_PAGEUP:  // the slider's large step
      dialog_.SetSpeed(dialog_.Speed() - 5);
      break;
    case SDLK_PAGEDOWN:
      dialog_.SetSpeed(dialog_.Speed() + 5);
      break;
    case SDLK_ESCAPE:
      dialog_.PressButton(1);
      break;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
      dialog_.PressButton(0);
      break;
    default:
      break;
  }
}

void SdlOptionsWindow::DropDown(Combo combo) {
  if (!dialog_.CombosEnabled()) return;  // during a hand the stake, cards and level stay
  openList_ = combo;
  highlighted_ = Choice(combo);
}

void SdlOptionsWindow::TakeItem(int item) {
  if (openList_ == Combo::kStake)
    dialog_.SetStakeChoice(item);
  else if (openList_ == Combo::kService)
    dialog_.SetServiceChoice(item);
  else if (openList_ == Combo::kOpponent)
    dialog_.SetOpponentChoice(item);
}

void SdlOptionsWindow::SpeedFromPointer(int x) {
  const int along = std::clamp(x - kTrackLeft, 0, kTrackSpan);
  dialog_.SetSpeed((along * kMaxSpeed + kTrackSpan / 2) / kTrackSpan);
}

// ---- Drawing

void SdlOptionsWindow::Compose(SDL_Renderer* renderer) {
  if (!dialog_.IsOpen()) {
    Reset();
    return;
  }
  // The panel is drawn whole on its own opaque picture, so that smoothed text and edges
  // blend with what really lies under them.
  Surface panel = NewSurface(kPanel.w, kPanel.h, kWood);
  if (!panel) return;
  SDL_Surface* to = panel.get();
  DrawFrame(to);
  DrawSound(to);
  DrawSpeed(to);
  DrawCombos(to);
  DrawButtons(to);
  DrawOpenList(to);
  Texture texture = ToTexture(renderer, to);
  if (!texture) return;
  SDL_SetTextureBlendMode(texture.get(), SDL_BLENDMODE_NONE);
  SDL_RenderCopy(renderer, texture.get(), nullptr, &kPanel);
}

void SdlOptionsWindow::DrawFrame(SDL_Surface* to) const {
  const SDL_Rect whole{0, 0, kPanel.w, kPanel.h};
  Frame(to, whole, kWoodEdge);
  Frame(to, {1, 1, kPanel.w - 2, kPanel.h - 2}, kDarkGold);
  // The title strip: a small pair of red cards, then the caption.
  for (int y = 2; y < kTitleHeight; ++y) {
    Fill(to, {2, y, kPanel.w - 4, 1}, Mix(kTitleTop, kTitleBottom, (y - 2) / (kTitleHeight - 3.0)));
  }
  Fill(to, {2, kTitleHeight, kPanel.w - 4, 1}, kGold);
  Fill(to, {2, kTitleHeight + 1, kPanel.w - 4, 1}, kWoodEdge);
  RoundedBox(to, {kEmblem.x, kEmblem.y + 1, 10, 14}, 2, kCardRed, kCardRed, kCream);
  RoundedBox(to, {kEmblem.x + 6, kEmblem.y - 1, 10, 14}, 2, kCardRed, kCardRed, kCream);
  TextAcross(to, fonts_(13, true), OptionsDialog::kCaption, kWhite, kEmblem.x + kEmblem.w + 2,
             {0, 0, kPanel.w, kTitleHeight});

  RoundedBox(to, kParchment, 6, kParchmentTop, kParchmentBottom, kGold);
  TTF_Font* captionFont = fonts_(12, true);
  for (const GroupFrame* frame :
       {&kSoundFrame, &kSpeedFrame, &kStakeFrame, &kServiceFrame, &kOpponentFrame})
    Group(to, captionFont, *frame);
  CentredText(to, fonts_(12, false), "위 3가지 설정은 게임중에는 변경하실 수 없습니다", kNote,
              kNoteLine);
}

void SdlOptionsWindow::DrawSound(SDL_Surface* to) const {
  // One radio group: both marks round, exactly one of them filled.
  TTF_Font* font = fonts_(12, false);
  for (const bool on : {true, false}) {
    const SDL_Rect r = Local(on ? kSoundOn : kSoundOff);
    const SDL_Point c = RadioCentre(r);
    const double cx = c.x + 0.5, cy = c.y + 0.5;
    Disc(to, cx, cy, 7, kRim);
    Disc(to, cx, cy, 6, kCream);
    if (dialog_.SoundOn() == on) Disc(to, cx, cy, 3.5, kDot);
    TextAcross(to, font, OptionsDialog::kSoundOptions[on ? 0 : 1], kInk, r.x + 20, r);
  }
}

void SdlOptionsWindow::DrawSpeed(SDL_Surface* to) const {
  const SDL_Rect slider = Local(kSlider);
  const int left = kTrackLeft - kPanel.x;
  const int middle = slider.y + slider.h / 2;
  const int thumb = left + (dialog_.Speed() * kTrackSpan + kMaxSpeed / 2) / kMaxSpeed;
  // The groove, gold up to the thumb.
  RoundedBox(to, {left - 2, middle - 3, kTrackSpan + 4, 6}, 3, kGroove, kGroove, kRim);
  Fill(to, {left, middle - 1, thumb - left, 2}, kGold);
  RoundedBox(to, {thumb - 5, slider.y, 11, slider.h}, 3, kButtonTop, kButtonBottom, kGold);
  Fill(to, {thumb, slider.y + 5, 1, slider.h - 10}, kTabText);

  RoundedBox(to, kSpeedValue, 3, kCream, kCreamBottom, kRim);
  CentredText(to, fonts_(12, true), std::to_string(dialog_.Speed()), kInk, kSpeedValue);
  WriteText(to, fonts_(11, false),
            "<-(왼쪼화살표) 또는 ->(오른쪽화살표)로 게임중 조절이 가능합니다", kHintInk,
            kSpeedHint.x, kSpeedHint.y);
}

void SdlOptionsWindow::DrawCombos(SDL_Surface* to) const {
  const bool enabled = dialog_.CombosEnabled();
  TTF_Font* font = fonts_(12, false);
  const Rgb ink = enabled ? kInk : kFaded;
  WriteText(to, font, "점당금액 설정", ink, kStakeLabel.x, kStakeLabel.y);
  WriteText(to, font, "서비스피 갯수조절", ink, kServiceLabel.x, kServiceLabel.y);
  TextAcross(to, font, "상대 수준", ink, kOpponentLabelX, Local(kOpponentList));
  for (const Combo combo : kCombos) {
    const SDL_Rect box = Local(ComboBox(combo));
    const SDL_Rect arrow = Local(ArrowButton(ComboBox(combo)));
    if (enabled) {
      RoundedBox(to, box, 3, kCream, kCreamBottom, kRim);
      const bool open = openList_ == combo;
      RoundedBox(to, arrow, 2, open ? kPressedTop : kButtonTop,
                 open ? kPressedBottom : kButtonBottom, kDarkGold);
      DownArrow(to, arrow, kTabText);
    } else {
      RoundedBox(to, box, 3, kDisabledFace, kDisabledFace, kFaded);
      RoundedBox(to, arrow, 2, kDisabledArrowTop, kDisabledArrowBottom, kFaded);
      DownArrow(to, arrow, kDisabledArrow);
    }
    TextAcross(to, font, ItemText(combo, Choice(combo)), ink, box.x + 6, box);
  }
}

void SdlOptionsWindow::DrawButtons(SDL_Surface* to) const {
  TTF_Font* font = fonts_(13, true);
  for (const int index : {0, 1}) {
    const SDL_Rect& place = index == 0 ? kApply : kCancel;
    const bool under = Inside(place, pointer_.x, pointer_.y) && openList_ == Combo::kNone;
    // Held down it looks pressed while the pointer is on it, as it would act if let go.
    const bool pressed = pressed_ == index && under;
    const bool hover = pressed_ < 0 && under;
    const SDL_Rect r = Local(place);
    RoundedBox(to, r, 5,
               pressed ? kPressedTop
               : hover ? kHoverTop
                       : kButtonTop,
               pressed ? kPressedBottom
               : hover ? kHoverBottom
                       : kButtonBottom,
               kGold);
    const char* caption = index == 0 ? "적용" : "취소";
    const int nudge = pressed ? 1 : 0;
    CentredText(to, font, caption, kShadow, {r.x + 1, r.y + 1, r.w, r.h}, nudge);
    CentredText(to, font, caption, kWhite, r, nudge);
  }
}

void SdlOptionsWindow::DrawOpenList(SDL_Surface* to) const {
  if (openList_ == Combo::kNone) return;
  const SDL_Rect list = Local(DropList(openList_));
  for (int y = list.y + 2; y < list.y + list.h + 2; ++y) {  // a soft shadow, right and below
    for (int x = list.x + 2; x < list.x + list.w + 2; ++x)
      Blend(to, x, y, kWoodEdge, 0.3);
  }
  Fill(to, list, kListBorder);
  Fill(to, {list.x + 1, list.y + 1, list.w - 2, list.h - 2}, kCream);
  const int choice = Choice(openList_);
  for (int item = 0; item < ItemCount(openList_); ++item) {
    const SDL_Rect r = Local(ListItem(openList_, item));
    const bool highlighted = item == highlighted_;
    if (highlighted) Fill(to, r, kHighlight);
    // The current choice keeps a mark of its own while the highlight moves elsewhere.
    if (item == choice) Disc(to, r.x + r.w - 10.5, r.y + r.h / 2.0, 3, highlighted ? kGold : kDot);
    TextAcross(to, fonts_(12, item == choice), ItemText(openList_, item),
               highlighted ? kWhite : kInk, r.x + 6, r);
  }
}

}  // namespace hw::ui
