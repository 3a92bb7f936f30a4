#include "ui/scroll_bar.h"

#include <algorithm>
#include <array>
#include <utility>

#include "hand/effects.h"

namespace hw {

namespace {

// ---- Colour schemes: a gradient of 15 colours across the inner columns of the arrow
// buttons, the track and the thumb (left to right), a border colour, the arrow glyph
// and the grip lines across the thumb.

using Gradient = std::array<Rgb, 15>;

struct Scheme {
  Gradient Arrow;
  Gradient Track;
  Gradient Thumb;
  Rgb Border;
  Rgb Hot;  // what the part under the pointer leans towards
  Rgb Glyph;
  Rgb GripLight;  // each grip line is drawn in GripLight with GripDark just below it;
  Rgb GripDark;   // schemes with a single grip colour give both the same
  bool TwoToneGrip;
};

// clang-format off
constexpr Scheme kLightBlue{
    .Arrow = {{{255, 255, 255}, {169, 203, 255}, {214, 231, 255}, {216, 232, 255}, {218, 233, 255},
               {220, 234, 255}, {222, 235, 255}, {223, 236, 255}, {222, 235, 255}, {219, 233, 255},
               {214, 229, 254}, {208, 225, 253}, {201, 220, 252}, {193, 214, 251}, {184, 207, 249}}},
    .Track = {{{238, 243, 253}, {242, 246, 254}, {245, 248, 254}, {247, 249, 255}, {248, 250, 255},
               {249, 251, 255}, {250, 251, 255}, {250, 251, 255}, {250, 251, 255}, {249, 251, 255},
               {248, 250, 255}, {247, 249, 255}, {245, 248, 254}, {242, 246, 254}, {238, 243, 253}}},
    .Thumb = {{{255, 255, 255}, {180, 210, 255}, {202, 224, 255}, {205, 226, 255}, {208, 228, 255},
               {210, 229, 255}, {211, 230, 255}, {212, 230, 255}, {210, 229, 255}, {207, 227, 255},
               {202, 223, 254}, {196, 219, 253}, {189, 213, 252}, {180, 207, 251}, {170, 199, 249}}},
    .Border = {119, 153, 218},
    .Hot = {166, 206, 255},
    .Glyph = {77, 97, 133},
    .GripLight = {140, 176, 248},
    .GripDark = {140, 176, 248},
    .TwoToneGrip = false};

constexpr Scheme kOlive{
    .Arrow = {{{255, 255, 255}, {200, 212, 160}, {226, 233, 201}, {228, 234, 204}, {230, 236, 207},
               {232, 238, 210}, {233, 239, 212}, {234, 240, 214}, {232, 238, 211}, {228, 235, 205},
               {223, 231, 197}, {216, 225, 187}, {208, 218, 176}, {199, 211, 164}, {189, 203, 151}}},
    .Track = {{{240, 242, 229}, {243, 245, 234}, {245, 247, 237}, {247, 248, 240}, {248, 249, 242},
               {249, 250, 243}, {250, 251, 244}, {250, 251, 244}, {250, 251, 244}, {249, 250, 243},
               {248, 249, 242}, {247, 248, 240}, {245, 247, 237}, {243, 245, 234}, {240, 242, 229}}},
    .Thumb = {{{255, 255, 255}, {196, 209, 152}, {218, 227, 185}, {220, 229, 189}, {222, 231, 192},
               {224, 232, 195}, {225, 233, 197}, {226, 234, 198}, {224, 232, 195}, {220, 229, 189},
               {214, 224, 180}, {207, 218, 170}, {199, 211, 159}, {190, 203, 147}, {180, 194, 134}}},
    .Border = {164, 183, 125},
    .Hot = {196, 218, 136},
    .Glyph = {101, 118, 72},
    .GripLight = {208, 223, 172},
    .GripDark = {140, 157, 115},
    .TwoToneGrip = true};

constexpr Scheme kSilver{
    .Arrow = {{{255, 255, 255}, {206, 207, 218}, {236, 236, 242}, {238, 238, 243}, {240, 240, 245},
               {242, 242, 246}, {243, 243, 247}, {244, 244, 248}, {242, 242, 246}, {238, 238, 243},
               {232, 232, 239}, {225, 225, 233}, {216, 217, 226}, {206, 207, 218}, {195, 196, 209}}},
    .Track = {{{240, 240, 244}, {243, 243, 246}, {245, 245, 248}, {247, 247, 249}, {248, 248, 250},
               {249, 249, 251}, {250, 250, 252}, {250, 250, 252}, {250, 250, 252}, {249, 249, 251},
               {248, 248, 250}, {247, 247, 249}, {245, 245, 248}, {243, 243, 246}, {240, 240, 244}}},
    .Thumb = {{{255, 255, 255}, {200, 201, 213}, {228, 228, 236}, {230, 230, 238}, {232, 232, 239},
               {234, 234, 241}, {235, 235, 242}, {236, 236, 242}, {234, 234, 241}, {230, 230, 238},
               {224, 224, 233}, {217, 217, 227}, {208, 209, 220}, {198, 199, 212}, {187, 188, 203}}},
    .Border = {155, 160, 175},
    .Hot = {226, 232, 255},
    .Glyph = {72, 72, 88},
    .GripLight = {142, 149, 162},
    .GripDark = {142, 149, 162},
    .TwoToneGrip = false};
// clang-format on

constexpr std::array<const Scheme*, 3> kSchemes{&kLightBlue, &kOlive, &kSilver};

constexpr Gradient Flat(Rgb colour) {
  Gradient gradient{};
  for (auto& c : gradient)
    c = colour;
  return gradient;
}

// The disabled look: grey, with no thumb.
constexpr Scheme kDisabled{.Arrow = Flat({236, 235, 230}),
                           .Track = Flat({245, 244, 240}),
                           .Thumb = Flat({236, 235, 230}),
                           .Border = {201, 199, 186},
                           .Hot = {236, 235, 230},
                           .Glyph = {172, 168, 153},
                           .GripLight = {201, 199, 186},
                           .GripDark = {201, 199, 186},
                           .TwoToneGrip = false};

constexpr Rgb Mix(Rgb a, Rgb b, int percentOfB) {
  auto channel = [percentOfB](int x, int y) {
    return static_cast<std::uint8_t>((x * (100 - percentOfB) + y * percentOfB) / 100);
  };
  return {channel(a.Red, b.Red), channel(a.Green, b.Green), channel(a.Blue, b.Blue)};
}

enum class Look { kPlain, kHot, kPressed };

Rgb Shade(Rgb colour, Look look, const Scheme& scheme) {
  switch (look) {
    case Look::kHot:
      return Mix(colour, scheme.Hot, 45);
    case Look::kPressed:
      return Mix(colour, scheme.Border, 35);
    case Look::kPlain:
      break;
  }
  return colour;
}

// Draws with the renderer's colour restored afterwards.
class Pen {
 public:
  Pen(SDL_Renderer* renderer, int originX, int originY)
      : renderer_(renderer), x0_(originX), y0_(originY) {
    SDL_GetRenderDrawColor(renderer_, &r_, &g_, &b_, &a_);
  }
  ~Pen() { SDL_SetRenderDrawColor(renderer_, r_, g_, b_, a_); }
  Pen(const Pen&) = delete;
  Pen& operator=(const Pen&) = delete;

