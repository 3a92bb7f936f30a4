#pragma once
// Stand-ins for the board, the sounds and the message log that write down what the
// rules asked of them, so that tests can check it.

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "hand/effects.h"
#include "hand/game.h"
#include "platform/event_loop.h"
#include "platform/fake/scripted_desktop.h"

namespace hw::testing {

struct LogLine {
  std::string area;
  std::string text;
  Rgb colour;
  bool bold = false;
};

class RecordingLog final : public MessageLog {
 public:
  void AppendLog(std::string_view area, std::string_view text, Rgb colour, bool bold) override {
    lines.push_back({std::string(area), std::string(text), colour, bold});
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const auto& line : lines)
      texts.push_back(line.text);
    return texts;
  }
  std::vector<LogLine> lines;
};

struct PlayedSound {
  std::string name;
  int channel = 0;
  bool wait = false;
  std::string voiceFolder;
  double delay = 0;
  platform::Micros at = 0;  // when it came, on the loop's clock (0 without a loop)
};

// Waits like the real player would when asked to, so that time-dependent rules see the
// pauses on the virtual clock.
class RecordingSound final : public SoundPlayer {
 public:
  explicit RecordingSound(platform::EventLoop* loop = nullptr) : loop_(loop) {}
  void PlayGameSound(std::string_view name, int channel, bool wait, std::string_view voiceFolder,
                     double delaySeconds) override {
    played.push_back({std::string(name), channel, wait, std::string(voiceFolder), delaySeconds,
                      loop_ != nullptr ? loop_->NowMicros() : 0});
    if (wait && loop_ != nullptr) loop_->WaitSeconds(delaySeconds);
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& sound : played)
      names.push_back(sound.name);
    return names;
  }
  std::vector<PlayedSound> played;

 private:
  platform::EventLoop* loop_;
};

// Every request as one line of text, e.g. "move 12 (258,255)->(245,540) face".
class RecordingBoard final : public BoardView {
 public:
  void ResetBoardIndicators() override { Note("reset-indicators"); }
  void ResetCardImages() override { Note("reset-card-images"); }
  void PrepareCardImages(int cardsInPlay) override { Note("prepare", cardsInPlay); }
  void HideCard(int card) override { Note("hide", card); }
  void ShowCardFace(int card) override { Note("face", card); }
  void PlaceCard(int card, int left, int top) override {
    Note("place " + std::to_string(card) + " " + Point(left, top));
  }
  void MoveCard(const MoveRequest& m) override {
    Note("move " + std::to_string(m.Card) + " " + Point(m.FromX, m.FromY) + "->" +
         Point(m.ToX, m.ToY) + (m.ShowFace ? " face" : "") +
         (m.Zoom > 8 ? " zoom " + std::to_string(m.Zoom) : ""));
  }
  void MoveJunkLabel(int seat, int left, int top) override {
    Note("junk-label-at " + std::to_string(seat) + " " + Point(left, top));
  }
  void SetJunkLabel(int seat, int junkValue) override { Note("junk-label", seat, junkValue); }
  void DealCards(const DealRequest& deal) override {
    std::string text = deal.ToFloor ? "deal-floor" : "deal-hand";
    for (const auto& card : deal.Cards) {
      text += " " + std::to_string(card.Number) + Point(card.ToX, card.ToY);
    }
    Note(text + (deal.ShowFaces ? " faces" : ""));
  }
  void DrawPlayerPanel(int player) override { Note("panel", player); }
  void DrawScore(int player) override { Note("score", player); }
  void DrawPlayerStatus(int player) override { Note("status", player); }
  void DrawRunningGain(int player) override { Note("running-gain", player); }
  void UpdateMissionMarks() override { Note("mission-marks"); }
  void DrawWaitingRoom() override { Note("waiting-room"); }
  void DrawRoomTitle(std::string_view title) override { Note("room-title " + std::string(title)); }
  void MoveTurnIndicator(bool humanSide) override { Note("indicator-to", humanSide ? 0 : 1); }
  void ShowTurnIndicator(bool visible) override { Note("indicator", visible ? 1 : 0); }
  void ShowCountdown(int secondsLeft) override { Note("countdown", secondsLeft); }
  void HighlightHand(bool on) override { Note("highlight", on ? 1 : 0); }
  void OpenMissionBox(int missionIndex) override { Note("mission-box", missionIndex); }
  void DrawMissionNameplate(bool shown, std::string_view name) override {
    Note("nameplate " + std::to_string(shown ? 1 : 0) + " " + std::string(name));
  }
  void CloseMissionBox() override { Note("close-mission-box"); }
  void ShowGoEffect(int goCount) override { Note("go-effect", goCount); }
  void ShowBombCard(int player, int index) override { Note("bomb-card", player, index); }
  void HideBombCard(int player, int index) override { Note("hide-bomb-card", player, index); }
  void ShowBombFrame(int index, int frame) override { Note("bomb-frame", index, frame); }
  void DrawCardPressed(int card, bool pressed) override { Note("pressed", card, pressed ? 1 : 0); }
  void ShowPowerBar(int card, bool visible) override { Note("power-bar", card, visible ? 1 : 0); }
  void DrawPowerSegment(int level) override { Note("power", level); }
  void ShowSpeedLabel(bool visible) override { Note("speed-label", visible ? 1 : 0); }

  // The calls that start with this word.
  std::vector<std::string> Calls(std::string_view word) const {
    std::vector<std::string> found;
    for (const auto& call : calls) {
      if (call.starts_with(std::string(word) + " ") || call == word) found.push_back(call);
    }
    return found;
  }
  bool Seen() const override { return seen; }

  std::vector<std::string> calls;
  bool recording = true;  // off: nothing is written down (long runs)
  bool seen = true;       // off: a board nobody sees, as the simulator's

 private:
  void Note(std::string call) {
    if (recording) calls.push_back(std::move(call));
  }
  void Note(const char* word, int a) {
    if (recording) calls.push_back(std::string(word) + " " + std::to_string(a));
  }
  void Note(const char* word, int a, int b) {
    if (recording) {
      calls.push_back(std::string(word) + " " + std::to_string(a) + " " + std::to_string(b));
    }
  }
  static std::string Point(int x, int y) {
    return "(" + std::to_string(x) + "," + std::to_string(y) + ")";
  }
};

// A game on a virtual clock with recording effects and a fixed seed.
struct RecordedGame {
  platform::VirtualEventLoop loop;
  RecordingBoard board;
  RecordingSound sound{&loop};
  RecordingLog log;
  platform::ScriptedDesktop desktop;
  Game game{board, sound, log, loop, desktop, GameRandom(20261208)};
};

}  // namespace hw::testing
