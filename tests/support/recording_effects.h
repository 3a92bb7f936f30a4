#pragma once
// Stand-ins for the board, the sounds and the message log that write down what the
// rules asked of them, so that tests can check it.

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "core/effects.h"
#include "core/game.h"
#include "platform/event_loop.h"

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
};

// Waits like the real player would when asked to, so that time-dependent rules see the
// pauses on the virtual clock.
class RecordingSound final : public SoundPlayer {
 public:
  explicit RecordingSound(platform::EventLoop* loop = nullptr) : loop_(loop) {}
  void PlayGameSound(std::string_view name, int channel, bool wait, std::string_view voiceFolder,
                     double delaySeconds) override {
    played.push_back({std::string(name), channel, wait, std::string(voiceFolder), delaySeconds});
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
  void ResetBoardIndicators() override { calls.push_back("reset-indicators"); }
  void ResetCardImages() override { calls.push_back("reset-card-images"); }
  void PrepareCardImages(int cardsInPlay) override {
    calls.push_back("prepare " + std::to_string(cardsInPlay));
  }
  void HideCard(int card) override { calls.push_back("hide " + std::to_string(card)); }
  void ShowCardFace(int card) override { calls.push_back("face " + std::to_string(card)); }
  void PlaceCard(int card, int left, int top) override {
    calls.push_back("place " + std::to_string(card) + " " + Point(left, top));
  }
  void MoveCard(const MoveRequest& m) override {
    calls.push_back("move " + std::to_string(m.Card) + " " + Point(m.FromX, m.FromY) + "->" +
                    Point(m.ToX, m.ToY) + (m.ShowFace ? " face" : ""));
  }
  void MoveJunkLabel(int seat, int left, int top) override {
    calls.push_back("junk-label-at " + std::to_string(seat) + " " + Point(left, top));
  }
  void SetJunkLabel(int seat, int junkValue) override {
    calls.push_back("junk-label " + std::to_string(seat) + " " + std::to_string(junkValue));
  }
  void DrawPlayerPanel(int player) override { calls.push_back("panel " + std::to_string(player)); }
  void DrawScore(int player) override { calls.push_back("score " + std::to_string(player)); }
  void UpdateMissionMarks() override { calls.push_back("mission-marks"); }

  // The calls that start with this word.
  std::vector<std::string> Calls(std::string_view word) const {
    std::vector<std::string> found;
    for (const auto& call : calls) {
      if (call.starts_with(std::string(word) + " ") || call == word) found.push_back(call);
    }
    return found;
  }
  std::vector<std::string> calls;

 private:
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
  Game game{board, sound, log, loop, GameRandom(20261208)};
};

}  // namespace hw::testing
