#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>
#include <stdexcept>
#include <vector>

#include "hand/hand_setup.h"
#include "rules/card_table.h"
#include "rules/lookups.h"
#include "rules/random.h"
#include "tests/support/deck_builder.h"
#include "tests/support/recording_effects.h"

namespace hw {
namespace {

using testing::DeckFor;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using testing::RecordedGame;

// A table ready for a hand: both players set up, the human is 선.
void PrepareHand(Game& game, int serviceCards) {
  SetUpBoardLayout(game.state);
  game.state.PlayerInfo.Name = "tester";
  game.state.PlayerInfo.Money = "50000";
  SetUpBothPlayers(game);
  game.state.Room.ServiceCards = serviceCards;
  game.state.Room.CardsInPlay = kMonthCards + serviceCards;
  ClearCardTable(game);
  AssignTurnOrder(game, "tester");
}

std::vector<int> HandOf(const GameState& state, int player) {
  const auto& hand = state.SeatOf(player).Hand;
  return {hand.begin(), hand.end()};
}

// Every card in play is in exactly one place, and the places agree with the lists.
void ExpectConsistentTable(const GameState& state) {
  std::map<int, int> seen;
  for (int player = 0; player < kPlayers; ++player) {
    for (int card : state.SeatOf(player).Hand) {
      if (card == kNoCard) continue;
      ++seen[card];
      EXPECT_EQ(state.Card(card).Location, player) << "card " << card;
    }
    for (int kind = kBright; kind <= kJunk; ++kind) {
      const auto& seat = state.SeatOf(player);
      for (int i = 0; i < seat.CapturedCountByKind[kind]; ++i) {
        const int card = seat.Captured[kind][i];
        ++seen[card];
        EXPECT_EQ(state.Card(card).Location, CapturedBy(player)) << "card " << card;
      }
    }
  }
  for (int card : state.DrawPile) {
    if (card == kNoCard) continue;
    ++seen[card];
    EXPECT_EQ(state.Card(card).Location, kInDrawPile) << "card " << card;
  }
  for (int card = 0; card < state.Room.CardsInPlay; ++card) {
    if (state.Card(card).Location != kOnFloor) continue;
    ++seen[card];
    const int slot = state.Card(card).FloorSlot;
    ASSERT_GE(slot, 0) << "card " << card;
    EXPECT_EQ(state.FloorSlots[slot].Used, 1) << "slot " << slot;
  }
  EXPECT_EQ(seen.size(), static_cast<std::size_t>(state.Room.CardsInPlay));
  for (const auto& [card, count] : seen)
    EXPECT_EQ(count, 1) << "card " << card;
}

TEST(ShuffleTest, DeckTextHoldsEveryCardOnceAsTwoDigits) {
  GameRandom random(1);
  for (int service = 0; service <= kMaxServiceCards; ++service) {
    const std::string deck = Shuffle(service, random);
    EXPECT_EQ(deck.size(), static_cast<std::size_t>(2 * (kMonthCards + service)));
    EXPECT_EQ(DeckTextProblem(deck, kMonthCards + service), "");
  }
  EXPECT_THROW(Shuffle(6, random), std::invalid_argument);
  EXPECT_THROW(Shuffle(-1, random), std::invalid_argument);
}

// The game's engine gives the numbers of std::mt19937_64, seeded either way, over many
// renewals of its state; a fault in any of the three renewal steps or in either seeding
// shows within the first 312 numbers.
TEST(GameRandomTest, TheEngineIsTheStandardsMersenneTwister) {
  for (const std::uint64_t seed : {std::uint64_t{0}, std::uint64_t{1}, std::uint64_t{5489},
                                   std::uint64_t{0x5eedc0ffee123457}, ~std::uint64_t{0}}) {
    MersenneTwister64 engine(seed);
    std::mt19937_64 standard(seed);
    for (int draw = 0; draw < 5000; ++draw)
      ASSERT_EQ(engine(), standard()) << "seed " << seed << ", draw " << draw;
  }
  for (const std::vector<std::uint32_t>& words :
       {std::vector<std::uint32_t>{}, std::vector<std::uint32_t>{7},
        std::vector<std::uint32_t>{0xdeadbeef, 0, 42, 0xffffffff, 1, 2, 3, 4}}) {
    std::seed_seq a(words.begin(), words.end());
    std::seed_seq b(words.begin(), words.end());
    MersenneTwister64 engine(a);
    std::mt19937_64 standard(b);
    for (int draw = 0; draw < 5000; ++draw)
      ASSERT_EQ(engine(), standard()) << words.size() << " seed words, draw " << draw;
  }
}

// A number below a bound is the engine's next output (rejecting the lowest 2^64 mod bound
// outputs) modulo the bound, whatever way it is computed: the same numbers on every
// machine and in every version.
TEST(GameRandomTest, BelowIsTheEnginesOutputModuloTheBound) {
  GameRandom random(2026);
  std::mt19937_64 engine(2026);
  const auto expected = [&engine](std::uint64_t bound) {
    const std::uint64_t threshold = (0 - bound) % bound;
    std::uint64_t x = engine();
    while (x < threshold)
      x = engine();
    return static_cast<int>(x % bound);
  };
  for (int round = 0; round < 2000; ++round) {
    for (const int bound : {1, 2, 3, 7, 10, 47, 52, 53, 63, 64, 65, 1000, 2147483647}) {
      ASSERT_EQ(random.Below(bound), expected(static_cast<std::uint64_t>(bound)))
          << "bound " << bound << ", round " << round;
    }
  }
  for (int bound = 1; bound <= 100; ++bound) {
    for (int draw = 0; draw < 100; ++draw)
      ASSERT_EQ(random.Below(bound), expected(static_cast<std::uint64_t>(bound))) << bound;
  }
}

TEST(ShuffleTest, SameSeedSameDeckAndOtherSeedsOtherDecks) {
  GameRandom a(7), b(7), c(8);
  const std::string first = Shuffle(3, a);
  EXPECT_EQ(first, Shuffle(3, b));
  EXPECT_NE(first, Shuffle(3, c));
}

// A shuffle that only makes cyclic permutations never leaves a card where it started
// and never puts a card back into its own starting place; a uniform one does both
// about as often as chance says.
TEST(ShuffleTest, EveryCardReachesEveryPositionEvenly) {
  GameRandom random(2026);
  constexpr int kDecks = 48'000;
  std::vector<std::vector<int>> counts(48, std::vector<int>(48, 0));
  int decksWithAFixedPoint = 0;
  for (int d = 0; d < kDecks; ++d) {
    const std::string deck = Shuffle(0, random);
    bool fixedPoint = false;
    for (int position = 0; position < 48; ++position) {
      const int card = (deck[2 * position] - '0') * 10 + (deck[2 * position + 1] - '0');
      ++counts[card][position];
      fixedPoint = fixedPoint || card == position;
    }
    decksWithAFixedPoint += fixedPoint ? 1 : 0;
  }
  // 1000 expected in each cell; the standard deviation is about 31.
  for (int card = 0; card < 48; ++card) {
    for (int position = 0; position < 48; ++position) {
      EXPECT_NEAR(counts[card][position], 1000, 180) << "card " << card << " at " << position;
    }
  }
  // About 1 - 1/e of all permutations have a fixed point.
  EXPECT_NEAR(decksWithAFixedPoint / double(kDecks), 0.632, 0.02);
}

TEST(DeckTextTest, RefusesWhatCannotBeDealtWithAClearReason) {
  const std::string good = DeckFor(48).Text();
  EXPECT_EQ(DeckTextProblem(good, 48), "");
  EXPECT_THAT(DeckTextProblem(good, 49), HasSubstr("98 characters long, not 96"));
  EXPECT_THAT(DeckTextProblem(good + "4", 48), HasSubstr("not 97"));
  EXPECT_THAT(DeckTextProblem(good, 54), HasSubstr("48 to 53 cards"));

  std::string repeated = good;
  repeated.replace(2, 2, good.substr(0, 2));
  EXPECT_THAT(DeckTextProblem(repeated, 48), HasSubstr("appears twice, at positions 1 and 2"));

  std::string outOfRange = good;
  outOfRange.replace(94, 2, "48");
  EXPECT_THAT(DeckTextProblem(outOfRange, 48), HasSubstr("card 48 at position 48 is not in play"));

  for (const std::string bad : {"a1", " 1", "-1", "1\n"}) {
    std::string notDigits = good;
    notDigits.replace(10, 2, bad);
    EXPECT_THAT(DeckTextProblem(notDigits, 48), HasSubstr("position 6")) << bad;
    EXPECT_THAT(DeckTextProblem(notDigits, 48), HasSubstr("is not two digits")) << bad;
  }
  // The reason quotes a damaged card so that it can be shown and logged whole: a NUL, a
  // line break or a byte of another encoding comes out as \xHH.
  std::string damaged = good;
  damaged.replace(0, 2, std::string("\0\n", 2));
  EXPECT_THAT(DeckTextProblem(damaged, 48), HasSubstr("(\"\\x00\\x0a\") is not two digits"));
  damaged.replace(0, 2, "\xd5\\");
  EXPECT_THAT(DeckTextProblem(damaged, 48), HasSubstr("(\"\\xd5\\x5c\") is not two digits"));
}

// The quick check and the reasons must agree on every deck: a deck the check passes is
// dealt without a reason being looked for, and one it refuses is refused with a reason.
TEST(DeckTextTest, TheQuickCheckAgreesWithTheReasons) {
  GameRandom random(11);
  std::mt19937 damage(5);
  int refused = 0, passed = 0;
  for (int round = 0; round < 400; ++round) {
    const int service = round % (kMaxServiceCards + 1);
    const int cards = kMonthCards + service;
    std::string deck = Shuffle(service, random);
    switch (round % 8) {
      case 0:  // as shuffled
        break;
      case 1:  // one card twice
        deck.replace(2 * (damage() % cards), 2, deck.substr(2 * (damage() % cards), 2));
        break;
      case 2:  // one digit changed to any byte
        deck[damage() % deck.size()] = static_cast<char>(damage() % 256);
        break;
      case 3:  // two digits swapped
        std::swap(deck[damage() % deck.size()], deck[damage() % deck.size()]);
        break;
      case 4:  // one character short or long
        if (damage() % 2 == 0) {
          deck.pop_back();
        } else {
          deck += '0';
        }
        break;
      case 5:  // a card that is not in play
        deck.replace(2 * (damage() % cards), 2, std::to_string(cards + damage() % (100 - cards)));
        break;
      case 6:  // dealt with another number of cards
        EXPECT_EQ(DeckTextIsValid(deck, cards + 1), DeckTextProblem(deck, cards + 1).empty());
        EXPECT_FALSE(DeckTextIsValid(deck, 47));
        EXPECT_FALSE(DeckTextIsValid(deck, 54));
        break;
      default:  // the first two cards swapped: still a deck
        std::swap(deck[0], deck[2]);
        std::swap(deck[1], deck[3]);
        break;
    }
    const bool valid = DeckTextIsValid(deck, cards);
    EXPECT_EQ(valid, DeckTextProblem(deck, cards).empty()) << deck;
    (valid ? passed : refused) += 1;
  }
  EXPECT_GT(passed, 100);
  EXPECT_GT(refused, 100);
}

TEST(ShuffleTest, TheShuffleIntoABufferIsTheShuffle) {
  GameRandom a(99), b(99);
  for (int service = 0; service <= kMaxServiceCards; ++service) {
    DeckTextBuffer buffer;
    buffer.fill('x');
    const std::string_view text = ShuffleInto(service, a, buffer);
    EXPECT_EQ(text, Shuffle(service, b));
    EXPECT_EQ(text.data(), buffer.data());
  }
  DeckTextBuffer buffer;
  EXPECT_THROW(ShuffleInto(6, a, buffer), std::invalid_argument);
}

TEST(DealTest, ABadDeckIsNeverDealt) {
  RecordedGame rec;
  PrepareHand(rec.game, 0);
  const GameState before = rec.game.state;
  EXPECT_THROW(Deal(rec.game.state, "0001"), std::invalid_argument);
  EXPECT_EQ(rec.game.state.DrawPile, before.DrawPile);
  for (int card = 0; card < kMaxCardsInPlay; ++card) {
    EXPECT_EQ(rec.game.state.Card(card).Location, before.Card(card).Location);
  }
}

TEST(DealTest, CardsGoToFloorAndHandsInDealingOrder) {
  RecordedGame rec;
  PrepareHand(rec.game, 0);
  GameState& state = rec.game.state;
  // The identity deck: card i is dealt at position i.
  std::string deck;
  for (int i = 0; i < 48; ++i)
    deck += (i < 10 ? "0" : "") + std::to_string(i);

  Deal(state, deck);

  // The human is 선 (TurnOrder 1): the computer gets the first five hand cards.
  EXPECT_THAT(HandOf(state, kComputer), ElementsAre(4, 5, 6, 7, 8, 18, 19, 20, 21, 22));
  EXPECT_THAT(HandOf(state, kHuman), ElementsAre(9, 10, 11, 12, 13, 23, 24, 25, 26, 27));
  for (int slot = 0; slot < 8; ++slot) {
    const int card = slot < 4 ? slot : slot + 10;
    EXPECT_EQ(state.Card(card).Location, kOnFloor);
    EXPECT_EQ(state.Card(card).FloorSlot, slot);
    EXPECT_EQ(state.FloorSlots[slot].Used, 1);
  }
  EXPECT_EQ(state.FloorSlots[8].Used, 0);
  EXPECT_EQ(PeekDrawCard(state), 28);
  EXPECT_EQ(std::count_if(state.DrawPile.begin(), state.DrawPile.end(),
                          [](int c) { return c != kNoCard; }),
            20);
  EXPECT_EQ(state.DealtOrder.size(), 48u);
  EXPECT_EQ(state.DealtOrder[0], 0);
  ExpectConsistentTable(state);
}

TEST(DealTest, PileSizeFollowsTheServiceCards) {
  for (int service : {0, 3, 5}) {
    RecordedGame rec;
    PrepareHand(rec.game, service);
    GameState& state = rec.game.state;
    // Service cards are kept off the floor here so that no tidying is needed.
    Deal(state, DeckFor(48 + service).Floor({0, 4, 8, 12, 16, 20, 24, 28}).Text());
    EXPECT_EQ(std::count_if(state.DrawPile.begin(), state.DrawPile.end(),
                            [](int c) { return c != kNoCard; }),
              20 + service);
    ExpectConsistentTable(state);
  }
}

TEST(DealTest, TheComputerAsSeonGetsTheSecondBatches) {
  RecordedGame rec;
  PrepareHand(rec.game, 0);
  AssignTurnOrder(rec.game, "컴퓨터");
  Deal(rec.game.state, DeckFor(48).FirstHand({40, 41, 42, 43, 44, 45, 46, 47, 36, 37}).Text());
  EXPECT_THAT(HandOf(rec.game.state, kComputer),
              ElementsAre(40, 41, 42, 43, 44, 45, 46, 47, 36, 37));
}

TEST(TurnOrderTest, SeonPlaysFirstAndTheLogSaysSo) {
  RecordedGame rec;
  PrepareHand(rec.game, 0);
  rec.game.state.Player(kHuman).PlayedCount = 4;
  AssignTurnOrder(rec.game, "컴퓨터");
  EXPECT_EQ(rec.game.state.Player(kComputer).TurnOrder, 1);
  EXPECT_EQ(rec.game.state.Player(kHuman).TurnOrder, 2);
  EXPECT_EQ(rec.game.state.Player(kHuman).PlayedCount, 0);
  EXPECT_EQ(PlayerByOrder(rec.game.state, 1), kComputer);
  ASSERT_FALSE(rec.log.lines.empty());
  EXPECT_EQ(rec.log.lines.back().text, "<컴퓨터>님을 게임[선]으로 시작합니다");
  EXPECT_EQ(rec.log.lines.back().area, "게임판");
}

TEST(TidyFloorTest, ServiceCardOnTheFloorGoesToSeonAndIsReplaced) {
  RecordedGame rec;
  PrepareHand(rec.game, 3);
  GameState& state = rec.game.state;
  Deal(state, DeckFor(51).Floor({0, 4, 49, 12, 16, 20, 24, 28}).Pile({32}).Text());
  rec.sound.played.clear();

  TidyFloorAfterDeal(rec.game);

  EXPECT_EQ(state.Card(49).Location, CapturedBy(kHuman));
  EXPECT_EQ(state.Card(32).Location, kOnFloor);
  EXPECT_EQ(state.Player(kHuman).JunkValue, 2) << "the score was recomputed";
  EXPECT_THAT(rec.sound.Names(), ElementsAre("TUCK", "HOLD", "TUCK"));
  EXPECT_EQ(rec.sound.played[1].channel, 1);
  EXPECT_EQ(rec.sound.played[2].channel, 3);
  EXPECT_TRUE(rec.sound.played[2].wait);
  EXPECT_EQ(rec.loop.NowMicros(), 300'000) << "the replacement's TUCK waits 0.3 s";
  ExpectConsistentTable(state);
}

TEST(TidyFloorTest, AReplacementThatIsAServiceCardIsTakenAsWell) {
  RecordedGame rec;
  PrepareHand(rec.game, 5);
  GameState& state = rec.game.state;
  Deal(state, DeckFor(53).Floor({48, 4, 49, 12, 16, 20, 24, 28}).Pile({50, 32, 36, 40}).Text());

  TidyFloorAfterDeal(rec.game);

  for (int card : {48, 49, 50})
    EXPECT_EQ(state.Card(card).Location, CapturedBy(kHuman));
  // Two replacements (50 and 32), then one more for 50.
  for (int card : {32, 36})
    EXPECT_EQ(state.Card(card).Location, kOnFloor) << card;
  EXPECT_EQ(state.Card(40).Location, kInDrawPile);
  EXPECT_EQ(state.Player(kHuman).JunkValue, 6);
  int floorCards = 0;
  for (int card = 0; card < state.Room.CardsInPlay; ++card) {
    floorCards += state.Card(card).Location == kOnFloor ? 1 : 0;
  }
  EXPECT_EQ(floorCards, 8);
  ExpectConsistentTable(state);
}

TEST(TidyFloorTest, CardsOfOneMonthShareASlotStackedInCardOrder) {
  RecordedGame rec;
  PrepareHand(rec.game, 0);
  GameState& state = rec.game.state;
  // Months on the floor: 3 (three cards), 1, 5 (two cards), 12.
  Deal(state, DeckFor(48).Floor({10, 0, 17, 8, 46, 9, 16, 44}).Text());

  TidyFloorAfterDeal(rec.game);

  struct Expected {
    int card, slot, level;
  };
  for (const Expected e :
       {Expected{0, 0, 0}, Expected{8, 1, 0}, Expected{9, 1, 1}, Expected{10, 1, 2},
        Expected{16, 2, 0}, Expected{17, 2, 1}, Expected{44, 3, 0}, Expected{46, 3, 1}}) {
    const CardRecord& card = state.Card(e.card);
    EXPECT_EQ(card.FloorSlot, e.slot) << "card " << e.card;
    EXPECT_EQ(card.StackLevel, e.level) << "card " << e.card;
    const BoardPoint at = StackPosition(state.FloorSlots[e.slot], e.level);
    EXPECT_EQ(card.ImageLeft, at.Left) << "card " << e.card;
    EXPECT_EQ(card.ImageTop, at.Top) << "card " << e.card;
  }
  for (int slot = 0; slot < kFloorSlots; ++slot)
    EXPECT_EQ(state.FloorSlots[slot].Used, slot < 4 ? 1 : 0);
  EXPECT_THAT(rec.board.Calls("place"),
              ElementsAre("place 0 (227,175)", "place 8 (316,175)", "place 9 (324,181)",
                          "place 10 (332,187)", "place 16 (187,268)", "place 17 (195,274)",
                          "place 44 (339,268)", "place 46 (347,274)"));
  ExpectConsistentTable(state);
}

}  // namespace
}  // namespace hw
