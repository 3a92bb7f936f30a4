#include "ui/board_view.h"

#include <algorithm>
#include <filesystem>
#include <vector>

#include "hand/turn.h"
#include "mainwindow/startup.h"
#include "rules/lookups.h"
#include "rules/missions_ranks.h"
#include "rules/money.h"
#include "ui/animation.h"

namespace hw::ui {
namespace {

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kGold{210, 160, 69};
constexpr Rgb kDarkBlue{0, 0, 192};
constexpr Rgb kLightGrey{230, 230, 230};
constexpr Rgb kIndicatorYellow{255, 255, 0};

constexpr SDL_Rect kMissionBox{588, 162, 210, 115};
constexpr SDL_Rect kStartButton{kStartButtonPicture.Left, kStartButtonPicture.Top,
                                kStartButtonPicture.Width, kStartButtonPicture.Height};
constexpr SDL_Rect kGoEffect{192, 233, 200, 132};
constexpr SDL_Rect kCountdown{345, 418, 40, 40};
// The card speed shows in the title strip, right of the room's title.
constexpr SDL_Point kSpeedLabel{440, 6};
constexpr int kPanelX = 590;

// Where the i-th of n mission cards stands in the mission box.
int MissionCardX(int n, int i) {
  return n == 1 ? 62 : n == 2 ? 34 + 38 * i : 25 + 28 * i;
}
constexpr int kTextSize = 11;

// The rows of a player panel: the human's at the bottom, the other's at the top. The
// text rows end where the next begins, the last at the panel's frame (`bottom`).
struct PanelRows {
  int marker, avatar, name, rank, money, gain, score, bottom;
};
constexpr PanelRows kHumanRows{485, 478, 519, 540, 563, 584, 454, 595};
constexpr PanelRows kOtherRows{34, 28, 69, 90, 113, 134, 126, 147};
// The panel's text runs from x 590 to the frame before the avatar.
constexpr int kPanelWidth = 105;

// A panel text in the largest size that fits its row and the panel's width (letters cut
// off and "…" added when even the smallest is too wide).
struct PanelText {
  TTF_Font* font = nullptr;
  std::string text;
};
PanelText FitPanelText(const FontSource& fonts, const std::string& text, bool bold, int rowHeight) {
  constexpr int kSmallest = 7;
  PanelText fitted{nullptr, text};
  for (int size = kTextSize; size >= kSmallest; --size) {
    fitted.font = fonts(size, bold);
    if (fitted.font == nullptr) return fitted;
    // One pixel more each way for the shadow, and one below for letters that sit on
    // the baseline.
    if (TTF_FontAscent(fitted.font) + 2 <= rowHeight &&
        TextWidth(fitted.font, text) + 1 <= kPanelWidth) {
      return fitted;
    }
  }
  const std::string ellipsis = "…";
  while (!fitted.text.empty() && TextWidth(fitted.font, fitted.text + ellipsis) + 1 > kPanelWidth) {
    // The last letter goes: its continuation bytes, then its first byte.
    while ((static_cast<unsigned char>(fitted.text.back()) & 0xC0) == 0x80 &&
           fitted.text.size() > 1)
      fitted.text.pop_back();
    fitted.text.pop_back();
  }
  fitted.text += ellipsis;
  return fitted;
}

}  // namespace

SdlBoard::SdlBoard(const GameState& state, const Skin& skin, FontSource fonts,
                   platform::EventLoop& loop)
    : state_(state), skin_(skin), fonts_(std::move(fonts)), loop_(loop) {
  board_ = NewSurface(800, 600, kTableGreen);
  if (skin_.background) Copy(skin_.background.get(), {0, 0, 800, 600}, board_.get(), 0, 0);
  missionBox_ = NewSurface(kMissionBox.w, kMissionBox.h, kTableGreen);
  Restore(missionBox_.get(), kMissionBox, 0, 0);
  // The window has no frame of its own: the title strip's buttons are always there.
  DrawTitleStrip();
}

bool SdlBoard::IsHuman(int player) const {
  return state_.Player(player).Name == state_.PlayerInfo.Name;
}

void SdlBoard::Restore(const SDL_Rect& area) {
  if (skin_.background) {
    Copy(skin_.background.get(), area, board_.get(), area.x, area.y);
  } else {
    Fill(board_.get(), area, kTableGreen);
  }
  boardChanged_ = true;
  Touch();
}

void SdlBoard::Restore(SDL_Surface* target, const SDL_Rect& boardArea, int x, int y) {
  if (skin_.background) {
    Copy(skin_.background.get(), boardArea, target, x, y);
  } else {
    Fill(target, {x, y, boardArea.w, boardArea.h}, kTableGreen);
  }
}

void SdlBoard::Pace(double seconds) {
  Touch();
  loop_.WaitSeconds(seconds);
}

// ---- Cards

void SdlBoard::ResetBoardIndicators() {
  Touch();
  indicatorVisible_ = false;
  for (JunkLabel& label : junkLabels_)
    label = {};
  countdown_ = 0;
  for (const PanelRows* rows : {&kHumanRows, &kOtherRows}) {
    Restore({396, rows->score, 43, 14});
    for (const int x : {466, 502, 552})
      Restore({x, rows->score, 10, 14});
  }
}

void SdlBoard::ResetCardImages() {
  Touch();
  for (CardControl& control : cards_) {
    control.visible = false;
    control.overlay = 0;
    control.pressed = false;
    control.lift = 0;
  }
}

void SdlBoard::PrepareCardImages(int cardsInPlay) {
  ClearStartButton();  // the hand is played on the floor where the button stood
  for (int card = 0; card < cardsInPlay; ++card) {
    CardControl& control = Control(card);
    control = CardControl{};
    control.image = kCardBackImage;
  }
}

void SdlBoard::HideCard(int card) {
  Control(card).visible = false;
}

void SdlBoard::ShowCardFace(int card) {
  CardControl& control = Control(card);
  control.image = FaceImage(card);
  control.overlay = 0;
  control.visible = true;
  BringToFront(control);
}

void SdlBoard::PlaceCard(int card, int left, int top) {
  CardControl& control = Control(card);
  control.left = left;
  control.top = top;
  control.lift = 0;
  control.visible = true;
  BringToFront(control);
}

void SdlBoard::MoveCard(const MoveRequest& move) {
  CardControl& control = Control(move.Card);
  const MovePlan plan = PlanMove(move);
  if (plan.Zoomed) {
    control.left = plan.ZoomedAt.Left;
    control.top = plan.ZoomedAt.Top;
    control.width = plan.ZoomedAt.Width;
    control.height = plan.ZoomedAt.Height;
    control.image = FaceImage(move.Card);
    Pace(0.5);
  }
  control.visible = true;
  control.lift = 0;
  BringToFront(control);
  if (!plan.Moves) return;
  for (const BoardPoint& step : plan.Steps) {
    control.left = step.Left;
    control.top = step.Top;
    Pace(kMoveStepSeconds);
  }
  control.left = plan.Final.Left;
  control.top = plan.Final.Top;
  control.width = plan.Final.Width;
  control.height = plan.Final.Height;
  BringToFront(control);
  if (plan.ShowFace) control.image = FaceImage(move.Card);
}

void SdlBoard::DealCards(const DealRequest& deal) {
  // The dealt cards leave the pile face down and stay in sight while they travel.
  for (const auto& card : deal.Cards) {
    CardControl& control = Control(card.Number);
    control.left = card.FromX;
    control.top = card.FromY;
    control.visible = true;
    BringToFront(control);
  }
  // The cards take turns, one step each; every step is shown on screen before the next.
  for (const DealStep& step : PlanDeal(deal)) {
    CardControl& control = Control(deal.Cards[step.Index].Number);
    control.left = step.Left;
    control.top = step.Top;
    if (deal.ToFloor) BringToFront(control);
    ++dealSteps_;
    loop_.WaitForFrame();
  }
  for (const auto& card : deal.Cards) {
    CardControl& control = Control(card.Number);
    if (!deal.ToFloor) {
      control.width = deal.Width;
      control.height = deal.Height;
      control.visible = true;
    }
    control.left = card.ToX;
    control.top = card.ToY;
    if (deal.ShowFaces) control.image = FaceImage(card.Number);
  }
}

void SdlBoard::LiftCard(int card, int lift) {
  Control(card).lift = lift;
}

void SdlBoard::DrawCardPressed(int card, bool pressed) {
  Control(card).pressed = pressed;
}

void SdlBoard::HighlightHand(bool on) {
  const SeatCardSet& seat = state_.SeatCards[kHumanSeat];
  for (const int card : seat.Hand) {
    if (card == kNoCard) continue;
    CardControl& control = Control(card);
    if (!on) {
      control.image = FaceImage(card);
      control.overlay = 0;
      continue;
    }
    const bool matches = card < kMonthCards && FloorHasMonth(state_, card);
    if (card >= kMonthCards) {
      control.overlay = kMatchOverlayImage;
    } else if (state_.Card(card).ShakeMark == kShakeCandidate) {
      control.image = FaceImage(card);
      control.overlay = matches ? kBombCandidateImage : kShakeCandidateImage;
    } else if (matches) {
      control.overlay = kMatchOverlayImage;
    }
  }
}

int SdlBoard::CardAt(int x, int y) const {
  int found = kNoCard;
  long topmost = -1;
  for (int card = 0; card < kMaxCardsInPlay; ++card) {
    const CardControl& c = cards_[card];
    const int top = c.top - c.lift;
    if (!c.visible || x < c.left || x >= c.left + c.width || y < top || y >= top + c.height) {
      continue;
    }
    if (c.z > topmost) {
      topmost = c.z;
      found = card;
    }
  }
  return found;
}

// Bomb cards stand in the last hand slots, which the shrunken hand leaves free.
static BoardPoint BombCardPlace(const GameState& state, int player, int index) {
  const SeatCardSet& seat = state.SeatOf(player);
  return seat.HandSlotPos[static_cast<std::size_t>(kHandSlots - 1 - index)];
}

int SdlBoard::HumanBombCardAt(int x, int y) const {
  for (int index = 0; index < kBombCards; ++index) {
    if (!bombs_[kHuman][index].visible) continue;
    const BoardPoint at = BombCardPlace(state_, kHuman, index);
    if (x >= at.Left && x < at.Left + kCardWidth && y >= at.Top && y < at.Top + kCardHeight) {
      return index;
    }
  }
  return -1;
}

void SdlBoard::ShowBombCard(int player, int index) {
  Touch();
  bombs_[player][index] = {true, 0};
}
void SdlBoard::HideBombCard(int player, int index) {
  Touch();
  bombs_[player][index] = {false, 0};
}
void SdlBoard::ShowBombFrame(int index, int frame) {
  Touch();
  bombs_[kHuman][index].frame = frame;
}

// ---- Small controls

void SdlBoard::MoveJunkLabel(int seat, int left, int top) {
  Touch();
  junkLabels_[seat].left = left;
  junkLabels_[seat].top = top;
}

void SdlBoard::SetJunkLabel(int seat, int junkValue) {
  Touch();
  junkLabels_[seat].value = junkValue;
  junkLabels_[seat].visible = junkValue != 0;
}

void SdlBoard::MoveTurnIndicator(bool humanSide) {
  Touch();
  indicator_ = humanSide ? SDL_Rect{387, 479, 198, 118} : SDL_Rect{389, 41, 104, 70};
}

void SdlBoard::ShowTurnIndicator(bool visible) {
  Touch();
  indicatorVisible_ = visible;
}
void SdlBoard::ShowCountdown(int secondsLeft) {
  Touch();
  countdown_ = secondsLeft;
}
void SdlBoard::ShowSpeedLabel(bool visible) {
  Touch();
  speedLabel_ = visible;
}

void SdlBoard::ShowPowerBar(int card, bool visible) {
  Touch();
  powerBar_.visible = visible;
  if (!visible) return;
  const CardControl& control = Control(card);
  powerBar_.left = control.left - 12;
  powerBar_.top = control.top - control.lift - 15;
  powerBar_.segments.fill({0, 105, 0});
}

void SdlBoard::DrawPowerSegment(int level) {
  Touch();
  // Three rounds over the twenty segments: green, then yellow, then red.
  const Rgb colour = level < 20 ? Rgb{0, 255, 0} : level < 40 ? Rgb{255, 255, 0} : Rgb{255, 0, 0};
  powerBar_.segments[static_cast<std::size_t>(level % 20)] = colour;
}

void SdlBoard::ShowGoEffect(int goCount) {
  const std::string path = ImagePath(state_.GameInfo, "eft_GO" + std::to_string(goCount) + ".gif");
  if (!std::filesystem::exists(path)) return;
  goEffect_.SetVisible(false);
  goEffect_.SetStyle(컨트롤_효과::kOwnSize);
  goEffect_.SetTransparentColor(kMagentaKey);
  goEffect_.Move(kGoEffect.x, kGoEffect.y, kGoEffect.w, kGoEffect.h);
  goEffect_.SetPictureFile(path);
  goEffect_.SetVisible(true);
  Pace(1.5);
  goEffect_.SetVisible(false);
  Touch();
}

// ---- Player panels and counters

void SdlBoard::DrawAvatar(int player) {
  const PlayerRecord& who = state_.Player(player);
  const bool human = IsHuman(player);
  const int top = human ? kHumanRows.avatar : kOtherRows.avatar;
  Restore({698, top, 100, 120});
  if (!skin_.avatars) return;
  const SDL_Rect cell =
      human ? SDL_Rect{100 * (who.Avatar - 1), who.VoiceFolder == "M" ? 0 : 120, 100, 120}
            : SDL_Rect{0, 240, 100, 120};
  CopyKeyed(skin_.avatars.get(), cell, board_.get(), 698, top);
}

void SdlBoard::DrawPanelLine(int y, int bottom, const std::string& text, Rgb colour, bool bold) {
  // The whole row is cleared, however tall the letters; the text is set as large as
  // fits the row and the panel's width.
  Restore({kPanelX, y, kPanelWidth, bottom - y});
  const PanelText fitted = FitPanelText(fonts_, text, bold, bottom - y);
  WriteShadowText(board_.get(), fitted.font, fitted.text, colour, kGold, 1, kPanelX, y);
}

void SdlBoard::DrawPlayerPanel(int player) {
  const PlayerRecord& who = state_.Player(player);
  if (who.Name.empty()) return;
  const PanelRows& rows = IsHuman(player) ? kHumanRows : kOtherRows;
  DrawAvatar(player);
  DrawPanelLine(rows.name, rows.rank, who.Name, kBlack, true);
  DrawPanelLine(rows.rank, rows.money, RankOfMoney(state_, who.Money), kBlack, true);
  DrawPanelLine(rows.money, rows.gain, FormatMoney(who.Money), kBlack, false);
  DrawRunningGain(player);
}

void SdlBoard::DrawRunningGain(int player) {
  const PlayerRecord& who = state_.Player(player);
  if (who.RunningGain.empty() || who.RunningGain == "0") return;  // nothing won or lost yet
  const PanelRows& rows = IsHuman(player) ? kHumanRows : kOtherRows;
  DrawPanelLine(rows.gain, rows.bottom, FormatMoney(who.RunningGain), kDarkBlue, false);
}

void SdlBoard::DrawScore(int player) {
  const int score = state_.Player(player).Score;
  if (score == 0) return;
  const int y = IsHuman(player) ? kHumanRows.score : kOtherRows.score;
  Restore({396, y, 43, 14});
  const std::string digits = std::to_string(score);
  int x = 429 - 11 * (static_cast<int>(digits.size()) - 1);
  for (const char digit : digits) {
    Copy(skin_.scoreDigits.get(), {10 * (digit - '0'), 0, 10, 14}, board_.get(), x, y);
    x += 11;
  }
}

void SdlBoard::DrawCounter(int player, int x, int value) {
  if (value == 0) return;
  const int y = IsHuman(player) ? kHumanRows.score : kOtherRows.score;
  Restore({x, y, 10, 14});
  Copy(skin_.counterDigits.get(), {10 * std::min(value, 9), 0, 10, 14}, board_.get(), x, y);
}

void SdlBoard::DrawPlayerStatus(int player) {
  const PlayerRecord& who = state_.Player(player);
  DrawCounter(player, 466, who.GoCount);
  DrawCounter(player, 502, who.ShakeCount);
  DrawCounter(player, 552, who.PpeokCount);
}

// ---- Title strip, start button, waiting room

void SdlBoard::DrawTitleButton(TitleButton button, bool normal) {
  Touch();
  SDL_Surface* picture = nullptr;
  BoardArea at = kExitButton;
  int width = kTitleButtonWidth, height = kTitleButtonHeight;
  switch (button) {
    case TitleButton::kWaitingExit:
      picture = skin_.waitingExit.get(), at = kWaitingExitButton;
      width = at.Width, height = at.Height;
      break;
    case TitleButton::kMinimise:
      picture = skin_.titleMinimise.get(), at = kMinimiseButton;
      break;
    case TitleButton::kOptions:
      picture = skin_.titleOptions.get(), at = kOptionsButton;
      break;
    case TitleButton::kExit:
      picture = skin_.titleExit.get(), at = kExitButton;
      break;
    case TitleButton::kMaximiseRestore:
      picture =
          (modeSwitched && modeSwitched()) ? skin_.titleMaximise.get() : skin_.titleRestore.get();
      at = kMaximiseButton;
      break;
  }
  Copy(picture, {normal ? 0 : width, 0, width, height}, board_.get(), at.Left, at.Top);
  boardChanged_ = true;
}

void SdlBoard::DrawMaxRestoreButton() {
  Touch();
  SDL_Surface* picture =
      (modeSwitched && modeSwitched()) ? skin_.titleRestore.get() : skin_.titleMaximise.get();
  Copy(picture, {0, 0, kTitleButtonWidth, kTitleButtonHeight}, board_.get(), kMaximiseButton.Left,
       kMaximiseButton.Top);
  boardChanged_ = true;
}

void SdlBoard::DrawTitleStrip() {
  for (const TitleButton button :
       {TitleButton::kOptions, TitleButton::kMinimise, TitleButton::kExit})
    DrawTitleButton(button, true);
  DrawMaxRestoreButton();
}

void SdlBoard::DrawStartButton(bool pressed) {
  Restore(kStartButton);
  // The pressed face is the button pushed one pixel in.
  const int shift = pressed ? 1 : 0;
  Copy(skin_.startButton.get(), {0, 0, kStartButton.w - shift, kStartButton.h - shift},
       board_.get(), kStartButton.x + shift, kStartButton.y + shift);
}

void SdlBoard::ClearStartButton() {
  Restore(kStartButton);
}

void SdlBoard::DrawWaitingRoom() {
  DrawStartButton();
  // The turn marker: on the side of the player whose turn it is (nobody's: the other's).
  const bool humanTurn = state_.Room.TurnPlayer >= 0 && IsHuman(state_.Room.TurnPlayer);
  Restore({593, humanTurn ? kOtherRows.marker : kHumanRows.marker, 21, 22});
  Copy(skin_.sun.get(), {0, 0, 21, 22}, board_.get(), 593,
       humanTurn ? kHumanRows.marker : kOtherRows.marker);
  Restore(missionBox_.get(), kMissionBox, 0, 0);
  DrawMaxRestoreButton();
}

void SdlBoard::DrawRoomTitle(std::string_view title) {
  Restore({96, 8, 308, 11});
  WriteOutlinedText(board_.get(), fonts_(kTextSize, false), title, {255, 255, 255}, kBlack, 1, 96,
                    8);
}

// ---- The mission box

void SdlBoard::DrawMissionFrame(int frame) {
  Touch();
  Copy(skin_.missionBox.get(), {210 * frame, 0, 210, 115}, missionBox_.get(), 0, 0);
}

void SdlBoard::DrawMissionCard(int card, int x, bool selected, int markerSeat) {
  Touch();
  SDL_Surface* face = skin_.Card(FaceImage(card));
  Copy(face, {0, 0, kCardWidth, kCardHeight}, missionBox_.get(), x, 16);
  if (selected) {
    // The selected style: the card tinted with the highlight colour.
    Surface tint = NewSurface(kCardWidth, kCardHeight, {0, 0, 160});
    SDL_SetSurfaceBlendMode(tint.get(), SDL_BLENDMODE_BLEND);
    SDL_SetSurfaceAlphaMod(tint.get(), 110);
    SDL_Rect target{x, 16, kCardWidth, kCardHeight};
    SDL_BlitSurface(tint.get(), nullptr, missionBox_.get(), &target);
  }
  if (markerSeat >= 0) {
    CopyKeyed(skin_.Card(kMissionMarkerImage + markerSeat), {0, 0, kCardWidth, kCardHeight},
              missionBox_.get(), x, 16);
  }
}

void SdlBoard::OpenMissionBox(int missionIndex) {
  Touch();
  const MissionRecord& mission = state_.Missions.at(static_cast<std::size_t>(missionIndex));
  std::vector<int> cards;
  for (const int card : mission.MissionCards) {
    if (card != kNoCard) cards.push_back(card);
  }
  for (int frame = 0; frame <= 4; ++frame) {
    DrawMissionFrame(frame);
    Pace(0.1);
  }
  WriteShadowText(missionBox_.get(), fonts_(kTextSize, true),
                  "승리시 [" + std::to_string(mission.Multiple) + "배] 획득~", kBlack, kGold, 1, 44,
                  84);
  const int n = static_cast<int>(cards.size());
  for (int i = 0; i < n; ++i)
    DrawMissionCard(cards[i], MissionCardX(n, i), false, -1);
  if (mission.Multiple >= 2) {
    Copy(skin_.missionBadges.get(), {55 * (mission.Multiple - 2), 0, 55, 55}, missionBox_.get(),
         121, 18);
  }
}

void SdlBoard::UpdateMissionMarks() {
  const int index = state_.Room.MissionIndex;
  // Before the box has opened it shows nothing of the mission.
  if (index < 0 || index >= kMissions || !state_.Room.MissionShown) return;
  std::vector<int> cards;
  for (const int card : state_.Missions[index].MissionCards) {
    if (card != kNoCard) cards.push_back(card);
  }
  const int n = static_cast<int>(cards.size());
  for (int i = 0; i < n; ++i) {
    const int x = MissionCardX(n, i);  // the marks go on the cards the opened box shows
    const int location = state_.Card(cards[i]).Location;
    const bool captured = location >= CapturedBy(0);
    DrawMissionCard(cards[i], x, captured,
                    captured ? state_.Player(location - CapturedBy(0)).Seat : -1);
  }
}

void SdlBoard::DrawMissionNameplate(bool shown, std::string_view name) {
  Touch();
  CopyKeyed(skin_.missionPlate.get(), {shown ? 0 : 210, 0, 210, 115}, missionBox_.get(), 0, 0);
  if (!shown) return;
  const std::string text = std::string(name) + " 님";
  TTF_Font* font = fonts_(kTextSize + 1, true);
  WriteText(missionBox_.get(), font, text, kLightGrey, 72, 83);
  WriteText(missionBox_.get(), font, text, kBlack, 71, 82);
}

void SdlBoard::CloseMissionBox() {
  for (int frame = 4; frame >= 0; --frame) {
    DrawMissionFrame(frame);
    Pace(0.1);
  }
}

// ---- A frame

void SdlBoard::Compose(SDL_Renderer* renderer) {
  if (!boardTexture_) {
    boardTexture_.reset(SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888,
                                          SDL_TEXTUREACCESS_STREAMING, 800, 600));
    boardChanged_ = true;
  }
  if (boardChanged_ && boardTexture_) {
    SDL_UpdateTexture(boardTexture_.get(), nullptr, board_->pixels, board_->pitch);
    boardChanged_ = false;
  }
  SDL_RenderCopy(renderer, boardTexture_.get(), nullptr, nullptr);

