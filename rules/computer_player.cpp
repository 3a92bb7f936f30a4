#include "rules/computer_player.h"

#include <bit>

#include "rules/card_table.h"
#include "rules/lookups.h"

namespace hw {
namespace {

// The lowest-numbered card of the player's hand among cards [from, to), or kNoCard.
int LowestInHand(const GameState& state, int player, int from, int to) {
  const CardSet held = state.CardsAt(player) & (CardBit(to) - 1) & ~(CardBit(from) - 1);
  return held != 0 ? std::countr_zero(held) : kNoCard;
}

}  // namespace

int FirstAvailableBombCard(const GameState& state, int player) {
  for (int index = 0; index < kBombCards; ++index) {
    if (state.BombCards[player][index] == BombCard::kAvailable) return index;
  }
  return -1;
}

int ChooseCard(const GameState& state, int player) {
  if (player == kHuman) {
    // A human whose time runs out plays for no advantage: the lowest card, and only
    // when none is left a service card or a bomb card, so the hand never stalls.
    if (const int card = LowestInHand(state, player, 0, kMonthCards); card != kNoCard) return card;
    if (const int card = LowestInHand(state, player, kMonthCards, state.Room.CardsInPlay);
        card != kNoCard) {
      return card;
    }
    return FirstAvailableBombCard(state, player) >= 0 ? -1 : 0;
  }
  return ChooseCardByRules(state, player);
}

int ChooseCardByRules(const GameState& state, int player) {
  // The matches compare months only; the floor card's own kind decides which choice a
  // hand card counts for, so one hand card can count for several. Service cards, even on
  // the floor, match nothing: only the month cards count.
  const CardSet floor = state.CardsAt(kOnFloor) & kMonthCardSet;
  const CardSet hand = state.CardsAt(player) & kMonthCardSet;
  const auto lowestMatching = [&](CardSet floorCards) {
    const CardSet matching = hand & SameMonthCards(floor & floorCards);
    return matching != 0 ? std::countr_zero(matching) : kNoCard;
  };
  constexpr CardSet kDoubleJunk = CardsMarked(kMarkDoubleJunk);
  const int doubleJunkMatch = lowestMatching(kDoubleJunk);
  const int junkMatch = lowestMatching(CardsOfKind(state, kJunk));
  const int service = LowestInHand(state, player, kMonthCards, state.Room.CardsInPlay);

  if (service != kNoCard && (doubleJunkMatch != kNoCard || junkMatch != kNoCard)) return service;
  for (const int choice :
       {doubleJunkMatch, lowestMatching(CardsOfKind(state, kBright)), service, junkMatch,
        lowestMatching(CardsOfKind(state, kRibbon)), lowestMatching(CardsOfKind(state, kAnimal))}) {
    if (choice != kNoCard) return choice;
  }
  if (FirstAvailableBombCard(state, player) >= 0) return -1;
  const int lowest = LowestInHand(state, player, 0, kMonthCards);
  return lowest != kNoCard ? lowest : 0;
}

int ChooseGoOrStop(const GameState& state, int player) {
  const int opponent = OpponentOf(player);
  if (state.Player(opponent).Score <= 4) return -1;
  // Go only while no card of the opponent's hand matches the floor.
  const CardSet floor = state.CardsAt(kOnFloor) & kMonthCardSet;
  return (state.CardsAt(opponent) & SameMonthCards(floor)) != 0 ? -1 : 0;
}

WrittenPlayer& WrittenPlayer::Default() {
  static WrittenPlayer player;
  return player;
}

}  // namespace hw
