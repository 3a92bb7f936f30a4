#pragma once
// One member's game without a window: the real rules, the real main window and its
// dialogs on a virtual clock, with quiet effects. The member's seat is driven from
// outside: by his recorded decisions (the portal settling a hand), by chance (the
// simulator's random player), or not at all (his time-outs and default answers play).
//
// A decision is taken the way the window takes the member's click or answer, through
// the same controllers, so a hand played here is the hand the game plays.

#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "hand/game.h"
#include "mainwindow/main_window.h"
#include "platform/event_loop.h"
#include "replay/headless.h"
#include "rules/hand_record.h"
#include "search/search_player.h"

namespace hw::replay {

// The member as the portal knows him when a hand is dealt.
struct Member {
  std::string Name;
  std::string Voice = "M";
  int Avatar = 1;
  std::string Money;
  std::string Wins = "0";
  std::string Losses = "0";
  std::string Draws = "0";
  std::string Missions = "0";
};

// A hand as dealt: its deck, mission and settings.
struct DealtHand {
  std::string Deck;
  int Mission = 0;
  bool MemberFirst = true;
  std::string Stake = "100";
  int ServiceCards = 3;
  OpponentLevel Opponent = OpponentLevel::kWritten;
};

// A score save the settlement made, as the member's game posts it.
struct Save {
  int Slot = 0;
  HandOutcome Outcome = HandOutcome::kDrawn;
  std::string Amount;
  bool MissionAchieved = false;
};

class Table {
 public:
  // Logged in and in the room. `seed` feeds the game's own chance (a hand dealt by the
  // game itself; a dealt hand brings its deck and mission).
  explicit Table(const Member& member, std::uint64_t seed = 1);
  Table(const Table&) = delete;
  Table& operator=(const Table&) = delete;

  Game& game() { return game_; }
  const GameState& State() const { return game_.state; }
  MainWindow& window() { return window_; }
  platform::VirtualEventLoop& loop() { return loop_; }
  HeadlessLog& log() { return log_; }
  const HeadlessLog& log() const { return log_; }
  HeadlessSound& sound() { return sound_; }
  const HeadlessSound& sound() const { return sound_; }
  // The messages the member was shown.
  const NoDesktop& desktop() const { return desktop_; }

  // The start button with this hand to deal (or, with no hand, one the game deals
  // itself), against the hand's opponent (or, with no hand, the room's). False when the
  // member cannot pay for a hand (the money check).
  bool Start(const std::optional<DealtHand>& hand);

  // Lets the hand run until the member must decide or the hand is settled.
  enum class Next { kMemberDecides, kSettled, kStuck };
  Next RunToNextDecision(double maxSeconds = 4 * 3600);
  // What the member may decide now, in a fixed order; empty when he is not asked.
  std::vector<Decision> Choices() const;
  // Takes a decision as the member's click or answer would. False, and nothing taken,
  // when it is not one of the choices now.
  bool Take(const Decision& decision);
  // The member does nothing until the hand is settled: his turns end by their time-out,
  // his questions by their default answers. False when it never settles.
  bool RunIdle(double maxSeconds = 4 * 3600);
  // The member decides by chance among his choices each time he is asked, until the hand
  // is settled (the simulator's random player). False when it never settles.
  bool RunByChance(std::mt19937_64& chance);

  // The settlement's score saves, both players'.
  const std::vector<Save>& Saves() const { return saves_; }
  bool Settled() const { return saves_.size() >= static_cast<std::size_t>(kPlayers); }
  // After the hand: the result dialog closes and the room waits for the next hand.
  bool FinishHand(double maxSeconds = 3600);

 private:
  platform::VirtualEventLoop loop_;
  QuietBoard board_;
  QuietDialogs dialogs_;
  HeadlessSound sound_;
  HeadlessLog log_;
  NoDesktop desktop_;
  search::SearchPlayer searchPlayer_;
  Game game_;
  MainWindow window_;
  std::vector<Save> saves_;
};

// A hand settled from a record: the member's save and his figures after it.
struct Settlement {
  Save MemberSave;
  Member After;          // money (with a first ppeok's payment), wins, losses, draws, missions
  HandRecord Decisions;  // as taken (for an idle member: his time-outs' and defaults')
  std::string UpPoint;   // the change as the game posts it: the amount, "-" amount, or "0"
};

// The settled hand at this table.
Settlement SettlementOf(const Table& table);

// Plays the dealt hand again with the member's decisions. Returns the settlement, or
// sets `why` and returns nothing when the record is not a legal play of the hand: a
// decision that is not among the choices when it is asked, a record that ends before
// the hand does, or one that goes on after it.
std::optional<Settlement> Replay(const Member& member, const DealtHand& hand,
                                 const HandRecord& record, std::string& why);
// Plays the dealt hand to its end with the member idle (a hand he abandoned).
std::optional<Settlement> PlayIdle(const Member& member, const DealtHand& hand, std::string& why);

}  // namespace hw::replay
