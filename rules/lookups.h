#pragma once
// Questions about the table that every rule asks: who is who, what lies on the floor,
// and which card comes next from the draw pile. None of them changes the state, except
// NextDrawCard when asked to take the card.

#include <string>
#include <string_view>

#include "rules/game_state.h"

namespace hw {

// The index of the player with this TurnOrder (1 for 선, 2 for the other); 0 when none.
int PlayerByOrder(const GameState& state, int order);
// The index of the player with this name; 0 when none.
int PlayerByName(const GameState& state, std::string_view name);
int OpponentOf(int player);

// The first card still in the draw pile, or kNoCard when it is empty. With `remove`
// the card leaves the pile.
int NextDrawCard(GameState& state, bool remove);
int PeekDrawCard(const GameState& state);

// Where a card of this card's month would go on the floor: the slot of the last floor
// card of its month in card-number order (the first free slot when there is none), and
// how many floor cards of its month there are, and which.
struct FloorMatch {
  int Slot = 0;
  int Count = 0;
  CardList Cards;  // as FloorMatchList gives them
};
FloorMatch FloorMatchInfo(const GameState& state, int card);

// The floor cards of the card's month, in card-number order.
CardList FloorMatchList(const GameState& state, int card);

// The lowest unused floor slot; 0 when all are used.
int FirstFreeSlot(const GameState& state);

// The lowest-numbered card in play lying in the slot; 0 when there is none.
int CardInSlot(const GameState& state, int slot);

// A card of this card's month lies on the floor (month cards only).
bool FloorHasMonth(const GameState& state, int card);

// "12,13," for the cards 12 and 13: the text form of card lists in logs and tests.
std::string CardListText(const CardList& cards);

}  // namespace hw
