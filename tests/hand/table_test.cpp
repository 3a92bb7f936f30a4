// The card table, the board layout, the lookups, capturing and the reset between hands.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <numeric>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "hand/capture.h"
#include "hand/hand_setup.h"
#include "hand/turn.h"
#include "rules/card_table.h"
#include "rules/lookups.h"
#include "tests/support/recording_effects.h"

namespace hw {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::RecordedGame;

std::set<int> CardsWhere(const GameState& state, auto predicate) {
  std::set<int> cards;
  for (int card = 0; card < kMaxCardsInPlay; ++card) {
    if (predicate(state.Card(card))) cards.insert(card);
  }
  return cards;
}

TEST(CardTableTest, KindsAndMarksOfTheDeck) {
  GameState state;
  InitCardTable(state);
  auto kind = [&](int k) {
    return CardsWhere(state, [k](const CardRecord& c) { return c.Month <= 12 && c.Kind == k; });
  };
  auto mark = [&](int m) {
    return CardsWhere(state, [m](const CardRecord& c) { return c.Mark == m; });
  };
  EXPECT_EQ(kind(kBright), (std::set<int>{0, 8, 28, 40, 44}));
  EXPECT_EQ(kind(kAnimal), (std::set<int>{4, 12, 16, 20, 24, 29, 32, 36, 45}));
  EXPECT_EQ(kind(kRibbon), (std::set<int>{1, 5, 9, 13, 17, 21, 25, 33, 37, 46}));
  EXPECT_EQ(kind(kJunk).size(), 24u);
  EXPECT_EQ(mark(kMarkGodoriBird), (std::set<int>{4, 12, 29}));
  EXPECT_EQ(mark(kMarkRedPoemRibbon), (std::set<int>{1, 5, 9}));
  EXPECT_EQ(mark(kMarkBlueRibbon), (std::set<int>{21, 33, 37}));
  EXPECT_EQ(mark(kMarkGrassRibbon), (std::set<int>{13, 17, 25}));
  EXPECT_EQ(mark(kMarkDoubleJunk), (std::set<int>{32, 41, 47, 48, 49, 50, 51, 52}));
  EXPECT_EQ(mark(kMarkRainBright), (std::set<int>{44}));
  EXPECT_EQ(mark(kMarkDecemberAnimal), (std::set<int>{45}));
  for (int card = 0; card < kMonthCards; ++card)
    EXPECT_EQ(state.Card(card).Month, card / 4 + 1);
  for (int card = kMonthCards; card < kMaxCardsInPlay; ++card) {
    EXPECT_EQ(state.Card(card).Month, card - kMonthCards + 13);
    EXPECT_EQ(state.Card(card).Kind, kJunk);
  }
}

TEST(CardTableTest, EverySlotAndPileLiesOnTheBoard) {
  GameState state;
  SetUpBoardLayout(state);
  auto onBoard = [](BoardPoint p, int width, int height) {
    return p.Left >= 0 && p.Top >= 0 && p.Left + width <= 800 && p.Top + height <= 600;
  };
  for (const FloorSlot& slot : state.FloorSlots) {
    // A full stack of four still fits.
    EXPECT_TRUE(onBoard(StackPosition(slot, 3), kCardWidth, kCardHeight));
  }
  for (int seat = 0; seat < kPlayers; ++seat) {
    for (const BoardPoint& p : state.SeatCards[seat].HandSlotPos) {
      EXPECT_TRUE(seat == kHumanSeat ? onBoard(p, kCardWidth, kCardHeight)
                                     : onBoard(p, kSmallCardWidth, kSmallCardHeight));
    }
    for (int kind = kBright; kind <= kJunk; ++kind) {
      for (int i = 1; i <= 30; ++i) {
        EXPECT_TRUE(onBoard(PilePosition(state.SeatCards[seat], kind, i), kCardWidth, kCardHeight))
            << "seat " << seat << " kind " << kind << " card " << i;
        if (kind == kBright && i == 5) break;
        if (kind != kJunk && i == 10) break;
      }
    }
  }
  EXPECT_EQ(state.SeatCards[kHumanSeat].HandSlotPos[9].Left, 389 + 39 * 4);
  EXPECT_EQ(state.SeatCards[kComputerSeat].HandSlotPos[5].Top, 77);
}

// A table with cards put by hand: a player holds, the floor shows, a pile waits.
struct Table {
  RecordedGame rec;
  GameState& state = rec.game.state;
  Table() {
    SetUpBoardLayout(state);
    state.PlayerInfo.Name = "tester";
    SetUpBothPlayers(rec.game);
    state.Room.CardsInPlay = 51;
    ClearCardTable(rec.game);
  }
  void OnFloor(int card, int slot) {
    state.MoveCard(card, kOnFloor);
    state.Card(card).FloorSlot = slot;
    state.FloorSlots[slot].Used = 1;
  }
};

TEST(LookupTest, FloorMatchesOfACardsMonth) {
  Table t;
  t.OnFloor(20, 5);
  t.OnFloor(22, 5);
  t.OnFloor(0, 0);
  t.OnFloor(4, 1);
  t.OnFloor(8, 2);

  const FloorMatch june = FloorMatchInfo(t.state, 21);
  EXPECT_EQ(june.Slot, 5);
  EXPECT_EQ(june.Count, 2);
  EXPECT_THAT(FloorMatchList(t.state, 21), ElementsAre(20, 22));
  EXPECT_THAT(june.Cards, ElementsAre(20, 22));
  EXPECT_EQ(CardListText(FloorMatchList(t.state, 21)), "20,22,");

  // No card of its month: the first free slot, none counted.
  EXPECT_EQ(FloorMatchInfo(t.state, 40).Slot, 3);
  EXPECT_EQ(FloorMatchInfo(t.state, 40).Count, 0);
  EXPECT_THAT(FloorMatchList(t.state, 40), IsEmpty());
  // A service card never matches.
  EXPECT_EQ(FloorMatchInfo(t.state, 48).Count, 0);
  // A card in the floor's area but not in a slot (a service card laid aside) is not counted.
  t.state.MoveCard(23, kOnFloor);
  EXPECT_EQ(FloorMatchInfo(t.state, 21).Count, 2);
  EXPECT_THAT(FloorMatchInfo(t.state, 21).Cards, ElementsAre(20, 22));

  EXPECT_EQ(CardInSlot(t.state, 5), 20);
  EXPECT_EQ(CardInSlot(t.state, 9), 0);
  for (int slot = 0; slot < kFloorSlots; ++slot)
    t.state.FloorSlots[slot].Used = 1;
  EXPECT_EQ(FirstFreeSlot(t.state), 0);
}

TEST(LookupTest, PlayersByOrderAndName) {
  Table t;
  t.state.Player(kHuman).TurnOrder = 0;
  t.state.Player(kComputer).TurnOrder = 0;
  EXPECT_EQ(PlayerByOrder(t.state, 1), 0) << "nobody is 선 yet";
  t.state.Player(kComputer).TurnOrder = 2;
  EXPECT_EQ(PlayerByOrder(t.state, 2), kComputer);
  EXPECT_EQ(PlayerByName(t.state, "컴퓨터"), kComputer);
  EXPECT_EQ(PlayerByName(t.state, "tester"), kHuman);
  EXPECT_EQ(PlayerByName(t.state, "nobody"), 0);
  EXPECT_EQ(OpponentOf(kHuman), kComputer);
  EXPECT_EQ(OpponentOf(kComputer), kHuman);
}

TEST(LookupTest, DrawPileGivesItsFirstRemainingCard) {
  Table t;
  t.state.DrawPile = {kNoCard, 17, kNoCard, 3};
  EXPECT_EQ(NextDrawCard(t.state, false), 17);
  EXPECT_EQ(NextDrawCard(t.state, true), 17);
  EXPECT_EQ(NextDrawCard(t.state, true), 3);
  EXPECT_EQ(NextDrawCard(t.state, true), kNoCard);
  EXPECT_EQ(PeekDrawCard(t.state), kNoCard);
}

TEST(CaptureTest, CardJoinsItsPileAndLeavesTheHand) {
  Table t;
  t.state.SeatOf(kHuman).Hand[3] = 45;
  t.state.MoveCard(45, kHuman);
  t.state.Card(45).ImageLeft = 506;
  t.state.Card(45).ImageTop = 481;
  t.rec.board.calls.clear();

  CapturePile(t.rec.game, kHuman, 45, true);

  const SeatCardSet& seat = t.state.SeatOf(kHuman);
  EXPECT_EQ(t.state.Card(45).Location, CapturedBy(kHuman));
  EXPECT_EQ(seat.Hand[3], kNoCard);
  EXPECT_EQ(seat.CapturedCountByKind[kAnimal], 1);
  EXPECT_EQ(seat.Captured[kAnimal][0], 45);
  EXPECT_THAT(t.rec.board.calls, ElementsAre("face 45", "move 45 (506,481)->(95,482) face"));
  EXPECT_THAT(t.rec.sound.Names(), ElementsAre("TUCK"));
  EXPECT_EQ(t.state.Card(45).ImageLeft, 95);

  CapturePile(t.rec.game, kHuman, kNoCard, true);
  EXPECT_EQ(seat.CapturedCountByKind[kAnimal], 1) << "no card, no capture";
}

TEST(CaptureTest, JunkPileWrapsUpwardsAndTheLabelFollows) {
  Table t;
  const int junk[] = {2, 3, 6, 7, 10, 11, 14, 15, 18, 19, 22, 23, 26, 27, 30, 31};
  t.rec.board.calls.clear();
  for (int card : junk)
    CapturePile(t.rec.game, kComputer, card, false);

  const SeatCardSet& seat = t.state.SeatOf(kComputer);  // anchor (245, 91)
  EXPECT_EQ(seat.CapturedCountByKind[kJunk], 16);
  EXPECT_EQ(t.state.Card(2).ImageLeft, 245);
  EXPECT_EQ(t.state.Card(14).ImageLeft, 245 + 15 * 6);  // 7th card, first row
  EXPECT_EQ(t.state.Card(14).ImageTop, 91);
  EXPECT_EQ(t.state.Card(15).ImageLeft, 245);  // 8th card opens the second row
  EXPECT_EQ(t.state.Card(15).ImageTop, 91 - 29);
  EXPECT_EQ(t.state.Card(31).ImageLeft, 245 + 15);  // 16th: third row
  EXPECT_EQ(t.state.Card(31).ImageTop, 91 - 58);
  EXPECT_EQ(t.rec.board.Calls("junk-label-at").back(), "junk-label-at 0 (297,45)");
  // Each capture moves only the new card; the others stay where they lie.
  EXPECT_EQ(t.rec.board.Calls("move").size(), 16u);
  EXPECT_THAT(t.rec.board.Calls("place"), IsEmpty());

  // Taking a card out closes the pile up: the cards after it move one place left.
  t.rec.board.calls.clear();
  RemoveCaptured(t.rec.game, kComputer, kJunk, 30);
  EXPECT_THAT(t.rec.board.Calls("place"), ElementsAre("place 31 (245,33)"));
  EXPECT_EQ(t.state.SeatOf(kComputer).CapturedCountByKind[kJunk], 15);
}

TEST(CaptureTest, ListsHoldThirtyJunkCards) {
  Table t;
  t.state.Room.CardsInPlay = 53;
  t.state.Card(kSeptemberAnimal).Kind = kJunk;
  int captured = 0;
  for (int card = 0; card < 53; ++card) {
    if (t.state.Card(card).Kind != kJunk) continue;
    CapturePile(t.rec.game, kHuman, card, false);
    ++captured;
  }
  EXPECT_EQ(captured, 30);
  EXPECT_EQ(t.state.SeatOf(kHuman).CapturedCountByKind[kJunk], 30);
  EXPECT_EQ(t.state.SeatOf(kHuman).Captured[kJunk][29], 52);
}

// Random hands of month and service cards, some of them played or shown in a shake: the
// laid-out hand is the held cards in card-number order, each placed where its slot is
// (and only moved when it was elsewhere), and the held cards of a month with three or
// more cards not yet shown become shake candidates.
TEST(LayOutHandTest, SortsTheHeldCardsAndMarksTheMonthsThatMayShake) {
  std::mt19937 chance(17);
  for (int round = 0; round < 300; ++round) {
    Table t;
    t.state.Room.CardsInPlay = kMaxCardsInPlay;
    const int player = round % 2;
    SeatCardSet& seat = t.state.SeatOf(player);
    // Months dealt four at a time now and then, so that shakes and bombs come up.
    std::vector<int> cards(kMaxCardsInPlay);
    std::iota(cards.begin(), cards.end(), 0);
    std::shuffle(cards.begin(), cards.end(), chance);
    if (round % 3 == 0) {
      const int month = static_cast<int>(chance() % 12);
      std::rotate(cards.begin(), std::find(cards.begin(), cards.end(), 4 * month), cards.end());
      std::iter_swap(cards.begin() + 1, std::find(cards.begin(), cards.end(), 4 * month + 1));
      std::iter_swap(cards.begin() + 2, std::find(cards.begin(), cards.end(), 4 * month + 2));
    }
    std::set<int> held;
    for (int slot = 0; slot < kHandSlots; ++slot) {
      const int card = cards[slot];
      if (chance() % 6 == 0) {
        seat.Hand[slot] = kNoCard;
        continue;
      }
      seat.Hand[slot] = card;
      const bool played = chance() % 5 == 0;
      t.state.MoveCard(card, played ? kOnFloor : player);
      CardRecord& record = t.state.Card(card);
      record.ShakeMark = chance() % 4 == 0 ? kShakeShown : kShakeNone;
      record.ImageLeft = chance() % 2 == 0 ? seat.HandSlotPos[slot].Left : 1;
      record.ImageTop = seat.HandSlotPos[slot].Top;
      if (!played) held.insert(card);
    }
    std::array<int, 18> open{};
    for (const int card : held)
      open[t.state.Card(card).Month] += t.state.Card(card).ShakeMark != kShakeShown;
    std::map<int, int> markBefore;
    std::map<int, BoardPoint> placeBefore;
    for (int card = 0; card < kMaxCardsInPlay; ++card) {
      markBefore[card] = t.state.Card(card).ShakeMark;
      placeBefore[card] = {t.state.Card(card).ImageLeft, t.state.Card(card).ImageTop};
    }
    t.rec.board.calls.clear();

    LayOutHand(t.rec.game, player);

    std::vector<int> expected(held.begin(), held.end());
    expected.resize(kHandSlots, kNoCard);
    EXPECT_THAT(seat.Hand, ::testing::ElementsAreArray(expected)) << "round " << round;
    std::size_t moves = 0;
    for (int slot = 0; slot < kHandSlots && expected[slot] != kNoCard; ++slot) {
      const CardRecord& record = t.state.Card(expected[slot]);
      EXPECT_EQ(record.ImageLeft, seat.HandSlotPos[slot].Left);
      EXPECT_EQ(record.ImageTop, seat.HandSlotPos[slot].Top);
      moves += placeBefore[expected[slot]] != seat.HandSlotPos[slot];
    }
    EXPECT_EQ(t.rec.board.Calls("place").size(), moves);
    EXPECT_EQ(t.rec.board.calls.size(), moves);
    for (int card = 0; card < kMaxCardsInPlay; ++card) {
      const CardRecord& record = t.state.Card(card);
      const bool candidate = held.contains(card) && open[record.Month] >= 3;
      EXPECT_EQ(record.ShakeMark, candidate ? kShakeCandidate : markBefore[card])
          << "card " << card << " in round " << round;
    }
  }
}

// A slot stays in use while some floor card lies in it, whatever else is in play.
TEST(FreeEmptySlotsTest, FreesExactlyTheSlotsWithoutAFloorCard) {
  std::mt19937 chance(23);
  for (int round = 0; round < 200; ++round) {
    Table t;
    t.state.Room.CardsInPlay = kMonthCards + static_cast<int>(chance() % 6);
    std::array<bool, kFloorSlots> occupied{};
    for (int slot = 0; slot < kFloorSlots; ++slot)
      t.state.FloorSlots[slot].Used = static_cast<int>(chance() % 3 != 0);
    for (int card = 0; card < kMaxCardsInPlay; ++card) {
      const int where = static_cast<int>(chance() % 8);
      t.state.MoveCard(card, where < 2   ? kOnFloor
                             : where < 4 ? CapturedBy(where % 2)
                                         : kInDrawPile);
      CardRecord& record = t.state.Card(card);
      record.FloorSlot = static_cast<int>(chance() % (kFloorSlots + 1)) - 1;
      if (record.Location == kOnFloor && record.FloorSlot >= 0 && card < t.state.Room.CardsInPlay) {
        occupied[record.FloorSlot] = true;
      }
    }
    std::array<int, kFloorSlots> usedBefore{};
    for (int slot = 0; slot < kFloorSlots; ++slot)
      usedBefore[slot] = t.state.FloorSlots[slot].Used;

    FreeEmptySlots(t.state);

    for (int slot = 0; slot < kFloorSlots; ++slot) {
      EXPECT_EQ(t.state.FloorSlots[slot].Used, occupied[slot] ? usedBefore[slot] : 0)
          << "slot " << slot << " in round " << round;
    }
  }
}

TEST(ResetHandTest, ClearsTheHandButKeepsWhatOutlivesIt) {
  Table t;
  GameState& state = t.state;
  PlayerRecord& human = state.Player(kHuman);
  human.RunningGain = "-3000";
  human.TurnOrder = 1;
  human.Score = 9;
  human.GoCount = 2;
  human.GodoriShown = true;
  human.JunkValue = 12;
  CapturePile(t.rec.game, kHuman, 0, false);
  state.SeatOf(kComputer).Hand[4] = 17;
  state.Room.OwnerName = "tester";
  state.Room.HandRunning = true;
  state.Room.LastGoPlayer = 0;
  state.Room.TurnPlayer = 1;
  state.Room.DialogOpen = 1;
  state.Room.MissionIndex = 4;
  state.Room.MissionShown = true;
  state.Turn.HandStackList = {3, 4};
  state.Turn.StealCount = 2;
  state.Turn.FlipChoiceMonth = 7;
  state.FloorSlots[6].Used = 1;
  state.PpeokOwner[9] = 1;
  state.Card(kSeptemberAnimal).Kind = kJunk;
  state.BombCards[kComputer][2] = BombCard::kAvailable;  // the hand ended before it was used
  t.rec.board.calls.clear();

  ResetHand(t.rec.game);

  EXPECT_EQ(human.Score, 0);
  EXPECT_EQ(human.GoCount, 0);
  EXPECT_FALSE(human.GodoriShown);
  EXPECT_EQ(human.JunkValue, 0);
  EXPECT_EQ(human.RunningGain, "-3000");
  EXPECT_EQ(human.TurnOrder, 1);
  EXPECT_EQ(state.SeatOf(kHuman).CapturedCountByKind[kBright], 0);
  EXPECT_EQ(state.SeatOf(kHuman).Captured[kBright][0], kNoCard);
  EXPECT_EQ(state.SeatOf(kComputer).Hand[4], kNoCard);
  EXPECT_FALSE(state.Room.HandRunning);
  EXPECT_EQ(state.Room.LastGoPlayer, -1);
  EXPECT_EQ(state.Room.TurnPlayer, -1);
  EXPECT_EQ(state.Room.MissionIndex, -1);
  EXPECT_EQ(state.Room.DialogOpen, 0);
  EXPECT_FALSE(state.Room.MissionShown);
  EXPECT_EQ(state.Room.OwnerName, "tester");
  EXPECT_THAT(state.Turn.HandStackList, IsEmpty());
  EXPECT_EQ(state.Turn.StealCount, 0);
  EXPECT_EQ(state.Turn.FlipChoiceMonth, -1);
  EXPECT_EQ(state.FloorSlots[6].Used, 0);
  EXPECT_EQ(state.PpeokOwner[9], -1);
  EXPECT_EQ(state.Card(kSeptemberAnimal).Kind, kAnimal);
  EXPECT_EQ(state.BombCards[kComputer][2], BombCard::kNotGranted);
  EXPECT_THAT(t.rec.board.calls, ::testing::IsSupersetOf({"reset-indicators", "reset-card-images",
                                                          "hide-bomb-card 1 2"}));
}

TEST(SetUpPlayersTest, HumanFromTheLoginComputerAfresh) {
  Table t;
  GameState& state = t.state;
  PlayerInfoRecord& info = state.PlayerInfo;
  info.Name = "민수";
  info.Money = "123456";
  info.Avatar = 3;
  info.VoiceFolder = "M";
  info.Wins = "4";
  info.Losses = "5";
  info.Draws = "6";
  info.MissionCount = "7";
  state.Player(kComputer).Money = "1";
  state.Player(kComputer).RunningGain = "-50";
  state.Player(kComputer).PpeokCount = 2;
  t.rec.board.calls.clear();

  SetUpBothPlayers(t.rec.game);

  const PlayerRecord& human = state.Player(kHuman);
  EXPECT_EQ(human.Name, "민수");
  EXPECT_EQ(human.Money, "123456");
  EXPECT_EQ(human.VoiceFolder, "M");
  EXPECT_EQ(human.Avatar, 3);
  EXPECT_EQ(human.Seat, kHumanSeat);
  EXPECT_EQ(human.MissionCount, "7");
  const PlayerRecord& computer = state.Player(kComputer);
  EXPECT_EQ(computer.Name, "컴퓨터");
  EXPECT_EQ(computer.VoiceFolder, "F");
  EXPECT_EQ(computer.Money, "1000000");
  EXPECT_EQ(computer.Wins, "0");
  EXPECT_EQ(computer.Seat, kComputerSeat);
  EXPECT_EQ(computer.PpeokCount, 0);
  EXPECT_EQ(computer.RunningGain, "-50") << "the running gain is never reset";
  EXPECT_THAT(t.rec.board.calls, ElementsAre("panel 1"));
}

TEST(ClearCardTableTest, EveryCardLeavesPlayAndSeptembersRoleIsOpen) {
  Table t;
  t.state.MoveCard(52, CapturedBy(kHuman));  // from an earlier hand with five
  t.state.Card(7).ShakeMark = kShakeShown;
  t.state.Card(7).StackLevel = 2;
  t.state.Card(7).FloorSlot = 3;
  t.rec.board.calls.clear();

  ClearCardTable(t.rec.game);

  EXPECT_EQ(t.state.Card(52).Location, kInDrawPile);
  EXPECT_EQ(t.state.Card(7).ShakeMark, kShakeNone);
  EXPECT_EQ(t.state.Card(7).StackLevel, 0);
  EXPECT_EQ(t.state.Card(7).FloorSlot, -1);
  EXPECT_TRUE(t.state.Room.SeptemberChoicePending);
  EXPECT_EQ(t.rec.board.Calls("hide").size(), static_cast<std::size_t>(kMaxCardsInPlay));
}

}  // namespace
}  // namespace hw
