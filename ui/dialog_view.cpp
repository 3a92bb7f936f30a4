#include "ui/dialog_view.h"

#include "mainwindow/main_window.h"

namespace hw::ui {
namespace {

constexpr Rgb kCyan{0, 255, 255};
constexpr Rgb kYellowSquare{255, 255, 0};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlack{0, 0, 0};

// Where each dialog stands over the board, and its size.
SDL_Rect Placement(DialogKind dialog) {
  switch (dialog) {
    case DialogKind::kSelect:
      return {208, 237, 163, 126};
    case DialogKind::kResult:
      return {132, 206, 306, 208};
    default:
      return {189, 228, 223, 148};
  }
}

struct Countdown {
  int x0, x1, y0, y1;
  Rgb colour;
};
std::optional<Countdown> CountdownOf(DialogKind dialog) {
  switch (dialog) {
    case DialogKind::kShake:
      return Countdown{91, 99, 77, 85, kCyan};
    case DialogKind::kSelect:
      return Countdown{33, 41, 104, 112, kCyan};
    case DialogKind::kGoStop:
      return Countdown{60, 68, 107, 115, kCyan};
    case DialogKind::kSeptember:
      return Countdown{79, 87, 65, 73, kCyan};
    case DialogKind::kResult:
      return Countdown{81, 89, 180, 188, kYellowSquare};
    case DialogKind::kCommon:
      break;
  }
  return std::nullopt;
}

}  // namespace

SdlDialogs::SdlDialogs(const GameState& state, const Skin& skin, FontSource fonts)
    : state_(state), skin_(skin), fonts_(std::move(fonts)) {}

void SdlDialogs::Text(Shown& shown, std::string_view text, int pixelSize, bool bold, Rgb colour,
                      int x, int y) {
  WriteShadowText(shown.picture.get(), fonts_(pixelSize, bold), text, colour, kBlack, 1, x, y);
}

void SdlDialogs::DrawCard(Shown& shown, int card, int x, int y, bool selected) {
  if (card < 0) return;
  Copy(skin_.Card(FaceImage(card)), {0, 0, kCardWidth, kCardHeight}, shown.picture.get(), x, y);
  if (selected) {
    Surface tint = NewSurface(kCardWidth, kCardHeight, {0, 0, 160});
    SDL_SetSurfaceBlendMode(tint.get(), SDL_BLENDMODE_BLEND);
    SDL_SetSurfaceAlphaMod(tint.get(), 110);
    SDL_Rect at{x, y, kCardWidth, kCardHeight};
    SDL_BlitSurface(tint.get(), nullptr, shown.picture.get(), &at);
  }
}

void SdlDialogs::Open(DialogKind dialog) {
  Shown& shown = Slot(dialog);
  shown.place = Placement(dialog);
  SDL_Surface* background = nullptr;
  const 클래스_변수& result = state_.Result;
  switch (dialog) {
    case DialogKind::kShake:
      background = skin_.shakeWindow.get();
      break;
    case DialogKind::kSelect:
      background = skin_.selectWindow.get();
      break;
    case DialogKind::kGoStop:
      background = skin_.goStopWindow.get();
      break;
    case DialogKind::kSeptember:
      background = skin_.septemberWindow.get();
      break;
    case DialogKind::kCommon:
      background =
          result.ShownAreShake ? skin_.shownCardsWindow.get() : skin_.chongtongWindow.get();
      break;
    case DialogKind::kResult:
      background = result.HasWinner ? skin_.resultWindow.get() : skin_.resultPlainWindow.get();
      break;
  }
  shown.picture = NewSurface(shown.place.w, shown.place.h, {255, 0, 255});
  Copy(background, {0, 0, shown.place.w, shown.place.h}, shown.picture.get(), 0, 0);
  // The outline is cut from the background picture.
  SDL_Surface* outline = background;
  shown.region = ShapeWindow(
      shown.place.w, shown.place.h, [outline](int x, int y) -> std::optional<std::uint32_t> {
        if (outline == nullptr || x < 0 || y < 0 || x >= outline->w || y >= outline->h) {
          return std::nullopt;
        }
        const auto* row = static_cast<const Uint8*>(outline->pixels) +
                          static_cast<std::ptrdiff_t>(y) * outline->pitch;
        return reinterpret_cast<const Uint32*>(row)[x] & 0xFFFFFFu;
      });

  for (int button = 0; button < 2; ++button)
    DrawButton(dialog, button, false);
  switch (dialog) {
    case DialogKind::kShake:
      if (window_ != nullptr) {
        const int month = state_.Card(window_->Shake().Card()).Month;
        int k = 0;
        for (int card = 0; card < kMonthCards; ++card) {
          if (state_.Card(card).Month == month && state_.Card(card).Location == kHuman) {
            DrawCard(shown, card, 69 + 51 * k++, 11, false);
          }
        }
      }
      break;
    case DialogKind::kSelect:
      if (window_ != nullptr) {
        DrawCard(shown, window_->Select().Choice().First, 32, 16, false);
        DrawCard(shown, window_->Select().Choice().Second, 93, 16, false);
      }
      break;
    case DialogKind::kGoStop:
      if (window_ != nullptr)
        Text(shown, window_->GoStop().AmountText(), 12, true, kWhite, 20, 126);
      break;
    case DialogKind::kCommon: {
      const bool shake = result.ShownAreShake;
      Text(shown, result.ShownOwner + (shake ? "님의 흔듬패" : "님의 총통패"), 12, true, kWhite, 28,
           24);
      for (int i = 0; i < (shake ? 3 : 4); ++i) {
        DrawCard(shown, result.ShownCards[i], (shake ? 43 : 16) + 51 * i, 66, false);
      }
      break;
    }
    case DialogKind::kResult:
      if (result.HasWinner) {
        Text(shown, result.WinnerLine, 16, true, kWhite, 95, 22);
        Text(shown, result.AmountLine, 16, true, {255, 255, 0}, 95, 51);
        if (!result.MultiplierLine.empty()) {
          Text(shown, result.MultiplierLine, 11, false, {0, 255, 0}, 95, 69);
        }
        Text(shown, result.CalculationLine, 16, true, {255, 128, 0}, 95, 90);
        Text(shown, result.LoserLine, 13, true, {192, 192, 192}, 86, 134);
      }
      break;
    case DialogKind::kSeptember:
      break;
  }
  shown.open = true;
}

void SdlDialogs::Close(DialogKind dialog) {
  Shown& shown = Slot(dialog);
  shown.open = false;
  shown.picture.reset();
  shown.region.reset();
}

void SdlDialogs::DrawCountdown(DialogKind dialog, int n) {
  Shown& shown = Slot(dialog);
  const auto countdown = CountdownOf(dialog);
  if (!shown.open || !countdown) return;
  Fill(shown.picture.get(),
       {countdown->x0 + 10 * (n - 1), countdown->y0, countdown->x1 - countdown->x0 + 1,
        countdown->y1 - countdown->y0 + 1},
       countdown->colour);
}

void SdlDialogs::DrawButton(DialogKind dialog, int button, bool pressed) {
  Shown& shown = Slot(dialog);
  if (!shown.picture) return;
  struct Face {
    SDL_Surface* picture;
    int x, y, w, h;
  };
  std::optional<Face> face;
  switch (dialog) {
    case DialogKind::kShake:
    case DialogKind::kSeptember:
      face = button == 0 ? Face{skin_.yesButton.get(), 28, 96, 75, 34}
                         : Face{skin_.noButton.get(), 123, 96, 75, 34};
      break;
    case DialogKind::kGoStop:
      face = button == 0 ? Face{skin_.goButton.get(), 12, 40, 94, 59}
                         : Face{skin_.stopButton.get(), 114, 40, 94, 59};
      break;
    case DialogKind::kResult:
      if (button == 0) face = Face{skin_.resultOk.get(), 198, 164, 99, 40};
      break;
    default:
      break;
  }
  if (!face) return;
  Copy(face->picture, {pressed ? face->w : 0, 0, face->w, face->h}, shown.picture.get(), face->x,
       face->y);
}

void SdlDialogs::DrawChoiceCard(int which, bool selected) {
  Shown& shown = Slot(DialogKind::kSelect);
  if (!shown.open || window_ == nullptr) return;
  const FloorChoice& choice = window_->Select().Choice();
  DrawCard(shown, which == 0 ? choice.First : choice.Second, which == 0 ? 32 : 93, 16, selected);
}

bool SdlDialogs::IsShown(DialogKind dialog) const {
  return Slot(dialog).open;
}

std::optional<SdlDialogs::Hit> SdlDialogs::DialogAt(int x, int y) const {
  // The result dialog, opened last in a hand, lies over the others.
  for (const DialogKind dialog :
       {DialogKind::kResult, DialogKind::kCommon, DialogKind::kGoStop, DialogKind::kSeptember,
        DialogKind::kSelect, DialogKind::kShake}) {
    const Shown& shown = Slot(dialog);
    if (!shown.open || !shown.region) continue;
    const int localX = x - shown.place.x, localY = y - shown.place.y;
    if (shown.region->Contains(localX, localY)) return Hit{dialog, localX, localY};
  }
  return std::nullopt;
}

void SdlDialogs::Compose(SDL_Renderer* renderer) {
  for (const DialogKind dialog : {DialogKind::kShake, DialogKind::kSelect, DialogKind::kSeptember,
                                  DialogKind::kGoStop, DialogKind::kCommon, DialogKind::kResult}) {
    const Shown& shown = Slot(dialog);
    if (!shown.open || !shown.picture || !shown.region) continue;
    // Cut to the outline: every pixel outside it becomes see-through.
    Surface cut = CutOut(shown.picture.get(), {0, 0, shown.place.w, shown.place.h});
    SDL_SetSurfaceBlendMode(cut.get(), SDL_BLENDMODE_BLEND);
    for (int y = 0; y < shown.place.h; ++y) {
      auto* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(cut->pixels) +
                                            static_cast<std::ptrdiff_t>(y) * cut->pitch);
      for (int x = 0; x < shown.place.w; ++x) {
        if (!shown.region->Contains(x, y)) row[x] &= 0x00FFFFFFu;
      }
    }
    Texture texture = ToTexture(renderer, cut.get());
    SDL_SetTextureBlendMode(texture.get(), SDL_BLENDMODE_BLEND);
    SDL_RenderCopy(renderer, texture.get(), nullptr, &shown.place);
  }
}

}  // namespace hw::ui
