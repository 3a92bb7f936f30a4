#pragma once
// The fixed part of the game data, set once at start-up: what each card is, and where
// hand slots, capture piles and floor slots lie on the board (rules/board_geometry.h).

#include <cassert>

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

namespace detail {

struct CardFace {
  int kind;
  int mark;
};

// The 48 month cards, four per month in month order.
// clang-format off
inline constexpr CardFace kMonthCardFaces[kMonthCards] = {
    // 1 January: pine
    {kBright, kMarkNone}, {kRibbon, kMarkRedPoemRibbon}, {kJunk, kMarkNone}, {kJunk, kMarkNone},
    // 2 February: plum blossom
    {kAnimal, kMarkGodoriBird}, {kRibbon, kMarkRedPoemRibbon}, {kJunk, kMarkNone}, {kJunk, kMarkNone},
    // 3 March: cherry blossom
    {kBright, kMarkNone}, {kRibbon, kMarkRedPoemRibbon}, {kJunk, kMarkNone}, {kJunk, kMarkNone},
    // 4 April: wisteria
    {kAnimal, kMarkGodoriBird}, {kRibbon, kMarkGrassRibbon}, {kJunk, kMarkNone}, {kJunk, kMarkNone},
    // 5 May: iris
    {kAnimal, kMarkNone}, {kRibbon, kMarkGrassRibbon}, {kJunk, kMarkNone}, {kJunk, kMarkNone},
    // 6 June: peony
    {kAnimal, kMarkNone}, {kRibbon, kMarkBlueRibbon}, {kJunk, kMarkNone}, {kJunk, kMarkNone},
    // 7 July: bush clover
    {kAnimal, kMarkNone}, {kRibbon, kMarkGrassRibbon}, {kJunk, kMarkNone}, {kJunk, kMarkNone},
    // 8 August: pampas grass
    {kBright, kMarkNone}, {kAnimal, kMarkGodoriBird}, {kJunk, kMarkNone}, {kJunk, kMarkNone},
    // 9 September: chrysanthemum; its animal may also serve as double junk
    {kAnimal, kMarkDoubleJunk}, {kRibbon, kMarkBlueRibbon}, {kJunk, kMarkNone}, {kJunk, kMarkNone},
    // 10 October: maple
    {kAnimal, kMarkNone}, {kRibbon, kMarkBlueRibbon}, {kJunk, kMarkNone}, {kJunk, kMarkNone},
    // 11 November: paulownia
    {kBright, kMarkNone}, {kJunk, kMarkDoubleJunk}, {kJunk, kMarkNone}, {kJunk, kMarkNone},
    // 12 December: rain
    {kBright, kMarkRainBright}, {kAnimal, kMarkDecemberAnimal}, {kRibbon, kMarkNone}, {kJunk, kMarkDoubleJunk},
};
// clang-format on

}  // namespace detail

// The kind and the mark a card is printed with (cards 0..52), as the card table starts
// them: the September animal is an animal here, whatever its owner later chooses.
constexpr int KindOfCardNumber(int card) {
  return card < kMonthCards ? detail::kMonthCardFaces[card].kind : kJunk;
}
constexpr int MarkOfCardNumber(int card) {
  // The service cards count as double junk.
  return card < kMonthCards ? detail::kMonthCardFaces[card].mark : kMarkDoubleJunk;
}

// The cards printed with a kind, or with a mark, as a set (the service cards included).
constexpr CardSet CardsOfKind(int kind) {
  CardSet cards = 0;
  for (int card = 0; card < kMaxCardsInPlay; ++card) {
    if (KindOfCardNumber(card) == kind) cards |= CardBit(card);
  }
  return cards;
}
constexpr CardSet CardsMarked(int mark) {
  CardSet cards = 0;
  for (int card = 0; card < kMaxCardsInPlay; ++card) {
    if (MarkOfCardNumber(card) == mark) cards |= CardBit(card);
  }
  return cards;
}
// The cards of a kind as they stand in this hand: the September animal with the kind
// its owner chose for it.
inline CardSet CardsOfKind(const GameState& state, int kind) {
  static constexpr CardSet kPrinted[] = {0, CardsOfKind(kBright), CardsOfKind(kAnimal),
                                         CardsOfKind(kRibbon), CardsOfKind(kJunk)};
  assert(kind >= kBright && kind <= kJunk);
  const CardSet others = kPrinted[kind] & ~CardBit(kSeptemberAnimal);
  return state.Card(kSeptemberAnimal).Kind == kind ? others | CardBit(kSeptemberAnimal) : others;
}

}  // namespace hw