  void Colour(Rgb c) { SDL_SetRenderDrawColor(renderer_, c.Red, c.Green, c.Blue, 255); }
  void HLine(int x1, int x2, int y) {
    SDL_RenderDrawLine(renderer_, x0_ + x1, y0_ + y, x0_ + x2, y0_ + y);
  }
  void VLine(int x, int y1, int y2) {
    if (y2 >= y1) SDL_RenderDrawLine(renderer_, x0_ + x, y0_ + y1, x0_ + x, y0_ + y2);
  }

 private:
  SDL_Renderer* renderer_;
  int x0_;
  int y0_;
  Uint8 r_ = 0, g_ = 0, b_ = 0, a_ = 0;
};

// A button face (arrow or thumb) of width w at row `top`, `height` rows: a 1-pixel border
// with its corners left out, the gradient across the inner columns.
void DrawFace(Pen& pen, int w, int top, int height, const Gradient& gradient, const Scheme& scheme,
              Look look) {
  if (height < 2) return;
  for (int x = 1; x < w - 1; ++x) {
    pen.Colour(Shade(gradient[std::min<std::size_t>(x - 1, gradient.size() - 1)], look, scheme));
    pen.VLine(x, top + 1, top + height - 2);
  }
  pen.Colour(scheme.Border);
  pen.HLine(1, w - 2, top);
  pen.HLine(1, w - 2, top + height - 1);
  pen.VLine(0, top + 1, top + height - 2);
  pen.VLine(w - 1, top + 1, top + height - 2);
}

// A filled triangle of four rows, 7 pixels at its base, centred in the arrow button.
void DrawArrowGlyph(Pen& pen, int w, int top, bool up, bool pushed) {
  const int centre = w / 2 + (pushed ? 1 : 0);
  const int firstRow = top + 6 + (pushed ? 1 : 0);
  for (int row = 0; row < 4; ++row) {
    const int half = up ? row : 3 - row;
    pen.HLine(centre - half, centre + half, firstRow + row);
  }
}

}  // namespace

// ---- Properties

컨트롤_수직스크롤::컨트롤_수직스크롤(platform::EventLoop& loop, platform::Desktop& desktop,
                                     SDL_Rect bounds, std::string errorCaption)
    : desktop_(desktop), errorCaption_(std::move(errorCaption)), bounds_(bounds) {
  hoverTimer_ = loop.CreateTimer(kHoverMs, [this] { OnHoverTick(); });
  repeatTimer_ = loop.CreateTimer(kRepeatMs, [this] { OnRepeatTick(); });
  RecomputeThumb();
}

컨트롤_수직스크롤::~컨트롤_수직스크롤() = default;

void 컨트롤_수직스크롤::SetEnabled(bool enabled) {
  enabled_ = enabled;
  if (!enabled) {
    EndPress();
    hot_ = Part::kNone;
    hoverTimer_->SetEnabled(false);
  }
  Changed();
}

void 컨트롤_수직스크롤::SetMin(int min) {
  min_ = (min < 0 || min > kLargestValue) ? 0 : min;
  if (value_ < min_) value_ = min_;
  Changed();
}

void 컨트롤_수직스크롤::SetMax(int max) {
  max_ = max < 0 ? kLargestValue : max;
  if (value_ > max_) value_ = max_;
  RecomputeThumb();
  Changed();
}

void 컨트롤_수직스크롤::SetValue(int value) {
  if (value == value_) return;
  // Max first, then Min: should Min ever exceed Max, Min wins.
  value_ = std::max(std::min(value, max_), min_);
  Changed();
  if (onChange) onChange();
}

int 컨트롤_수직스크롤::CheckedChange(int change) {
  if (change >= 0 && change <= kLargestChange) return change;
  desktop_.ShowMessage(errorCaption_, "Invalid property value", platform::MessageIcon::kError,
                       platform::MessageButtons::kOk);
  return 1;
}

void 컨트롤_수직스크롤::SetSmallChange(int change) {
  smallChange_ = CheckedChange(change);
}

void 컨트롤_수직스크롤::SetLargeChange(int change) {
  largeChange_ = CheckedChange(change);
  RecomputeThumb();
  Changed();
}

void 컨트롤_수직스크롤::SetColorScheme(int scheme) {
  if (scheme < 0 || scheme >= static_cast<int>(kSchemes.size())) {
    desktop_.ShowMessage(errorCaption_, "Invalid property value", platform::MessageIcon::kError,
                         platform::MessageButtons::kOk);
    scheme = 0;
  }
  scheme_ = scheme;
  Changed();
}

// ---- Geometry

void 컨트롤_수직스크롤::SetBounds(SDL_Rect bounds) {
  bounds_ = bounds;
  RecomputeThumb();
  Changed();
}

bool 컨트롤_수직스크롤::ContainsWindowPoint(int x, int y) const {
  return x >= bounds_.x && x < bounds_.x + bounds_.w && y >= bounds_.y && y < bounds_.y + bounds_.h;
}

int 컨트롤_수직스크롤::TrackLength() const {
  return std::max(0, bounds_.h - 2 * kArrowHeight);
}

void 컨트롤_수직스크롤::RecomputeThumb() {
  if (bounds_.h <= 2 * kArrowHeight || largeChange_ < 1 || max_ < 1) return;
  const auto length = static_cast<std::int64_t>(TrackLength()) * largeChange_ /
                      (static_cast<std::int64_t>(largeChange_) + max_);
  thumbLength_ = std::max<int>(kMinThumbLength, static_cast<int>(length));
}

int 컨트롤_수직스크롤::DrawnThumbLength() const {
  return std::min(thumbLength_, TrackLength());
}

int 컨트롤_수직스크롤::ThumbTop() const {
  const int travel = TrackLength() - DrawnThumbLength();
  if (max_ <= min_ || travel <= 0) return kArrowHeight;
  const std::int64_t offset =
      static_cast<std::int64_t>(travel) * (std::clamp(value_, min_, max_) - min_) / (max_ - min_);
  return kArrowHeight + static_cast<int>(offset);
}

컨트롤_수직스크롤::Part 컨트롤_수직스크롤::HitTest(int x, int y) const {
  if (x < 0 || x >= bounds_.w || y < 0 || y >= bounds_.h) return Part::kNone;
  if (y < kArrowHeight) return Part::kUpArrow;
  if (y >= bounds_.h - kArrowHeight) return Part::kDownArrow;
  const int top = ThumbTop();
  if (y < top) return Part::kTrackAbove;
  if (y >= top + DrawnThumbLength()) return Part::kTrackBelow;
  return Part::kThumb;
}

// ---- Mouse

void 컨트롤_수직스크롤::Step(Part part) {
  switch (part) {
    case Part::kUpArrow:
      SetValue(value_ - smallChange_);
      break;
    case Part::kDownArrow:
      SetValue(value_ + smallChange_);
      break;
    case Part::kTrackAbove:
      SetValue(value_ - largeChange_);
      break;
    case Part::kTrackBelow:
      SetValue(value_ + largeChange_);
      break;
    case Part::kThumb:
    case Part::kNone:
      break;
  }
}

void 컨트롤_수직스크롤::SetHot(Part part) {
  if (part == hot_) return;
  hot_ = part;
  Changed();
}

void 컨트롤_수직스크롤::MouseDown(MouseButton button, int x, int y) {
  MouseMove(x, y);
  if (!enabled_ || button != MouseButton::kLeft || pressed_ != Part::kNone) return;
  const Part part = HitTest(x, y);
  if (part == Part::kNone) return;
  pressed_ = part;
  Changed();
  if (part == Part::kThumb) {
    grabOffset_ = y - ThumbTop();
    dragStartValue_ = value_;
    return;
  }
  Step(part);
  // The step's notification may have disabled the control or ended the press.
  if (pressed_ == part) repeatTimer_->SetEnabled(true);
}

void 컨트롤_수직스크롤::MouseMove(int x, int y) {
  pointerX_ = x;
  pointerY_ = y;
  pointerInside_ = HitTest(x, y) != Part::kNone;
  if (!enabled_) return;
  if (Dragging()) {
    ValueFromThumbTop(y - grabOffset_);
  } else if (pressed_ == Part::kNone) {
    SetHot(HitTest(x, y));
  }
  if (pointerInside_) hoverTimer_->SetEnabled(true);
}

void 컨트롤_수직스크롤::MouseLeave() {
  pointerInside_ = false;
  pointerX_ = pointerY_ = -1;
  if (hot_ != Part::kNone) hoverTimer_->SetEnabled(true);
}

void 컨트롤_수직스크롤::MouseUp(MouseButton button, int x, int y) {
  if (button != MouseButton::kLeft) return;
  pointerX_ = x;
  pointerY_ = y;
  pointerInside_ = HitTest(x, y) != Part::kNone;
  if (pressed_ == Part::kNone) return;
  const bool dragged = Dragging() && value_ != dragStartValue_;
  EndPress();
  if (enabled_) SetHot(HitTest(x, y));
  hoverTimer_->SetEnabled(true);
  if (dragged && onChange) onChange();
}

void 컨트롤_수직스크롤::EndPress() {
  if (pressed_ == Part::kNone) return;
  pressed_ = Part::kNone;
  repeatTimer_->SetEnabled(false);
  Changed();
}

void 컨트롤_수직스크롤::ValueFromThumbTop(int top) {
  const int travel = TrackLength() - DrawnThumbLength();
  if (travel <= 0 || max_ <= min_) return;
  const int offset = std::clamp(top - kArrowHeight, 0, travel);
  // Rounded to the nearest value, so the thumb follows the pointer both ways alike.
  const auto span = static_cast<std::int64_t>(max_) - min_;
  const int value = min_ + static_cast<int>((offset * span * 2 + travel) / (2 * travel));
  if (value == value_) return;
  value_ = value;
  Changed();
  if (onScroll) onScroll();
}

void 컨트롤_수직스크롤::OnRepeatTick() {
  if (pressed_ == Part::kNone || pressed_ == Part::kThumb) {
    repeatTimer_->SetEnabled(false);
    return;
  }
  // The track steps until the thumb reaches the pointer; an arrow pauses while the
  // pointer is off it.
  if (HitTest(pointerX_, pointerY_) == pressed_) Step(pressed_);
}

void 컨트롤_수직스크롤::OnHoverTick() {
  if (pointerInside_ || pressed_ != Part::kNone) return;
  SetHot(Part::kNone);
  hoverTimer_->SetEnabled(false);
}

// ---- Drawing

void 컨트롤_수직스크롤::Draw(SDL_Renderer* renderer) const {
  const Scheme& scheme = enabled_ ? *kSchemes[static_cast<std::size_t>(scheme_)] : kDisabled;
  const int w = bounds_.w;
  const int h = bounds_.h;
  Pen pen(renderer, bounds_.x, bounds_.y);

  auto lookOf = [this](Part part) {
    if (pressed_ == part) return Look::kPressed;
    if (hot_ == part && pressed_ == Part::kNone) return Look::kHot;
    return Look::kPlain;
  };

  // The track under everything, so the buttons' cut corners show it.
  const int thumbTop = ThumbTop();
  const int thumbLength = enabled_ ? DrawnThumbLength() : 0;
  for (int x = 0; x < w; ++x) {
    const Rgb track = scheme.Track[static_cast<std::size_t>(std::clamp(x - 1, 0, 14))];
    const Rgb pressedTrack = Shade(track, Look::kPressed, scheme);
    pen.Colour(pressed_ == Part::kTrackAbove ? pressedTrack : track);
    pen.VLine(x, 0, thumbTop - 1);
    pen.Colour(pressed_ == Part::kTrackBelow ? pressedTrack : track);
    pen.VLine(x, thumbTop + thumbLength, h - 1);
  }

  for (Part arrow : {Part::kUpArrow, Part::kDownArrow}) {
    const int top = arrow == Part::kUpArrow ? 0 : h - kArrowHeight;
    const Look look = lookOf(arrow);
    DrawFace(pen, w, top, kArrowHeight, scheme.Arrow, scheme, look);
    pen.Colour(scheme.Glyph);
    DrawArrowGlyph(pen, w, top, arrow == Part::kUpArrow, look == Look::kPressed);
  }

  if (thumbLength < 2) return;
  DrawFace(pen, w, thumbTop, thumbLength, scheme.Thumb, scheme, lookOf(Part::kThumb));
  if (thumbLength > 15) {
    // Four grip lines across the middle of the thumb.
    const int first = thumbTop + thumbLength / 2 - 4;
    for (int line = 0; line < 4; ++line) {
      const int y = first + 2 * line;
      pen.Colour(scheme.GripLight);
      pen.HLine(5, w - 6, y);
      if (scheme.TwoToneGrip) {
        pen.Colour(scheme.GripDark);
        pen.HLine(6, w - 5, y + 1);
      }
    }
  }
}

}  // namespace hw
