#pragma once
// The fixed part of the game data, set once at start-up: what each card is, and where
// hand slots, capture piles and floor slots lie on the board (rules/board_geometry.h).

#include "rules/board_geometry.h"
#include "rules/game_state.h"

namespace hw {

// Month, kind and mark of every card; both picture positions back to 0.
void InitCardTable(GameState& state);
void InitFloorSlots(GameState& state);
void InitHandSlots(GameState& state);
void InitPileAnchors(GameState& state);

// All of the above, in the order start-up calls them: floor slots, hand slots, card
// table, pile anchors.
void SetUpBoardLayout(GameState& state);

// The month a card belongs to: 1..12 for the month cards 0..47; the service cards
// 48..52 get a pseudo-month each, 13..17, so that they never match another card.
constexpr int MonthOfCardNumber(int card) {
  return card < kMonthCards ? card / 4 + 1 : card - kMonthCards + 13;
}

// The kind and the mark a card is printed with (cards 0..52), as the card table starts
// them: the September animal is an animal here, whatever its owner later chooses.
int KindOfCardNumber(int card);
int MarkOfCardNumber(int card);

}  // namespace hw
