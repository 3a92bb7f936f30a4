#pragma once
// The computer's choices: which card to play and whether to go on. A rule list that
// looks only at the table as it is; it never changes it and draws nothing at random.

#include "rules/game_state.h"

namespace hw {

// A card number to play, or -1 for one of the player's bomb cards. Asked for the
// computer's every turn and for a human whose time ran out: the human plays the lowest
// real card, else the lowest service card, else a bomb card (0 when there is nothing).
int ChooseCard(const GameState& state, int player);

// The computer's rule list, for either seat: the card to play, or -1 for a bomb card.
int ChooseCardByRules(const GameState& state, int player);

// -1 Go, 0 Stop: the computer goes on while the human (the opponent) has 4 points or
// less, or holds a card that matches the floor.
int ChooseGoOrStop(const GameState& state, int player);

// The lowest-indexed bomb card the player may still play, or -1.
int FirstAvailableBombCard(const GameState& state, int player);

// Everything the computer decides in a hand, asked where the question arises. Each
// answer must be one the rules allow at that moment.
class ComputerPlayer {
 public:
  virtual ~ComputerPlayer() = default;
  // A card of the player's hand to play, or -1 for one of its bomb cards (the lowest
  // available one is played).
  virtual int PlayCard(const GameState& state, int player) = 0;
  // The card played is one of three of its month and the month is not on the floor:
  // shake (true), or play it plainly.
  virtual bool Shake(const GameState& state, int player, int card) = 0;
  // Which of the two floor cards the played or flipped card takes (First or Second).
  virtual int TakeFloorCard(const GameState& state, int player, const FloorChoice& choice) = 0;
  // The player may stop: Go (true) or Stop.
  virtual bool Go(const GameState& state, int player) = 0;
  // The September animal was captured: 1 it stays an animal, 2 it becomes double junk.
  virtual int SeptemberAnimal(const GameState& state, int player) = 0;
};

// The rule list above, with the computer's fixed answers: it always shakes, takes the
// first of two floor cards and makes the September animal a double junk. It can play
// either seat (the simulator's matches seat it as the human too).
class WrittenPlayer final : public ComputerPlayer {
 public:
  int PlayCard(const GameState& state, int player) override {
    return ChooseCardByRules(state, player);
  }
  bool Shake(const GameState&, int, int) override { return true; }
  int TakeFloorCard(const GameState&, int, const FloorChoice& choice) override {
    return choice.First;
  }
  bool Go(const GameState& state, int player) override {
    return ChooseGoOrStop(state, player) == -1;
  }
  int SeptemberAnimal(const GameState&, int) override { return 2; }

  // The one the game uses unless told otherwise (it keeps no state).
  static WrittenPlayer& Default();
};

}  // namespace hw