  // The cards, lowest first. Their pictures go to the renderer as they are drawn.
  std::vector<int> order;
  for (int card = 0; card < kMaxCardsInPlay; ++card) {
    if (cards_[card].visible) order.push_back(card);
  }
  std::sort(order.begin(), order.end(), [this](int a, int b) { return cards_[a].z < cards_[b].z; });
  auto draw = [renderer](SDL_Surface* picture, const SDL_Rect& at, bool keyed) {
    if (picture == nullptr) return;
    if (keyed) SDL_SetColorKey(picture, SDL_TRUE, MapColour(picture, kMagentaKey));
    Texture texture = ToTexture(renderer, picture);
    if (keyed) SDL_SetColorKey(picture, SDL_FALSE, 0);
    SDL_RenderCopy(renderer, texture.get(), nullptr, &at);
  };
  // The card pictures do not change: each is uploaded once (plain, and keyed for the
  // overlays).
  auto drawCard = [this, renderer](int image, const SDL_Rect& at, bool keyed) {
    if (image < 1 || image > kCardImages) return;
    Texture& texture = (keyed ? keyedCardTextures_ : cardTextures_)[image];
    if (!texture) {
      SDL_Surface* picture = skin_.Card(image);
      if (picture == nullptr) return;
      if (keyed) SDL_SetColorKey(picture, SDL_TRUE, MapColour(picture, kMagentaKey));
      texture = ToTexture(renderer, picture);
      if (keyed) SDL_SetColorKey(picture, SDL_FALSE, 0);
    }
    SDL_RenderCopy(renderer, texture.get(), nullptr, &at);
  };
  for (const int card : order) {
    const CardControl& c = cards_[card];
    const int shift = c.pressed ? 1 : 0;
    const SDL_Rect at{c.left + shift, c.top - c.lift + shift, c.width, c.height};
    drawCard(c.image, at, false);
    if (c.overlay != 0) drawCard(c.overlay, at, true);
    if (c.pressed) {
      SDL_SetRenderDrawColor(renderer, 40, 40, 40, 255);
      SDL_RenderDrawRect(renderer, &at);
    }
  }
  for (int player = 0; player < kPlayers; ++player) {
    const bool small = state_.Player(player).Seat != kHumanSeat;
    for (int index = 0; index < kBombCards; ++index) {
      const BombControl& bomb = bombs_[player][index];
      if (!bomb.visible) continue;
      const BoardPoint place = BombCardPlace(state_, player, index);
      const SDL_Rect at{place.Left, place.Top, small ? kSmallCardWidth : kCardWidth,
                        small ? kSmallCardHeight : kCardHeight};
      if (bomb.frame > 0 && skin_.bombFrames) {
        Surface frame = CutOut(skin_.bombFrames.get(),
                               {kCardWidth * (bomb.frame - 1), 0, kCardWidth, kCardHeight});
        draw(frame.get(), at, true);
      } else {
        drawCard(kBombCardImage, at, false);
      }
    }
  }
  for (const JunkLabel& label : junkLabels_) {
    if (!label.visible) continue;
    RenderOutlinedText(renderer, fonts_(kTextSize, true), std::to_string(label.value),
                       {255, 255, 0}, kBlack, label.left + 1, label.top);
  }
  if (indicatorVisible_) {
    SDL_SetRenderDrawColor(renderer, kIndicatorYellow.Red, kIndicatorYellow.Green,
                           kIndicatorYellow.Blue, 255);
    for (int inset = 0; inset < 2; ++inset) {
      const SDL_Rect r{indicator_.x + inset, indicator_.y + inset, indicator_.w - 2 * inset,
                       indicator_.h - 2 * inset};
      SDL_RenderDrawRect(renderer, &r);
    }
  }
  if (countdown_ >= 1 && countdown_ <= 5 && skin_.countdown) {
    // The badge keeps the picture's own see-through ground.
    Surface digit = CutOut(skin_.countdown.get(), {40 * (countdown_ - 1), 0, 40, 40});
    draw(digit.get(), kCountdown, false);
  }
  if (powerBar_.visible) {
    Surface bar = NewSurface(63, 13, kBlack);
    for (int k = 0; k < 20; ++k)
      Fill(bar.get(), {3 * k + 2, 2, 2, 10}, powerBar_.segments[k]);
    draw(bar.get(), {powerBar_.left, powerBar_.top, 63, 13}, false);
  }
  draw(missionBox_.get(), kMissionBox, false);
  goEffect_.Draw(renderer);
  if (speedLabel_) {
    RenderOutlinedText(renderer, fonts_(kTextSize + 1, true),
                       "속도 " + std::to_string(state_.Room.CardSpeed), {255, 255, 255}, kBlack,
                       kSpeedLabel.x, kSpeedLabel.y);
  }
}

}  // namespace hw::ui
