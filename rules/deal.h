#pragma once
// A hand before its first card: the players' records, the shuffle and the deal. Values
// in, values out: the deal only moves card numbers between the state's lists.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "rules/game_state.h"
#include "rules/random.h"

namespace hw {

// A player's per-hand figures back to nothing (scores, counters, announcements).
void ClearHandFigures(PlayerRecord& player);

// Fills a player record and clears its per-hand figures. RunningGain and TurnOrder
// keep their values.
void SetUpPlayer(GameState& state, int index, std::string_view name, std::string_view voiceFolder,
                 std::string_view money, int avatar, std::string_view wins, std::string_view losses,
                 std::string_view draws, int seat, std::string_view missionCount);

// The logged-in player (PlayerInfo) takes the human's seat and the room: he owns it, is
// 선 for the first hand, and the house rules are the ones the game always plays. The
// stake, card speed, sound and service cards are the caller's.
void SeatLoggedInPlayer(GameState& state);

// A uniformly shuffled deck of 48 + serviceCards cards as deck text: two digits per
// card, in dealing order. serviceCards must be 0..5.
std::string Shuffle(int serviceCards, GameRandom& random);
// The same shuffle written into `text`; returns the deck text, which lives in `text`.
using DeckTextBuffer = std::array<char, 2 * kMaxCardsInPlay>;
std::string_view ShuffleInto(int serviceCards, GameRandom& random, DeckTextBuffer& text);

// Why a deck text cannot be dealt with this many cards in play, or "" when it can: it
// must hold every card 0..cardsInPlay-1 exactly once, two decimal digits each.
std::string DeckTextProblem(std::string_view deckText, int cardsInPlay);
// The deck text can be dealt with this many cards in play (DeckTextProblem would find
// nothing), without building any message.
bool DeckTextIsValid(std::string_view deckText, int cardsInPlay);

// Deals a deck text for Room.CardsInPlay cards: four cards to the floor, five to each
// hand (the second player first), four more to the floor, five more to each hand; the
// rest stays in the draw pile. The floor slots 0..7 become used. Throws
// std::invalid_argument (with DeckTextProblem's reason) for a deck that cannot be dealt.
void Deal(GameState& state, std::string_view deckText);
// Deal for a deck text that DeckTextIsValid has passed for Room.CardsInPlay cards.
void DealCheckedDeck(GameState& state, std::string_view deckText);

// A hand's deck and mission from one source of chance: the shuffle first, then the
// mission, as the game deals a hand itself. The portal deals from a cryptographic seed;
// anyone who has the seed can deal the same hand again.
struct SeededDeal {
  std::string Deck;
  int Mission = 0;
};
SeededDeal DealFrom(GameRandom random, int serviceCards);

}  // namespace hw
