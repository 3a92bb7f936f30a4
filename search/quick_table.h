#pragma once
// A hand played to its end at full speed: the game's own procedures on a board that draws
// nothing, a clock that never waits, and a window that asks each seat's player at once
// instead of running timers and dialogs. The computer's look-ahead plays its samples out
// here, and the simulator's matches play their hands here.

#include <optional>
#include <string>

#include "hand/game.h"
#include "hand/quiet_board.h"
#include "rules/card_list.h"
#include "rules/computer_player.h"

namespace hw::search {

// A question a player must answer for the hand to go on.
struct Question {
  enum class Kind { kCard, kShake, kFloor, kGoStop, kSeptember };
  Kind What = Kind::kCard;
  int Player = kComputer;
  int Card = kNoCard;    // the card shaken
  FloorChoice Choice{};  // the two floor cards
};

// The answers the rules allow, in a fixed order: for a card, the cards of the hand in
// card-number order and then -1 when a bomb card may be played; yes (1) before no (0) for
// a shake and for Go; the two floor cards; 2 (double junk) before 1 for the September
// animal.
CardList LegalAnswers(const GameState& state, const Question& question);

// What `player` answers to the question (the card's -1 means a bomb card).
int AnswerOf(ComputerPlayer& player, const GameState& state, const Question& question);

class QuickTable final : public GameWindow {
 public:
  QuickTable();
  QuickTable(const QuickTable&) = delete;
  QuickTable& operator=(const QuickTable&) = delete;

  Game& game() { return game_; }
  GameState& State() { return game_.state; }

  // Deals a hand from this deck text (two digits a card) with this mission and 선; the
  // human seat's money and the computer's are both `money`.
  void Deal(const std::string& deck, int mission, bool humanFirst, const std::string& money);
  // Goes on from a state where `question` is being asked, with this answer.
  void Resume(const GameState& state, const Question& question, int answer);

  // Plays on, asking the seats, until the hand has ended. False when it stalls (no
  // question is pending, or an answer is not allowed).
  bool PlayToEnd(ComputerPlayer& humanSeat, ComputerPlayer& computerSeat);

  bool Ended() const { return game_.state.Result.Ending != HandEnding::kNotYet; }

  // ---- GameWindow: every question becomes pending, to be answered by PlayToEnd.
  bool IsMinimised() const override { return true; }
  void 타이머_차례시작(int player) override;
  void 타이머_차례중지() override { pending_.reset(); }
  void DisableTurnTimer() override { pending_.reset(); }
  void RequestFloorChoice(const FloorChoice& choice) override;
  void AskSeptemberAnimal() override;
  void AskGoOrStop() override;
  void AskShake(int card) override;
  void OpenCommonDialog() override {}
  void OpenResultDialog() override {}
  void CloseDialog(DialogKind) override {}
  void Unload() override {}
  bool Unloaded() const override { return false; }

 private:
  void Answer(const Question& question, int answer);
  // The seat's answer; an answer the rules do not allow is noted and replaced by the
  // first allowed one.
  int Ask(ComputerPlayer& seat, const Question& question);

  // The computer seat as the hand asks it from inside its procedures.
  class Seat final : public ComputerPlayer {
   public:
    Seat(QuickTable& table, ComputerPlayer& player) : table_(table), player_(player) {}
    int PlayCard(const GameState&, int player) override {
      return table_.Ask(player_, {.What = Question::Kind::kCard, .Player = player});
    }
    bool Shake(const GameState&, int player, int card) override {
      return table_.Ask(player_, {.What = Question::Kind::kShake, .Player = player, .Card = card});
    }
    int TakeFloorCard(const GameState&, int player, const FloorChoice& choice) override {
      return table_.Ask(player_,
                        {.What = Question::Kind::kFloor, .Player = player, .Choice = choice});
    }
    bool Go(const GameState&, int player) override {
      return table_.Ask(player_, {.What = Question::Kind::kGoStop, .Player = player}) == 1;
    }
    int SeptemberAnimal(const GameState&, int player) override {
      return table_.Ask(player_, {.What = Question::Kind::kSeptember, .Player = player});
    }

   private:
    QuickTable& table_;
    ComputerPlayer& player_;
  };

  class InstantLoop final : public platform::EventLoop {
   public:
    platform::Micros NowMicros() const override { return 0; }
    void ProcessEvents() override {}
    void WaitSeconds(double) override {}
    void Run() override {}
  };
  class Silence final : public SoundPlayer, public MessageLog, public platform::Desktop {
   public:
    void PlayGameSound(std::string_view, int, bool, std::string_view, double) override {}
    void AppendLog(std::string_view, std::string_view, Rgb, bool) override {}
    platform::MessageAnswer ShowMessage(std::string_view, std::string_view, platform::MessageIcon,
                                        platform::MessageButtons) override {
      return platform::MessageAnswer::kNo;
    }
    bool OpenWithShell(std::string_view) override { return false; }
  };

  InstantLoop loop_;
  QuietBoard board_;
  Silence silence_;
  Game game_;
  std::optional<Question> pending_;
  bool refused_ = false;
};

}  // namespace hw::search
