#pragma once
// Setting a hand up: the players, the reset between hands, the shuffle, the deal and
// the tidying of the floor after it.

#include <string>
#include <string_view>

#include "hand/game.h"

namespace hw {

// Fills a player record and clears its per-hand figures. RunningGain and TurnOrder
// keep their values.
void SetUpPlayer(GameState& state, int index, std::string_view name, std::string_view voiceFolder,
                 std::string_view money, int avatar, std::string_view wins, std::string_view losses,
                 std::string_view draws, int seat, std::string_view missionCount);

// The logged-in player (PlayerInfo) takes the human's seat and the room: he owns it, is
// 선 for the first hand, and the house rules are the ones the game always plays. The
// stake, card speed, sound and service cards are the caller's.
void SeatLoggedInPlayer(GameState& state);

// The human from the login data, the computer afresh with 1000000 won; then the
// computer's panel is redrawn.
void SetUpBothPlayers(Game& game);

// The board clean for the next hand: per-hand figures, captures, hands, turn state,
// floor slots and ppeok owners cleared; Room.Status back to 'F'.
void ResetHand(Game& game);

// Before a deal: every card out of play, hidden, its marks cleared; the September
// animal's role open again.
void ClearCardTable(Game& game);

// The named player becomes 선 (TurnOrder 1), the other TurnOrder 2; the log says so.
void AssignTurnOrder(Game& game, std::string_view seonName);

// A uniformly shuffled deck of 48 + serviceCards cards as deck text: two digits per
// card, in dealing order. serviceCards must be 0..5.
std::string Shuffle(int serviceCards, GameRandom& random);

// Why a deck text cannot be dealt with this many cards in play, or "" when it can: it
// must hold every card 0..cardsInPlay-1 exactly once, two decimal digits each.
std::string DeckTextProblem(std::string_view deckText, int cardsInPlay);

// Deals a deck text for Room.CardsInPlay cards: four cards to the floor, five to each
// hand (the second player first), four more to the floor, five more to each hand; the
// rest stays in the draw pile. The floor slots 0..7 become used. Throws
// std::invalid_argument (with DeckTextProblem's reason) for a deck that cannot be dealt.
void Deal(GameState& state, std::string_view deckText);

// After the deal: service cards on the floor go to 선 and are replaced from the draw
// pile (again while replacements are service cards); then the floor is regrouped so
// that cards of one month share a slot.
void TidyFloorAfterDeal(Game& game);

}  // namespace hw
