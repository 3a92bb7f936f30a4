#pragma once
// What the rules ask of the world around them: the board's pictures, the sounds and
// the message log. The rules never draw, play or write themselves; the window program
// implements these with SDL, the simulator and the tests with quiet or recording
// stand-ins.

#include <array>
#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/colour.h"

namespace hw {

inline constexpr Rgb kYellow{255, 255, 0};   // game events in the message log
inline constexpr Rgb kWhite{255, 255, 255};  // information lines

// Every game announcement is written under this speaker.
inline constexpr std::string_view kLogArea = "게임판";

class MessageLog {
 public:
  virtual ~MessageLog() = default;
  // Appends one line, "- " + text, in the colour and weight given.
  virtual void AppendLog(std::string_view area, std::string_view text, Rgb colour, bool bold) = 0;
};

class SoundPlayer {
 public:
  virtual ~SoundPlayer() = default;
  // Plays the named sound (from the player's voice folder when one is given) on a
  // mixer channel 0..4; with `wait`, returns only after `delaySeconds`, letting events
  // run meanwhile. A sound that cannot be played is silently skipped, and then nobody
  // waits for it.
  virtual void PlayGameSound(std::string_view name, int channel, bool wait,
                             std::string_view voiceFolder, double delaySeconds) = 0;
};

// One card gliding across the board.
struct MoveRequest {
  int Card = 0;
  int FromX = 0;
  int FromY = 0;
  int ToX = 0;
  int ToY = 0;
  bool ShowFace = false;  // show the card's face once it has arrived
  int Width = 36;         // its size at the end of the move
  int Height = 55;
  int Zoom = 0;    // pixels added to its width before it moves; 8 or less: none
  int Speed = 80;  // the card-speed setting: the number of steps (0 counts as 1)
};

// Four cards dealt onto the floor, or five into a hand, gliding together.
struct DealRequest {
  struct Card {
    int Number = 0;
    int FromX = 0;
    int FromY = 0;
    int ToX = 0;
    int ToY = 0;
  };
  // A deal's cards, kept inline so that dealing allocates nothing: four to a floor half
  // and five to a hand half, and never more than kMax.
  class CardArray {
   public:
    static constexpr std::size_t kMax = 10;
    CardArray() = default;
    CardArray(std::initializer_list<Card> cards) {
      for (const Card& card : cards)
        push_back(card);
    }
    void push_back(const Card& card) {
      if (size_ == kMax) throw std::length_error("a deal moves 10 cards at most");
      cards_[size_++] = card;
    }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    const Card& operator[](std::size_t i) const { return cards_[i]; }
    Card* begin() { return cards_.data(); }
    Card* end() { return cards_.data() + size_; }
    const Card* begin() const { return cards_.data(); }
    const Card* end() const { return cards_.data() + size_; }

   private:
    std::array<Card, kMax> cards_{};
    std::size_t size_ = 0;
  };
  CardArray Cards{};
  bool ToFloor = false;
  bool ShowFaces = true;
  int Width = 36;  // the cards' size at the end of the deal
  int Height = 55;
  int Speed = 80;  // the card-speed setting; it picks the step length
};

class BoardView {
 public:
  virtual ~BoardView() = default;

  // A new hand's board: the turn indicator and both junk-count labels hidden (the
  // labels' captions back to "0").
  virtual void ResetBoardIndicators() = 0;
  // Every card picture back to its plain card image, and the capture areas cleared.
  virtual void ResetCardImages() = 0;
  // Before a deal: every card of the hand gets the card back and lies at the centre.
  virtual void PrepareCardImages(int cardsInPlay) = 0;

  virtual void HideCard(int card) = 0;
  virtual void ShowCardFace(int card) = 0;
  // Puts a card's picture at a place at once, in front of the others.
  virtual void PlaceCard(int card, int left, int top) = 0;
  // Glides a card to a place; returns when it has arrived. Events run between steps.
  virtual void MoveCard(const MoveRequest& move) = 0;

  // The junk-count label of a seat: where it stands, and the junk value it shows
  // (hidden while the value is 0).
  virtual void MoveJunkLabel(int seat, int left, int top) = 0;
  virtual void SetJunkLabel(int seat, int junkValue) = 0;

  // Deals the cards together; returns when all have arrived. Events run between steps.
  virtual void DealCards(const DealRequest& deal) = 0;

  // Redraw requests.
  virtual void DrawPlayerPanel(int player) = 0;
  virtual void DrawScore(int player) = 0;         // the player's captured cards and score
  virtual void DrawPlayerStatus(int player) = 0;  // its Go, shake and ppeok counters
  virtual void DrawRunningGain(int player) = 0;
  virtual void UpdateMissionMarks() = 0;
  virtual void DrawWaitingRoom() = 0;
  virtual void DrawRoomTitle(std::string_view title) = 0;

  // The turn indicator: on whose side it stands, and whether it shows (it blinks).
  virtual void MoveTurnIndicator(bool humanSide) = 0;
  virtual void ShowTurnIndicator(bool visible) = 0;
  // The last seconds of the human's turn; 0 hides the countdown.
  virtual void ShowCountdown(int secondsLeft) = 0;
  // Marks the human's hand cards that match the floor or can shake or bomb (on), or
  // shows them plain again (off).
  virtual void HighlightHand(bool on) = 0;

  // The mission box: opened with the hand's mission (its animation waits, letting
  // events run), the winner's nameplate at the end, and its closing animation.
  virtual void OpenMissionBox(int missionIndex) = 0;
  virtual void DrawMissionNameplate(bool shown, std::string_view name) = 0;
  virtual void CloseMissionBox() = 0;
  // The picture of a player's n-th Go, for 1.5 seconds when there is one for n.
  virtual void ShowGoEffect(int goCount) = 0;

  // Bomb cards beside a player's hand, and the frames of the human's bomb animation.
  virtual void ShowBombCard(int player, int index) = 0;
  virtual void HideBombCard(int player, int index) = 0;
  virtual void ShowBombFrame(int index, int frame) = 0;

  // The card speed, shown for a moment after the speed keys (refreshed while shown).
  virtual void ShowSpeedLabel(bool visible) = 0;

  // The human pressing a hand card: its pressed look and the power bar above it.
  virtual void DrawCardPressed(int card, bool pressed) = 0;
  virtual void ShowPowerBar(int card, bool visible) = 0;
  virtual void DrawPowerSegment(int level) = 0;

  // Whether anybody sees this board (and the dialogs over it). Ticks that would only
  // redraw what nobody sees (the blinking turn indicator, the countdowns) may then come
  // together, at the moment the first of them does more than redraw.
  virtual bool Seen() const { return true; }
};

// The result of a hand as the game reports it to the portal: the player's totals after
// the hand and the money it won (or, with a "-", lost); and what the portal settles the
// hand from, the hand's number and the human's decisions as record text.
struct ScoreReport {
  std::string Name;
  std::string GameCode;
  std::string Money;
  std::string UpPoint;
  std::string Wins;
  std::string Losses;
  std::string Draws;
  std::string Missions;
  std::string HandId;
  std::string Record;
};

// The portal after the login: it deals every hand and settles it from its record.
class PortalPoster {
 public:
  virtual ~PortalPoster() = default;
  // Asks for the next hand with the room's stake and service cards. When the deal comes
  // the poster sets Game::nextDeck, nextMission, 선 and the hand's number and calls
  // DealHand; when it cannot come, the player is told and the room waits as it was.
  virtual void RequestHand() = 0;
  // Sends the report; the reply comes later, through the poster's own channel.
  virtual void PostScoreSave(const ScoreReport& report) = 0;
};

}  // namespace hw
