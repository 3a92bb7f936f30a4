#include "rules/computer_player.h"

#include <array>
#include <bit>
#include <cstdint>

#include "rules/lookups.h"

namespace hw {
namespace {

// The lowest-numbered card of the player's hand among cards [from, to), or kNoCard.
int LowestInHand(const GameState& state, int player, int from, int to) {
  const CardSet held = state.HandCards[player] & (CardBit(to) - 1) & ~(CardBit(from) - 1);
  return held != 0 ? std::countr_zero(held) : kNoCard;
}

// What lies on the floor, month by month: one bit per kind of floor card, so that a hand
// card's matches are a single look-up.
enum FloorBit : std::uint8_t {
  kFloorDoubleJunk = 1,
  kFloorBright = 2,
  kFloorAnimal = 4,
  kFloorRibbon = 8,
  kFloorJunk = 16,
  kFloorAny = 32,
};

// Service cards, even on the floor, match nothing: only the month cards count.
std::array<std::uint8_t, 13> FloorByMonth(const GameState& state) {
  static constexpr std::uint8_t kKindBit[5] = {0, kFloorBright, kFloorAnimal, kFloorRibbon,
                                               kFloorJunk};
  std::array<std::uint8_t, 13> months{};
  for (CardSet rest = state.FloorCards & kMonthCardSet; rest != 0; rest &= rest - 1) {
    const CardRecord& c = state.Card(std::countr_zero(rest));
    months[c.Month] |=
        kFloorAny | kKindBit[c.Kind] | (c.Mark == kMarkDoubleJunk ? kFloorDoubleJunk : 0);
  }
  return months;
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
  int doubleJunkMatch = kNoCard, brightMatch = kNoCard, animalMatch = kNoCard,
      ribbonMatch = kNoCard, junkMatch = kNoCard;
  auto firstOf = [](int& slot, int card, int bits, int bit) {
    if ((bits & bit) != 0 && slot == kNoCard) slot = card;
  };
  // The matches compare months only; the floor card's own kind decides which list a hand
  // card falls into, so one hand card can be in several.
  const auto floor = FloorByMonth(state);
  for (CardSet rest = state.HandCards[player] & kMonthCardSet; rest != 0; rest &= rest - 1) {
    const int card = std::countr_zero(rest);
    const int bits = floor[state.Card(card).Month];
    if (bits == 0) continue;
    firstOf(doubleJunkMatch, card, bits, kFloorDoubleJunk);
    firstOf(brightMatch, card, bits, kFloorBright);
    firstOf(animalMatch, card, bits, kFloorAnimal);
    firstOf(ribbonMatch, card, bits, kFloorRibbon);
    firstOf(junkMatch, card, bits, kFloorJunk);
  }
  const int service = LowestInHand(state, player, kMonthCards, state.Room.CardsInPlay);

  if (service != kNoCard && (doubleJunkMatch != kNoCard || junkMatch != kNoCard)) return service;
  for (const int choice :
       {doubleJunkMatch, brightMatch, service, junkMatch, ribbonMatch, animalMatch}) {
    if (choice != kNoCard) return choice;
  }
  if (FirstAvailableBombCard(state, player) >= 0) return -1;
  const int lowest = LowestInHand(state, player, 0, kMonthCards);
  return lowest != kNoCard ? lowest : 0;
}

int ChooseGoOrStop(const GameState& state, int player) {
  const int opponent = OpponentOf(player);
  if (state.Player(opponent).Score <= 4) return -1;
  const auto floor = FloorByMonth(state);
  for (CardSet rest = state.HandCards[opponent] & kMonthCardSet; rest != 0; rest &= rest - 1) {
    if (floor[state.Card(std::countr_zero(rest)).Month] != 0) return -1;
  }
  return 0;
}

WrittenPlayer& WrittenPlayer::Default() {
  static WrittenPlayer player;
  return player;
}

}  // namespace hw
