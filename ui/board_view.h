#pragma once
// The board drawn with SDL: the persistent board picture (every fixed element restored
// from the background copy, then drawn, only when its value changes), the card controls
// with their z-order, and the main window's smaller controls (turn indicator, countdown,
// power bar, bomb cards, junk labels, the mission box, the Go effect). Compose() puts a
// frame together; the window calls it at the display's pace.

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "hand/effects.h"
#include "platform/event_loop.h"
#include "rules/board_geometry.h"
#include "rules/game_state.h"
#include "ui/effect_control.h"
#include "ui/sdl_util.h"
#include "ui/skin.h"

namespace hw::ui {

// How long one step of a glide lasts: at the default speed of 80 a card glides for about
// a quarter of a second. (A deal shows each of its steps in a frame of its own.)
inline constexpr double kMoveStepSeconds = 0.003;

class SdlBoard final : public BoardView {
 public:
  SdlBoard(const GameState& state, const Skin& skin, FontSource fonts, platform::EventLoop& loop);

  // ---- BoardView
  void ResetBoardIndicators() override;
  void ResetCardImages() override;
  void PrepareCardImages(int cardsInPlay) override;
  void HideCard(int card) override;
  void ShowCardFace(int card) override;
  void PlaceCard(int card, int left, int top) override;
  void MoveCard(const MoveRequest& move) override;
  void MoveJunkLabel(int seat, int left, int top) override;
  void SetJunkLabel(int seat, int junkValue) override;
  void DealCards(const DealRequest& deal) override;
  void DrawPlayerPanel(int player) override;
  void DrawScore(int player) override;
  void DrawPlayerStatus(int player) override;
  void DrawRunningGain(int player) override;
  void UpdateMissionMarks() override;
  void DrawWaitingRoom() override;
  void DrawRoomTitle(std::string_view title) override;
  void MoveTurnIndicator(bool humanSide) override;
  void ShowTurnIndicator(bool visible) override;
  void ShowCountdown(int secondsLeft) override;
  void HighlightHand(bool on) override;
  void OpenMissionBox(int missionIndex) override;
  void DrawMissionNameplate(bool shown, std::string_view name) override;
  void CloseMissionBox() override;
  void ShowGoEffect(int goCount) override;
  void ShowBombCard(int player, int index) override;
  void HideBombCard(int player, int index) override;
  void ShowBombFrame(int index, int frame) override;
  void DrawCardPressed(int card, bool pressed) override;
  void ShowPowerBar(int card, bool visible) override;
  void DrawPowerSegment(int level) override;
  void ShowSpeedLabel(bool visible) override;

  // ---- The main window's own drawing
  enum class TitleButton { kWaitingExit, kMinimise, kOptions, kExit, kMaximiseRestore };
  void DrawTitleButton(TitleButton button, bool normal);
  void DrawMaxRestoreButton();
  // The title strip: options, minimise, maximise or restore, and exit, each in its
  // normal face.
  void DrawTitleStrip();
  void DrawStartButton(bool pressed = false);
  void ClearStartButton();
  // Raises a hand card by `lift` pixels above its resting place (hover), 0 to rest.
  void LiftCard(int card, int lift);
  // Whether the display has been switched to the game's mode (picks the maximise or the
  // restore picture).
  std::function<bool()> modeSwitched;

  // ---- For the window
  void Compose(SDL_Renderer* renderer);
  // The topmost visible card control at a board point, or kNoCard; and a bomb card.
  int CardAt(int x, int y) const;
  int HumanBombCardAt(int x, int y) const;
  SDL_Surface* BoardPicture() { return board_.get(); }

  struct CardControl {
    bool visible = false;
    int left = kPileCentre.Left, top = kPileCentre.Top, width = kCardWidth, height = kCardHeight;
    int image = kCardBackImage;  // the picture shown (a face or the back)
    int overlay = 0;             // a picture drawn over it, 0 none
    bool pressed = false;
    int lift = 0;
    long z = 0;
  };
  const CardControl& Card(int card) const { return cards_.at(static_cast<std::size_t>(card)); }
  // Steps of deals taken since the board was made (for the frame log).
  std::uint64_t DealSteps() const { return dealSteps_; }
  bool PowerBarShown() const { return powerBar_.visible; }
  Rgb PowerSegment(int k) const { return powerBar_.segments.at(static_cast<std::size_t>(k)); }

 private:
  // Every change of what the board shows asks for a frame.
  void Touch() { loop_.RequestFrame(); }
  CardControl& Control(int card) {
    Touch();
    return cards_.at(static_cast<std::size_t>(card));
  }
  void BringToFront(CardControl& control) { control.z = ++zCounter_; }
  bool IsHuman(int player) const;
  void Restore(const SDL_Rect& area);
  void Restore(SDL_Surface* target, const SDL_Rect& boardArea, int x, int y);
  void DrawAvatar(int player);
  void DrawPanelLine(int y, int bottom, const std::string& text, Rgb colour, bool bold);
  void DrawCounter(int player, int x, int value);
  void DrawMissionFrame(int frame);
  void DrawMissionCard(int card, int x, bool selected, int markerSeat);
  void Pace(double seconds);

  const GameState& state_;
  const Skin& skin_;
  FontSource fonts_;
  platform::EventLoop& loop_;
  Surface board_;
  bool boardChanged_ = true;
  Texture boardTexture_;
  std::array<Texture, kCardImages + 1> cardTextures_, keyedCardTextures_;
  Surface missionBox_;
  std::array<CardControl, kMaxCardsInPlay> cards_{};
  long zCounter_ = 0;
  std::uint64_t dealSteps_ = 0;
  struct BombControl {
    bool visible = false;
    int frame = 0;  // 0 the plain bomb card, 1..4 the explosion
  };
  std::array<std::array<BombControl, kBombCards>, kPlayers> bombs_{};
  struct JunkLabel {
    bool visible = false;
    int left = 0, top = 0, value = 0;
  };
  std::array<JunkLabel, kPlayers> junkLabels_{};
  bool indicatorVisible_ = false;
  SDL_Rect indicator_{389, 41, 104, 70};
  int countdown_ = 0;
  struct PowerBar {
    bool visible = false;
    int left = 0, top = 0;
    std::array<Rgb, 20> segments{};
  } powerBar_;
  컨트롤_효과 goEffect_;
  bool speedLabel_ = false;
};

}  // namespace hw::ui
