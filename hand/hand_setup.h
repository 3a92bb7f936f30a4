#pragma once
// Setting a hand up: the players, the reset between hands, the shuffle, the deal and
// the tidying of the floor after it.

#include <string>
#include <string_view>

#include "hand/game.h"
#include "rules/deal.h"

namespace hw {

// The human from the login data, the computer afresh with 1000000 won; then the
// computer's panel is redrawn.
void SetUpBothPlayers(Game& game);

// The board clean for the next hand: per-hand figures, captures, hands, turn state,
// floor slots and ppeok owners cleared; no hand running.
void ResetHand(Game& game);

// Before a deal: every card out of play, hidden, its marks cleared; the September
// animal's role open again.
void ClearCardTable(Game& game);

// The named player becomes 선 (TurnOrder 1), the other TurnOrder 2; the log says so.
void AssignTurnOrder(Game& game, std::string_view seonName);

// After the deal: service cards on the floor go to 선 and are replaced from the draw
// pile (again while replacements are service cards); then the floor is regrouped so
// that cards of one month share a slot.
void TidyFloorAfterDeal(Game& game);

}  // namespace hw
