#include "portal/fair_deal.h"

#include <gtest/gtest.h>

#include <set>

#include "rules/card_table.h"

namespace hw::portal {
namespace {

constexpr std::string_view kServerSeed =
    "4f1c2a9e7b3d5f60812a4c6e8f0b1d3e5a7c9e1f3b5d7f9a2c4e6a8b0d2f4a6c";

TEST(FairDealTest, SeedsAreLowerHexOfTheirLengths) {
  EXPECT_TRUE(IsServerSeed(kServerSeed));
  EXPECT_FALSE(IsServerSeed(kServerSeed.substr(1)));
  EXPECT_FALSE(IsServerSeed(std::string(63, 'a') + "A"));
  EXPECT_TRUE(IsGameSeed("0"));
  EXPECT_TRUE(IsGameSeed(std::string(64, 'f')));
  EXPECT_FALSE(IsGameSeed(""));
  EXPECT_FALSE(IsGameSeed(std::string(65, 'f')));
  EXPECT_FALSE(IsGameSeed("12g4"));
  EXPECT_FALSE(IsGameSeed("12 4"));
}

TEST(FairDealTest, TheCommitmentIsTheSeedsSha256AsSha256sumPrintsIt) {
  // echo -n abc | sha256sum
  EXPECT_EQ(SeedCommitment("abc"),
            "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

TEST(FairDealTest, TheSameSeedsAlwaysDealTheSameHandAndAnyChangeAnother) {
  const SeededDeal deal = FairDeal(kServerSeed, "9a3f", "17", 3);
  // Hands already dealt must stay checkable: this deal may never change.
  EXPECT_EQ(
      deal.Deck,
      "224411323449001301502047152831083017480618414502393812402535461404264321034233240516291937"
      "072736091023");
  EXPECT_EQ(deal.Mission, 1);
  EXPECT_EQ(DeckTextProblem(deal.Deck, kMonthCards + 3), "");

  std::set<std::string> decks = {deal.Deck};
  decks.insert(FairDeal(kServerSeed, "9a3f", "18", 3).Deck);
  decks.insert(FairDeal(kServerSeed, "9a3e", "17", 3).Deck);
  std::string otherServer(kServerSeed);
  otherServer[0] = '5';
  decks.insert(FairDeal(otherServer, "9a3f", "17", 3).Deck);
  EXPECT_EQ(decks.size(), 4u);
  // The parts are joined with ":", so moving a digit across the join deals another hand.
  EXPECT_NE(FairDeal(kServerSeed, "9a3f1", "7", 3).Deck, deal.Deck);
}

TEST(FairDealTest, EveryNumberOfServiceCardsDealsAFullDeck) {
  for (int service = 0; service <= 5; ++service) {
    const SeededDeal deal = FairDeal(kServerSeed, "ab", "1", service);
    EXPECT_EQ(DeckTextProblem(deal.Deck, kMonthCards + service), "") << service;
    EXPECT_GE(deal.Mission, 0);
    EXPECT_LT(deal.Mission, 9);
  }
}

}  // namespace
}  // namespace hw::portal
