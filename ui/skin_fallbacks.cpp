#include "ui/skin_fallbacks.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "rules/card_table.h"
#include "ui/skin.h"

namespace hw::ui {
namespace {

// The board's own brown and gold (the message log's brown, the panel texts' gold) and
// darker woods around them: a missing picture reads as a plainer skin, not as a fault.
constexpr Rgb kGold{210, 160, 69};
constexpr Rgb kLogBrown{138, 95, 16};
constexpr Rgb kWoodLight{96, 60, 30};
constexpr Rgb kWoodDark{50, 29, 13};
constexpr Rgb kEdge{30, 17, 7};
constexpr Rgb kCream{246, 232, 200};
constexpr Rgb kInk{66, 32, 14};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kButtonRed{178, 38, 32};
constexpr Rgb kButtonBrown{128, 84, 36};
constexpr Rgb kButtonGreen{44, 122, 62};
constexpr Rgb kButtonBlue{40, 72, 150};
constexpr Rgb kButtonGold{214, 164, 52};
constexpr Rgb kCardFace{246, 236, 212};
constexpr Rgb kCardEdge{150, 30, 30};

Rgb Shade(Rgb c, int percent) {
  auto scale = [percent](std::uint8_t v) { return static_cast<std::uint8_t>(v * percent / 100); };
  return {scale(c.Red), scale(c.Green), scale(c.Blue)};
}

Rgb Lighten(Rgb c, int amount) {
  auto add = [amount](std::uint8_t v) {
    return static_cast<std::uint8_t>(std::min(255, v + amount));
  };
  return {add(c.Red), add(c.Green), add(c.Blue)};
}

bool IsLight(Rgb c) {
  return c.Red * 3 + c.Green * 6 + c.Blue > 1500;
}

SDL_Rect Inset(const SDL_Rect& r, int by) {
  return {r.x + by, r.y + by, r.w - 2 * by, r.h - 2 * by};
}

// One stand-in being drawn: its surface, and the fonts and the product name its texts
// use.
struct Canvas {
  SDL_Surface* surface;
  const FontSource& fonts;
  std::string_view productName;

