#pragma once
// The second half of every turn and its rules: flipping from the draw pile, matching
// the flipped card, ppeok, jjok, taking the stacks, ttadak, self-ppeok, sweeping the
// floor, stealing junk from the opponent, and the end of the turn.

#include <string_view>

#include "hand/game.h"

namespace hw {

// A turn flips after a card from the hand, or only flips (a bomb card played).
enum class FlipKind { kAfterHandCard, kFlipOnly };
// Flips the draw pile's next card and finishes the turn.
void FlipFromDeck(Game& game, int player, FlipKind kind);

// Finishes a turn whose flipped card had to choose between two floor cards.
void ResolveFlipChoice(Game& game, int player, int card, int chosen);

// The end of a turn: empty slots freed, the score and what follows from it, and, when
// nothing else takes over, the opponent's turn.
void EndTurn(Game& game, int player);

// The player made a ppeok with these cards: counted, their months remembered, and on
// the player's first turn rewarded with money from the opponent.
void RegisterPpeok(Game& game, int player, const CardList& stack);
bool IsOwnPpeok(const GameState& state, int month, int player);
// True (with the sweep's voice) when the player has taken every card off the floor,
// except on the player's last turn.
bool IsSweep(Game& game, int player);
// The thief takes n junk points' worth of cards from the opponent's junk pile (n 1..5).
void StealJunk(Game& game, int thief, int n);
// Adds a decimal amount to the player's money and running gain, or takes it off when it
// starts with "-". A gain is announced in the log.
void ApplyMoneyChange(Game& game, int player, std::string_view amount);

// Lays the player's hand out in card-number order and marks every month of which the
// hand holds three cards (they may shake or bomb).
void LayOutHand(Game& game, int player);
// The card left behind by a choice between two floor cards goes back to its slot's base.
void RestoreChoiceSlot(Game& game, ChoiceSide side);
void FreeEmptySlots(GameState& state);
// Takes a card out of the player's pile of a kind and lays the pile out again.
void RemoveCaptured(Game& game, int player, int kind, int card);
// A card of this card's month lies on the floor (month cards only).
bool FloorHasMonth(const GameState& state, int card);

}  // namespace hw
