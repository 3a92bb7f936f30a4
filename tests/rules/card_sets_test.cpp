#include <gtest/gtest.h>

#include "rules/card_table.h"

namespace hw {
namespace {

TEST(CardSetsTest, CountsEveryCard) {
  EXPECT_EQ(CardCount(0), 0);
  EXPECT_EQ(CardCount(kMonthCardSet), kMonthCards);
  EXPECT_EQ(CardCount((CardSet{1} << kMaxCardsInPlay) - 1), kMaxCardsInPlay);
  EXPECT_EQ(CardCount(~CardSet{0}), 64);
  CardSet cards = 0;
  int added = 0;
  for (int card = 0; card < kMaxCardsInPlay; card += 3, ++added)
    cards |= CardBit(card);
  EXPECT_EQ(CardCount(cards), added);
}

TEST(CardSetsTest, SameMonthCardsSpreadsEachMonthCardToItsMonth) {
  for (int card = 0; card < kMonthCards; ++card) {
    EXPECT_EQ(SameMonthCards(CardBit(card)), MonthCardSet(MonthOfCardNumber(card))) << card;
  }
  EXPECT_EQ(SameMonthCards(CardBit(1) | CardBit(2) | CardBit(45)),
            MonthCardSet(1) | MonthCardSet(12));
  for (int card = kMonthCards; card < kMaxCardsInPlay; ++card) {
    EXPECT_EQ(SameMonthCards(CardBit(card)), 0u) << "service card " << card << " has no month";
  }
  EXPECT_EQ(SameMonthCards(0), 0u);
}

TEST(CardSetsTest, KindsAndMarksFollowTheCardTable) {
  GameState state;
  InitCardTable(state);
  CardSet everyKind = 0;
  for (int kind = kBright; kind <= kJunk; ++kind) {
    const CardSet cards = CardsOfKind(state, kind);
    EXPECT_EQ(cards & everyKind, 0u) << "a card of two kinds";
    everyKind |= cards;
    for (int card = 0; card < kMaxCardsInPlay; ++card) {
      EXPECT_EQ((cards & CardBit(card)) != 0, state.Card(card).Kind == kind) << card;
    }
  }
  EXPECT_EQ(everyKind, (CardSet{1} << kMaxCardsInPlay) - 1);
  EXPECT_EQ(CardsMarked(kMarkDoubleJunk),
            CardBit(32) | CardBit(41) | CardBit(47) | (everyKind & ~kMonthCardSet));
  EXPECT_EQ(CardCount(CardsOfKind(kBright)), 5);

  // The September animal moved to the junk pile is junk from then on.
  state.Card(kSeptemberAnimal).Kind = kJunk;
  EXPECT_EQ(CardsOfKind(state, kAnimal) & CardBit(kSeptemberAnimal), 0u);
  EXPECT_NE(CardsOfKind(state, kJunk) & CardBit(kSeptemberAnimal), 0u);
}

}  // namespace
}  // namespace hw