  TTF_Font* Font(int size, bool bold) const { return fonts ? fonts(size, bold) : nullptr; }
  SDL_Rect Whole() const { return {0, 0, surface->w, surface->h}; }
};

void Gradient(SDL_Surface* s, const SDL_Rect& r, Rgb top, Rgb bottom) {
  for (int row = 0; row < r.h; ++row) {
    auto mix = [&](std::uint8_t a, std::uint8_t b) {
      return static_cast<std::uint8_t>(a + (b - a) * row / std::max(1, r.h - 1));
    };
    Fill(s, {r.x, r.y + row, r.w, 1},
         {mix(top.Red, bottom.Red), mix(top.Green, bottom.Green), mix(top.Blue, bottom.Blue)});
  }
}

// An ellipse filled, only where it falls inside `clip`.
void Ellipse(SDL_Surface* s, const SDL_Rect& clip, int cx, int cy, int rx, int ry, Rgb colour) {
  const Uint32 pixel = MapColour(s, colour);
  const SDL_Rect bounds{0, 0, s->w, s->h};
  SDL_Rect area{};
  if (!SDL_IntersectRect(&clip, &bounds, &area)) return;
  const long rx2 = static_cast<long>(rx) * rx + rx, ry2 = static_cast<long>(ry) * ry + ry;
  for (int y = std::max(area.y, cy - ry); y <= std::min(area.y + area.h - 1, cy + ry); ++y) {
    auto* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(s->pixels) +
                                          static_cast<std::ptrdiff_t>(y) * s->pitch);
    for (int x = std::max(area.x, cx - rx); x <= std::min(area.x + area.w - 1, cx + rx); ++x) {
      const long dx = x - cx, dy = y - cy;
      if (dx * dx * ry2 + dy * dy * rx2 <= rx2 * ry2) row[x] = pixel;
    }
  }
}

void Disc(SDL_Surface* s, int cx, int cy, int r, Rgb colour) {
  Ellipse(s, {0, 0, s->w, s->h}, cx, cy, r, r, colour);
}

void Line(SDL_Surface* s, int x0, int y0, int x1, int y1, int thickness, Rgb colour) {
  const int steps = std::max({std::abs(x1 - x0), std::abs(y1 - y0), 1});
  for (int i = 0; i <= steps; ++i) {
    const int x = x0 + ((x1 - x0) * i * 2 + steps) / (2 * steps);
    const int y = y0 + ((y1 - y0) * i * 2 + steps) / (2 * steps);
    Fill(s, {x - thickness / 2, y - thickness / 2, thickness, thickness}, colour);
  }
}

// A digit in seven drawn segments, for the pictures that must show a number even
// without a font.
void Segments(SDL_Surface* s, const SDL_Rect& box, int digit, int stroke, Rgb colour) {
  // Bits a (top), b (upper right), c (lower right), d (bottom), e (lower left),
  // f (upper left), g (middle).
  constexpr std::uint8_t kLit[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};
  const int left = box.x, right = box.x + box.w - stroke;
  const int top = box.y, middle = box.y + (box.h - stroke) / 2, bottom = box.y + box.h - stroke;
  const SDL_Rect segment[7] = {
      {left, top, box.w, stroke},
      {right, top, stroke, middle - top + stroke},
      {right, middle, stroke, bottom - middle + stroke},
      {left, bottom, box.w, stroke},
      {left, middle, stroke, bottom - middle + stroke},
      {left, top, stroke, middle - top + stroke},
      {left, middle, box.w, stroke},
  };
  for (int i = 0; i < 7; ++i) {
    if (kLit[digit % 10] & (1u << i)) Fill(s, segment[i], colour);
  }
}

enum class Align { kLeft, kCentre, kRight };

// Writes the text in the box, centred vertically and aligned horizontally, with a copy
// one pixel down and right in `shadow` when one is given. False when there is no font.
bool Text(const Canvas& c, const SDL_Rect& box, std::string_view text, int size, bool bold,
          Rgb colour, Align align = Align::kCentre, std::optional<Rgb> shadow = std::nullopt) {
  TTF_Font* font = c.Font(size, bold);
  if (font == nullptr) return false;
  const std::string copy(text);
  int w = 0, h = 0;
  if (TTF_SizeUTF8(font, copy.c_str(), &w, &h) != 0) return false;
  const int x = align == Align::kLeft     ? box.x
                : align == Align::kCentre ? box.x + (box.w - w) / 2
                                          : box.x + box.w - w;
  const int y = box.y + (box.h - h) / 2;
  if (shadow) WriteText(c.surface, font, text, *shadow, x + 1, y + 1);
  WriteText(c.surface, font, text, colour, x, y);
  return true;
}

// A number in the font, or in segments as high as the box without one.
void Number(const Canvas& c, const SDL_Rect& box, int value, int size, Rgb colour,
            std::optional<Rgb> shadow = std::nullopt) {
  const std::string digits = std::to_string(value);
  if (Text(c, box, digits, size, true, colour, Align::kCentre, shadow)) return;
  const int height = std::min(box.h, size), stroke = std::max(1, height / 7);
  const int width = std::max(3 * stroke, height * 5 / 9), gap = stroke + 1;
  const int count = static_cast<int>(digits.size());
  int x = box.x + (box.w - (count * width + (count - 1) * gap)) / 2;
  for (const char digit : digits) {
    Segments(c.surface, {x, box.y + (box.h - height) / 2, width, height}, digit - '0', stroke,
             colour);
    x += width + gap;
  }
}

// ---- Window backgrounds

// A wooden panel in a gold frame, filling the rectangle.
void Panel(SDL_Surface* s, const SDL_Rect& r) {
  Gradient(s, r, kWoodLight, kWoodDark);
  Frame(s, r, kEdge);
  Frame(s, Inset(r, 1), kGold, 2);
  Frame(s, Inset(r, 3), kEdge);
}

// A darker recess in a panel, where the cards or the text boxes of a window lie.
void Recess(SDL_Surface* s, const SDL_Rect& r) {
  Fill(s, r, {40, 23, 10});
  Frame(s, r, kLogBrown);
}

void Title(const Canvas& c, const SDL_Rect& box, std::string_view text, int size = 14) {
  Text(c, box, text, size, true, kGold, Align::kCentre, kBlack);
}

void Caption(const Canvas& c, const SDL_Rect& box, std::string_view text, int size = 11) {
  Text(c, box, text, size, false, kCream, Align::kCentre, kBlack);
}

void LoginWindow(const Canvas& c) {
  SDL_Surface* s = c.surface;
  Panel(s, c.Whole());
  // The title strip, under the close button at its right end.
  Fill(s, {4, 4, 342, 28}, kEdge);
  Fill(s, {4, 32, 342, 1}, kGold);
  const std::string title =
      c.productName.empty() ? "로그인" : std::string(c.productName) + "  로그인";
  Text(c, {14, 4, 280, 28}, title, 14, true, kGold, Align::kLeft);
  Title(c, {0, 44, 350, 34}, c.productName.empty() ? "맞고" : c.productName, 26);
  Caption(c, {0, 78, 350, 18}, "맞고 · 화투 한 판", 12);
  // The two text boxes are drawn by the window over the recess; their labels stand
  // before them.
  Recess(s, {16, 104, 318, 150});
  Text(c, {20, 114, 92, 20}, "게임명", 13, true, kCream, Align::kRight, kBlack);
  Text(c, {20, 152, 92, 20}, "비밀번호", 13, true, kCream, Align::kRight, kBlack);
  Text(c, {28, 200, 200, 18}, "게임명과 비밀번호를 입력하고", 12, false, kCream, Align::kLeft);
  Text(c, {28, 220, 200, 18}, "[확인]을 누르세요.", 12, false, kCream, Align::kLeft);
  Text(c, {0, 322, 350, 20}, "처음 오셨나요? 회원가입 후 즐기세요", 11, false, {214, 190, 140});
}

void ShakeWindow(const Canvas& c) {
  Panel(c.surface, c.Whole());
  Recess(c.surface, {64, 6, 150, 65});  // the cards of the month
  Title(c, {6, 14, 58, 20}, "흔들기");
  Caption(c, {6, 36, 58, 16}, "흔드시");
  Caption(c, {6, 52, 58, 16}, "겠습니까?");
}

void SelectWindow(const Canvas& c) {
  Panel(c.surface, c.Whole());
  Recess(c.surface, {26, 10, 110, 67});  // the two cards to choose from
  Caption(c, {0, 80, 163, 18}, "가져올 패를 고르세요", 11);
}

void ShownCardsWindow(const Canvas& c, std::string_view title, std::string_view line) {
  Panel(c.surface, c.Whole());
  Recess(c.surface, {10, 62, c.surface->w - 20, 62});  // the three or four cards
  Title(c, {0, 42, c.surface->w, 20}, title);
  Caption(c, {0, 124, c.surface->w, 18}, line);
}

void GoStopWindow(const Canvas& c) {
  Panel(c.surface, c.Whole());
  Title(c, {0, 10, 223, 24}, "고 하시겠습니까?");
  Text(c, {20, 104, 36, 14}, "시간", 10, false, kCream, Align::kLeft);
}

void SeptemberWindow(const Canvas& c) {
  Panel(c.surface, c.Whole());
  Title(c, {0, 8, 223, 18}, "9월 열끗(국진)을", 13);
  Title(c, {0, 26, 223, 18}, "쌍피로 쓰시겠습니까?", 13);
  Caption(c, {0, 45, 223, 16}, "예: 쌍피 · 아니요: 열끗", 10);
}

void ResultWindow(const Canvas& c) {
  Panel(c.surface, c.Whole());
  Recess(c.surface, {82, 14, 214, 140});  // the texts of the result
  Title(c, {4, 60, 76, 24}, "게임 결과");
}

void DrawnResultWindow(const Canvas& c) {
  Panel(c.surface, c.Whole());
  Title(c, {0, 12, 306, 20}, "게임 결과", 12);
  Text(c, {0, 40, 306, 44}, "무승부", 32, true, kCream, Align::kCentre, kBlack);
  Caption(c, {0, 90, 306, 20}, "이번 판은 나가리입니다", 12);
}

// ---- Buttons

enum class Glyph { kNone, kMinimise, kMaximise, kRestore, kClose, kGear };

void DrawGlyph(SDL_Surface* s, const SDL_Rect& box, Glyph glyph, Rgb colour, Rgb face) {
  const int cx = box.x + box.w / 2, cy = box.y + box.h / 2;
  switch (glyph) {
    case Glyph::kMinimise:
      Fill(s, {cx - 5, cy + 2, 11, 2}, colour);
      break;
    case Glyph::kMaximise:
      Frame(s, {cx - 5, cy - 4, 11, 9}, colour);
      Fill(s, {cx - 5, cy - 4, 11, 2}, colour);
      break;
    case Glyph::kRestore:
      Frame(s, {cx - 2, cy - 5, 8, 7}, colour);
      Fill(s, {cx - 2, cy - 5, 8, 2}, colour);
      Fill(s, {cx - 5, cy - 2, 8, 7}, face);
      Frame(s, {cx - 5, cy - 2, 8, 7}, colour);
      Fill(s, {cx - 5, cy - 2, 8, 2}, colour);
      break;
    case Glyph::kClose:
      Line(s, cx - 4, cy - 4, cx + 4, cy + 4, 2, colour);
      Line(s, cx + 4, cy - 4, cx - 4, cy + 4, 2, colour);
      break;
    case Glyph::kGear:
      for (int tooth = 0; tooth < 4; ++tooth) {
        const int dx[] = {0, 6, 4, 4}, dy[] = {6, 0, 4, -4};
        Fill(s, {cx + dx[tooth] - 1, cy + dy[tooth] - 1, 3, 3}, colour);
        Fill(s, {cx - dx[tooth] - 1, cy - dy[tooth] - 1, 3, 3}, colour);
      }
      Disc(s, cx, cy, 5, colour);
      Disc(s, cx, cy, 2, face);
      break;
    case Glyph::kNone:
      break;
  }
}

// What a button shows: a label in the font, or a glyph drawn with lines (the title-bar
// buttons, too small for words).
struct ButtonLabel {
  std::string_view text;
  int size = 14;
  Glyph glyph = Glyph::kNone;
};

// One face of a button in the rectangle: raised with a light top edge, or pushed in
// (darker, the label one pixel down and right).
void ButtonFace(const Canvas& c, const SDL_Rect& r, Rgb face, const ButtonLabel& label,
                bool pressed) {
  SDL_Surface* s = c.surface;
  Fill(s, r, kEdge);
  Frame(s, Inset(r, 1), pressed ? Shade(kGold, 70) : kGold);
  const SDL_Rect inner = Inset(r, 2);
  if (pressed) {
    Gradient(s, inner, Shade(face, 45), Shade(face, 70));
    Fill(s, {inner.x, inner.y, inner.w, 2}, Shade(face, 30));
  } else {
    const int upper = inner.h / 2;
    Gradient(s, {inner.x, inner.y, inner.w, upper}, Lighten(face, 70), Lighten(face, 25));
    Gradient(s, {inner.x, inner.y + upper, inner.w, inner.h - upper}, face, Shade(face, 75));
    Fill(s, {inner.x, inner.y + inner.h - 1, inner.w, 1}, Shade(face, 50));
  }
  const int shift = pressed ? 1 : 0;
  const SDL_Rect box{inner.x + shift, inner.y + shift, inner.w, inner.h};
  const Rgb faceUnder = pressed ? Shade(face, 58) : face;
  const Rgb ink = IsLight(face) ? kInk : kCream;
  if (label.glyph != Glyph::kNone) {
    DrawGlyph(s, box, label.glyph, pressed ? Shade(ink, 80) : ink, faceUnder);
  } else {
    Text(c, box, label.text, label.size, true, pressed ? Shade(ink, 85) : ink, Align::kCentre,
         IsLight(face) ? std::optional<Rgb>{} : std::optional<Rgb>{kBlack});
  }
}

// A strip of two faces side by side: raised at x 0, pushed in at x = the face's width.
void TwoFaces(const Canvas& c, Rgb face, const ButtonLabel& label) {
  const int w = c.surface->w / 2, h = c.surface->h;
  ButtonFace(c, {0, 0, w, h}, face, label, false);
  ButtonFace(c, {w, 0, w, h}, face, label, true);
}

// ---- Cards

void CardBase(SDL_Surface* s, const SDL_Rect& r, Rgb face) {
  Fill(s, r, face);
  Frame(s, r, kCardEdge);
}

// A month card: its month large, its kind on a coloured band below.
void MonthCard(const Canvas& c, const SDL_Rect& r, int card) {
  SDL_Surface* s = c.surface;
  CardBase(s, r, kCardFace);
  Number(c, {r.x + 2, r.y + 6, r.w - 4, 24}, MonthOfCardNumber(card), 18, kCardEdge);
  // A double junk has a darker band than a plain one, so the two differ without a font.
  const bool doubleJunk = MarkOfCardNumber(card) == kMarkDoubleJunk;
  Rgb band = doubleJunk ? Rgb{188, 156, 104} : Rgb{214, 200, 160}, ink = kInk;
  std::string_view kind = doubleJunk ? "쌍피" : "피";
  switch (KindOfCardNumber(card)) {
    case kBright:
      band = {222, 172, 40}, kind = "광";
      break;
    case kAnimal:
      band = {52, 128, 72}, ink = kWhite, kind = "열";
      break;
    case kRibbon:
      band = MarkOfCardNumber(card) == kMarkBlueRibbon ? Rgb{44, 78, 170} : Rgb{196, 44, 44};
      ink = kWhite, kind = "띠";
      break;
    default:
      break;
  }
  const SDL_Rect strip{r.x + 3, r.y + 34, r.w - 6, 17};
  Fill(s, strip, band);
  Text(c, strip, kind, 11, true, ink);
}

void ServiceCard(const Canvas& c, const SDL_Rect& r, int which) {
  constexpr Rgb kBands[] = {
      {214, 160, 36}, {50, 100, 190}, {210, 100, 140}, {56, 146, 78}, {128, 88, 176}};
  SDL_Surface* s = c.surface;
  CardBase(s, r, kCardFace);
  const Rgb band = kBands[which % 5];
  Fill(s, {r.x + 3, r.y + 3, r.w - 6, 12}, band);
  Fill(s, {r.x + 3, r.y + 40, r.w - 6, 12}, band);
  Text(c, {r.x + 3, r.y + 3, r.w - 6, 12}, "보너스", 9, true, kWhite);
  Text(c, {r.x + 3, r.y + 40, r.w - 6, 12}, "쌍피", 9, true, kWhite);
  if (!Text(c, {r.x, r.y + 16, r.w, 23}, "×2", 15, true, kInk)) {
    Number(c, {r.x, r.y + 18, r.w, 18}, 2, 18, kInk);
  }
}

void CardBack(SDL_Surface* s, const SDL_Rect& r) {
  CardBase(s, r, {168, 28, 28});
  Frame(s, Inset(r, 3), kGold);
  Fill(s, Inset(r, 5), {136, 20, 22});
  Disc(s, r.x + r.w / 2, r.y + r.h / 2, 8, kGold);
  Disc(s, r.x + r.w / 2, r.y + r.h / 2, 5, {168, 28, 28});
}

// The blank card a player receives after a bomb.
void BombCard(const Canvas& c, const SDL_Rect& r) {
  SDL_Surface* s = c.surface;
  CardBase(s, r, {64, 64, 72});
  Line(s, r.x + 18, r.y + 20, r.x + 25, r.y + 11, 2, {200, 180, 120});
  Disc(s, r.x + 26, r.y + 10, 2, {255, 160, 30});
  Disc(s, r.x + 17, r.y + 26, 9, {16, 16, 18});
  Disc(s, r.x + 14, r.y + 23, 2, {110, 110, 120});
  Text(c, {r.x, r.y + 39, r.w, 14}, "폭탄", 10, true, kGold);
}

// The overlays are drawn see-through: only their frame and badge cover the card.
void Overlay(const Canvas& c, const SDL_Rect& r, Rgb frame, Rgb badge, std::string_view letter) {
  SDL_Surface* s = c.surface;
  Fill(s, r, kMagentaKey);
  Frame(s, r, frame, 2);
  if (letter.empty()) {
    // The match mark: a small triangle pointing down at the top edge.
    for (int row = 0; row < 5; ++row)
      Fill(s, {r.x + r.w / 2 - 5 + row, r.y + 2 + row, 11 - 2 * row, 1}, frame);
    return;
  }
  Disc(s, r.x + r.w / 2, r.y + r.h - 11, 7, badge);
  Text(c, {r.x, r.y + r.h - 18, r.w, 14}, letter, 9, true, kWhite);
}

// The mission box's capture marker: a check in a circle of the capturing seat's colour.
void MissionMarker(SDL_Surface* s, const SDL_Rect& r, Rgb colour) {
  Fill(s, r, kMagentaKey);
  const int cx = r.x + r.w / 2, cy = r.y + r.h / 2;
  Disc(s, cx, cy, 14, kWhite);
  Disc(s, cx, cy, 12, colour);
  Line(s, cx - 7, cy, cx - 2, cy + 5, 3, kWhite);
  Line(s, cx - 2, cy + 5, cx + 7, cy - 5, 3, kWhite);
}

void CardSheet(const Canvas& c) {
  SDL_Surface* s = c.surface;
  Fill(s, c.Whole(), kMagentaKey);
  for (int cell = 0; cell < kCardImages; ++cell) {
    const SDL_Rect r{(cell % kCardSheetColumns) * kCardWidth,
                     (cell / kCardSheetColumns) * kCardHeight, kCardWidth, kCardHeight};
    const int image = cell + 1;
    if (image <= kMonthCards) {
      MonthCard(c, r, cell);
    } else if (image == kCardBackImage) {
      CardBack(s, r);
    } else if (image == kBombCardImage) {
      BombCard(c, r);
    } else if (image == kMatchOverlayImage) {
      Overlay(c, r, {255, 214, 0}, {}, "");
    } else if (image < kMissionMarkerImage) {
      ServiceCard(c, r, image - FaceImage(kMonthCards));
    } else if (image < kBombCandidateImage) {
      MissionMarker(s, r, image == kMissionMarkerImage ? Rgb{40, 96, 200} : Rgb{200, 40, 40});
    } else if (image == kBombCandidateImage) {
      Overlay(c, r, {230, 40, 40}, {200, 30, 30}, "폭");
    } else {
      Overlay(c, r, {0, 200, 230}, {30, 110, 200}, "흔");
    }
  }
}

// ---- The smaller board pictures

// The avatar cells, 100 x 120, drawn see-through: a figure per column and row (men in
// the first row, women in the second, the computer in the third).
void Avatars(const Canvas& c) {
  constexpr Rgb kShirts[] = {{60, 100, 170}, {170, 60, 60},  {60, 140, 90},
                             {150, 110, 40}, {110, 70, 150}, {60, 130, 140}};
  constexpr Rgb kSkinTone{236, 200, 162}, kHair{62, 40, 28};
  SDL_Surface* s = c.surface;
  Fill(s, c.Whole(), kMagentaKey);
  for (int row = 0; row * 120 < s->h; ++row) {
    for (int column = 0; column * 100 < s->w; ++column) {
      const SDL_Rect cell{column * 100, row * 120, 100, 120};
      const int cx = cell.x + 50, top = cell.y;
      const Rgb shirt = kShirts[column % 6];
      if (row == 2) {  // the computer
        Ellipse(s, cell, cx, top + 122, 40, 40, {90, 90, 100});
        Fill(s, {cx - 22, top + 26, 44, 44}, {150, 150, 162});
        Frame(s, {cx - 22, top + 26, 44, 44}, {70, 70, 80}, 2);
        Fill(s, {cx - 12, top + 40, 8, 8}, {0, 200, 230});
        Fill(s, {cx + 4, top + 40, 8, 8}, {0, 200, 230});
        Fill(s, {cx - 2, top + 14, 4, 12}, {70, 70, 80});
        Disc(s, cx, top + 13, 4, {230, 60, 60});
        continue;
      }
      if (row == 1) Fill(s, {cx - 23, top + 46, 46, 34}, kHair);  // long hair
      Ellipse(s, cell, cx, top + 122, 40, 42, shirt);
      Disc(s, cx, top + 44, 23, kHair);
      Disc(s, cx, top + 50, 19, kSkinTone);
      Fill(s, {cx - 8, top + 48, 4, 4}, kEdge);
      Fill(s, {cx + 4, top + 48, 4, 4}, kEdge);
      Fill(s, {cx - 5, top + 59, 10, 2}, {170, 80, 70});
    }
  }
}

// The mission box opening: closed doors in frame 0, open wider in each frame after, the
// card panel in frame 4.
void MissionBox(const Canvas& c) {
  SDL_Surface* s = c.surface;
  for (int frame = 0; frame < 5; ++frame) {
    const SDL_Rect box{210 * frame, 0, 210, 115};
    Fill(s, box, kCardFace);
    Frame(s, box, kEdge);
    Frame(s, Inset(box, 1), kGold, 2);
    const int door = 105 * (4 - frame) / 4;
    if (door == 0) continue;
    for (const SDL_Rect d :
         {SDL_Rect{box.x, 0, door, 115}, SDL_Rect{box.x + 210 - door, 0, door, 115}}) {
      Fill(s, d, {110, 28, 22});
      Frame(s, d, kEdge);
      if (d.w > 8) Frame(s, Inset(d, 4), kGold);
    }
    if (frame == 0) {
      Disc(s, box.x + 105, 57, 27, kGold);
      Disc(s, box.x + 105, 57, 24, {110, 28, 22});
      Text(c, {box.x + 75, 42, 60, 30}, "미션", 15, true, kGold);
    }
  }
}

// The nameplate under the mission cards: a ribbon with "성공" in frame 0, a grey one with
// "실패" in frame 1; see-through around the ribbon.
void MissionPlate(const Canvas& c) {
  SDL_Surface* s = c.surface;
  Fill(s, c.Whole(), kMagentaKey);
  for (int frame = 0; frame < 2; ++frame) {
    const int x = 210 * frame;
    const bool success = frame == 0;
    const SDL_Rect ribbon{x + 14, 73, 184, 28};
    Fill(s, ribbon, success ? Rgb{250, 238, 200} : Rgb{196, 196, 200});
    Frame(s, ribbon, success ? kGold : Rgb{120, 120, 126});
    Disc(s, x + 30, 87, 17, kWhite);
    Disc(s, x + 30, 87, 15, success ? Rgb{200, 36, 36} : Rgb{110, 110, 116});
    Text(c, {x + 14, 80, 32, 14}, success ? "성공" : "실패", 10, true, kWhite);
    if (!success) Text(c, {x + 60, 73, 130, 28}, "다음 기회에...", 12, true, {70, 70, 76});
  }
}

void MissionBadges(const Canvas& c) {
  SDL_Surface* s = c.surface;
  Fill(s, c.Whole(), kCardFace);
  for (int multiple = 2; multiple <= 3; ++multiple) {
    const int x = 55 * (multiple - 2);
    Disc(s, x + 27, 27, 25, kGold);
    Disc(s, x + 27, 27, 21, {190, 32, 32});
    if (!Text(c, {x, 14, 55, 26}, std::to_string(multiple) + "배", 16, true, kWhite)) {
      Number(c, {x, 16, 55, 22}, multiple, 22, kWhite);
    }
  }
}

void TurnMarker(const Canvas& c) {
  Fill(c.surface, c.Whole(), kCardFace);
  Disc(c.surface, 10, 11, 9, kGold);
  Disc(c.surface, 10, 11, 6, {210, 36, 30});
}

// A strip of the digits 0 to 9 in cells of 10 x 14, always in segments: they are read at
// a glance and must not depend on a font.
void DigitStrip(const Canvas& c, Rgb colour) {
  Fill(c.surface, c.Whole(), {26, 30, 34});
  for (int digit = 0; digit < 10; ++digit)
    Segments(c.surface, {10 * digit + 2, 1, 6, 12}, digit, 2, colour);
}

void Countdown(const Canvas& c) {
  Fill(c.surface, c.Whole(), kMagentaKey);
  for (int n = 1; n <= 5; ++n) {
    const int cx = 40 * (n - 1) + 20;
    Disc(c.surface, cx, 20, 19, kGold);
    Disc(c.surface, cx, 20, 16, {200, 32, 30});
    Number(c, {cx - 20, 4, 40, 32}, n, 26, kWhite, kBlack);
  }
}

// The bomb going off over a card: the bomb, a small flash, a large one, smoke.
void BombFrames(const Canvas& c) {
  SDL_Surface* s = c.surface;
  for (int frame = 0; frame < 4; ++frame) {
    const SDL_Rect r{kCardWidth * frame, 0, kCardWidth, kCardHeight};
    const int cx = r.x + r.w / 2, cy = r.y + 27;
    switch (frame) {
      case 0:
        BombCard(c, r);
        break;
      case 1:
        CardBase(s, r, {64, 64, 72});
        Disc(s, cx, cy, 10, {255, 130, 20});
        Disc(s, cx, cy, 6, {255, 230, 80});
        break;
      case 2:
        CardBase(s, r, {64, 64, 72});
        Disc(s, cx, cy, 16, {240, 90, 20});
        Disc(s, cx, cy, 11, {255, 200, 40});
        Disc(s, cx, cy, 5, kWhite);
        break;
      default:
        CardBase(s, r, {64, 64, 72});
        Disc(s, cx - 6, cy + 3, 8, {150, 150, 156});
        Disc(s, cx + 6, cy + 3, 8, {170, 170, 176});
        Disc(s, cx, cy - 5, 9, {190, 190, 196});
        break;
    }
  }
}

void StartButton(const Canvas& c) {
  ButtonFace(c, c.Whole(), kButtonRed, {"게임 시작", 24}, false);
}

// ---- The table of stand-ins

using Paint = void (*)(const Canvas&);

struct StandIn {
  std::string_view file;
  int width, height;
  Paint paint;
};

// clang-format off
const StandIn kStandIns[] = {
    {"btn_GameMenu_Exit2.gif", 62, 19, [](const Canvas& c) { TwoFaces(c, kButtonRed, {"", 0, Glyph::kClose}); }},
    {"btn_GameMenu_Max.gif", 62, 19, [](const Canvas& c) { TwoFaces(c, kButtonBrown, {"", 0, Glyph::kMaximise}); }},
    {"btn_GameMenu_Min.gif", 62, 19, [](const Canvas& c) { TwoFaces(c, kButtonBrown, {"", 0, Glyph::kMinimise}); }},
    {"btn_GameMenu_Res.gif", 62, 19, [](const Canvas& c) { TwoFaces(c, kButtonBrown, {"", 0, Glyph::kRestore}); }},
    {"btn_GameMenu_Option.gif", 62, 19, [](const Canvas& c) { TwoFaces(c, kButtonBrown, {"", 0, Glyph::kGear}); }},
    {"btn_WaitMenu_Exit.gif", 80, 24, [](const Canvas& c) { TwoFaces(c, kButtonRed, {"", 0, Glyph::kClose}); }},
    {"btn_GameStart.gif", 179, 55, StartButton},
    {"btn_HwatableMenu_Go.gif", 188, 59, [](const Canvas& c) { TwoFaces(c, kButtonRed, {"고", 28}); }},
    {"btn_HwatableMenu_Stop.gif", 188, 59, [](const Canvas& c) { TwoFaces(c, kButtonBlue, {"스톱", 26}); }},
    {"btn_GukJin_Yes.gif", 150, 34, [](const Canvas& c) { TwoFaces(c, kButtonGreen, {"예", 16}); }},
    {"btn_GukJin_No.gif", 150, 34, [](const Canvas& c) { TwoFaces(c, kButtonRed, {"아니요", 15}); }},
    {"btn_LoginHome.gif", 190, 49, [](const Canvas& c) { TwoFaces(c, kButtonBrown, {"홈페이지", 16}); }},
    {"btn_LoginLoss.gif", 190, 49, [](const Canvas& c) { TwoFaces(c, kButtonBrown, {"정보찾기", 16}); }},
    {"btn_LoginMember.gif", 190, 49, [](const Canvas& c) { TwoFaces(c, kButtonBrown, {"회원가입", 16}); }},
    {"btn_LoginOK.gif", 114, 49, [](const Canvas& c) { TwoFaces(c, kButtonRed, {"확인", 18}); }},
    {"btn_ResultOK.gif", 198, 40, [](const Canvas& c) { TwoFaces(c, kButtonGold, {"확인", 18}); }},
    {"img_groom.jpg", 800, 600, [](const Canvas& c) { Fill(c.surface, c.Whole(), kTableGreen); }},
    {"whatoo.gif", kCardSheetColumns * kCardWidth, kCardImages / kCardSheetColumns * kCardHeight, CardSheet},
    {"img_Avatas.gif", 600, 360, Avatars},
    {"img_Mission.gif", 1050, 115, MissionBox},
    {"img_MissionGubun.gif", 420, 115, MissionPlate},
    {"img_Sun.gif", 21, 22, TurnMarker},
    {"num_current.gif", 100, 14, [](const Canvas& c) { DigitStrip(c, {236, 184, 60}); }},
    {"num_state.gif", 100, 14, [](const Canvas& c) { DigitStrip(c, {90, 206, 232}); }},
    {"num_Mission_BeSu.gif", 110, 55, MissionBadges},
    {"img_Countdown.gif", 200, 40, Countdown},
    {"img_Bomb.gif", 144, 55, BombFrames},
    {"pop_Window_Login.gif", 350, 354, LoginWindow},
    {"pop_Window_Wave.gif", 223, 148, ShakeWindow},
    {"pop_Window_Select.gif", 163, 126, SelectWindow},
    {"pop_Window_WaveOK.gif", 223, 148, [](const Canvas& c) { ShownCardsWindow(c, "흔들기 선언!", "한 판 두 배"); }},
    {"pop_Window_Chong.gif", 223, 148, [](const Canvas& c) { ShownCardsWindow(c, "총통!", "네 장이 모두 모였습니다"); }},
    {"pop_Window_Hwatable.gif", 223, 148, GoStopWindow},
    {"pop_Window_GukJin.gif", 223, 148, SeptemberWindow},
    {"pop_Window_Result.gif", 306, 208, ResultWindow},
    {"pop_Window_Result2.gif", 306, 208, DrawnResultWindow},
};
// clang-format on

}  // namespace

Surface DrawStandIn(std::string_view fileName, const FontSource& fonts,
                    std::string_view productName) {
  for (const StandIn& standIn : kStandIns) {
    if (standIn.file != fileName) continue;
    Surface surface = NewSurface(standIn.width, standIn.height);
    if (surface) standIn.paint(Canvas{surface.get(), fonts, productName});
    return surface;
  }
  return nullptr;
}

}  // namespace hw::ui
