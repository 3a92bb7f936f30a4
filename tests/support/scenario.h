#pragma once
// A whole game headless: the rules, the main window and its dialogs on a virtual clock,
// with recording effects. A test logs a player in, deals a chosen deck and lets the
// hand play (the human idle unless the test clicks), then looks at what happened.
//
//   Scenario s;
//   s.Start(DeckFor(48).Floor({...}).FirstHand({...}).Text(), /*mission=*/0);
//   s.PlayToEnd();
//   EXPECT_THAT(s.LogTexts(), Contains("아싸!! 따닥입니다!!"));

#include <string>
#include <vector>

#include "hand/hand_setup.h"
#include "hand/moves.h"
#include "mainwindow/dialog_controllers.h"
#include "mainwindow/main_window.h"
#include "rules/card_table.h"
#include "rules/missions_ranks.h"
#include "tests/support/recording_effects.h"

namespace hw::testing {

class RecordingDialogView final : public DialogView {
 public:
  void Open(DialogKind dialog) override { opened.push_back(dialog); }
  void Close(DialogKind dialog) override { closed.push_back(dialog); }
  void DrawCountdown(DialogKind, int n) override {
    lastCountdown = n;
    ++countdowns;
  }
  void DrawButton(DialogKind, int button, bool pressed) override {
    if (pressed) pressedButtons.push_back(button);
  }
  void DrawChoiceCard(int which, bool selected) override {
    if (selected) selectedCards.push_back(which);
  }
  std::vector<DialogKind> opened, closed;
  std::vector<int> pressedButtons, selectedCards;
  int lastCountdown = 0;
  int countdowns = 0;  // squares drawn
};

struct ScoreSaveCall {
  int slot;
  std::string code, amount, mission;
  friend bool operator==(const ScoreSaveCall&, const ScoreSaveCall&) = default;
};

struct Login {
  std::string name = "player";
  std::string voice = "M";
  std::string money = "1000000";
  std::string stake = "100";
};

class Scenario {
 public:
  explicit Scenario(const Login& login = {}) {
    GameState& state = rec.game.state;
    SetUpBoardLayout(state);
    BuildMissionTable(state);
    BuildRankTable(state);
    state.PlayerInfo.Name = login.name;
    state.PlayerInfo.VoiceFolder = login.voice;
    state.PlayerInfo.Money = login.money;
    state.PlayerInfo.Avatar = 1;
    state.PlayerInfo.Wins = state.PlayerInfo.Losses = state.PlayerInfo.Draws = "0";
    state.PlayerInfo.MissionCount = "0";
    SeatLoggedInPlayer(state);
    state.Room.StakeText = login.stake;
    EnterRoom(rec.game);
    rec.game.onScoreSave = [this](int slot, HandOutcome outcome, std::string_view amount,
                                  bool missionAchieved) {
      saves.push_back(
          {slot, OutcomeCode(outcome), std::string(amount), missionAchieved ? "1" : "0"});
    };
    rec.log.lines.clear();
    rec.sound.played.clear();
    rec.board.calls.clear();
  }

  // Deals this deck (its length gives the service cards) with this mission; the
  // computer or the human is 선. The first turn begins.
  void Start(const std::string& deck, int mission = 8, bool humanFirst = true) {
    GameState& state = rec.game.state;
    state.Room.ServiceCards = static_cast<int>(deck.size() / 2) - kMonthCards;
    state.Room.SeonName = humanFirst ? state.PlayerInfo.Name : "컴퓨터";
    rec.game.nextDeck = deck;
    rec.game.nextMission = mission;
    window.PressStart();
  }

  // Lets the hand play until the result dialog has closed (or `seconds` pass).
  bool PlayToEnd(double seconds = 3600) {
    return rec.loop.RunUntil([this] { return HandOver(); }, seconds);
  }
  // Lets the clock run on (the human does nothing meanwhile).
  void Wait(double seconds) { rec.loop.WaitSeconds(seconds); }
  // Runs until the condition holds; false when it never does.
  bool RunUntil(const std::function<bool()>& done, double seconds = 3600) {
    return rec.loop.RunUntil(done, seconds);
  }

  bool HandOver() const {
    return !rec.game.state.Room.HandRunning && !window.Result().IsOpen() && !saves.empty();
  }
  std::vector<std::string> LogTexts() const { return rec.log.Texts(); }
  std::vector<std::string> SoundNames() const { return rec.sound.Names(); }
  GameState& State() { return rec.game.state; }
  Game& G() { return rec.game; }

  RecordedGame rec;
  RecordingDialogView dialogs;
  MainWindow window{rec.game, dialogs};
  std::vector<ScoreSaveCall> saves;
};

}  // namespace hw::testing
