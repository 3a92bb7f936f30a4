// Whole turns played on chosen decks: ppeok and its first-turn reward, ttadak, jjok,
// self-ppeok, sweeps, the three-ppeok win, service cards, bombs and bomb cards, and the
// human's time-out when no real card is left. Each deck is laid out so that the event
// really happens in play; the expected cards, steals and money follow from the rules.
//
// Deal order (DeckFor): floor, 선's hand, the other hand, then the pile from its top.
// With the human as 선 the human flips pile cards 0, 2, 4, ... and the computer 1, 3, ...

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "hand/capture.h"
#include "hand/turn.h"
#include "tests/support/deck_builder.h"
#include "tests/support/invariants.h"
#include "tests/support/scenario.h"

namespace hw {
namespace {

using ::testing::Contains;
using testing::DeckFor;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using ::testing::Not;
using testing::Scenario;

std::vector<int> PileOf(const GameState& state, int player, int kind) {
  const SeatCardSet& seat = state.SeatOf(player);
  return {seat.Captured[kind].begin(),
          seat.Captured[kind].begin() + seat.CapturedCountByKind[kind]};
}

int CapturedTotal(const GameState& state, int player) {
  int total = 0;
  for (int kind = kBright; kind <= kJunk; ++kind)
    total += state.SeatOf(player).CapturedCountByKind[kind];
  return total;
}

bool HeldBy(const GameState& state, int card, int player) {
  return state.Card(card).Location == CapturedBy(player);
}

bool OnFloor(const GameState& state, int card) {
  return state.Card(card).Location == kOnFloor;
}

int Count(const std::vector<std::string>& names, const std::string& name) {
  return static_cast<int>(std::count(names.begin(), names.end(), name));
}

// The sounds from a mark on, to look at one turn only.
std::vector<std::string> SoundsSince(Scenario& s, std::size_t mark) {
  const auto all = s.SoundNames();
  return {all.begin() + static_cast<std::ptrdiff_t>(mark), all.end()};
}

// Runs until the human's turn waits for a click.
bool UntilHumanTurn(Scenario& s) {
  return s.RunUntil([&] {
    return s.State().Room.HandRunning && s.State().Room.TurnPlayer == kHuman &&
           s.State().Room.HumanTurnMark != 0;
  });
}

// Runs until the computer's turn has begun and waits for its move.
bool UntilComputerTurn(Scenario& s) {
  return s.RunUntil([&] {
    return s.State().Room.HandRunning && s.State().Room.TurnPlayer == kComputer &&
           s.window.TurnTimer().Enabled();
  });
}

// The human plays this card at the next turn of the human.
void HumanPlays(Scenario& s, int card) {
  ASSERT_TRUE(UntilHumanTurn(s)) << "no turn of the human to play " << card;
  ASSERT_EQ(s.State().Card(card).Location, kHuman) << card << " is not in the human's hand";
  s.window.OnCardPress(card, MouseButton::kLeft);
  s.window.OnCardRelease(card, MouseButton::kLeft);
}

void ExpectConsistent(Scenario& s) {
  EXPECT_EQ(testing::BrokenInvariant(s.State(), s.window.TurnTimer().Enabled()), "");
}

// ---- Ppeok

// The human is 선 and holds 1, which falls on the floor's 0; with the pile {2} the
// human's flip is the third of January. The computer's best match is 3 onto 0 (a
// bright), so with the pile {47, 2} the human plays elsewhere and the computer's flip
// makes the ppeok.
std::string FirstTurnPpeokDeck(std::vector<int> pile) {
  return DeckFor(48)
      .Floor({0, 5, 9, 13, 17, 21, 25, 29})
      .FirstHand({1, 10, 33, 34, 37, 38, 41, 42, 45, 46})
      .SecondHand({3, 6, 7, 11, 14, 15, 18, 22, 26, 30})
      .Pile(std::move(pile))
      .Text();
}

TEST(TurnPpeokTest, APpeokOnTheFirstTurnStaysOnTheFloorAndPaysThreeStakes) {
  Scenario s;
  s.Start(FirstTurnPpeokDeck({2}));
  HumanPlays(s, 1);
  ASSERT_TRUE(UntilComputerTurn(s));

  const GameState& state = s.State();
  for (int card : {0, 1, 2}) {
    EXPECT_TRUE(OnFloor(state, card)) << card;
    EXPECT_EQ(state.Card(card).FloorSlot, state.Card(0).FloorSlot) << card;
  }
  EXPECT_EQ(state.Player(kHuman).PpeokCount, 1);
  EXPECT_EQ(state.PpeokOwner[1], kHuman);
  EXPECT_EQ(CapturedTotal(state, kHuman), 0);
  EXPECT_EQ(CapturedTotal(state, kComputer), 0);

  // Three stakes of 100 won go from the computer to the human.
  EXPECT_EQ(state.Player(kHuman).Money, "1000300");
  EXPECT_EQ(state.PlayerInfo.Money, "1000300");
  EXPECT_EQ(state.Player(kComputer).Money, "999700");
  EXPECT_THAT(s.LogTexts(), Contains("<player>님 첫뻑!으로 [300원]을 획득하셨습니다 !!"));
  const auto sanda = std::find_if(s.rec.sound.played.begin(), s.rec.sound.played.end(),
                                  [](const auto& p) { return p.name == "SANDA"; });
  ASSERT_NE(sanda, s.rec.sound.played.end());
  EXPECT_EQ(sanda->voiceFolder, "M");
  EXPECT_THAT(s.SoundNames(), Not(Contains("ONE")));
  EXPECT_THAT(s.SoundNames(), Not(Contains("AHH")));
  ExpectConsistent(s);
}

TEST(TurnPpeokTest, TheComputersFirstTurnPpeokIsPaidByTheHuman) {
  Scenario s;
  s.Start(FirstTurnPpeokDeck({47, 2}));
  HumanPlays(s, 10);
  ASSERT_TRUE(UntilHumanTurn(s));

  const GameState& state = s.State();
  for (int card : {0, 2, 3})
    EXPECT_TRUE(OnFloor(state, card)) << card;
  EXPECT_EQ(state.Player(kComputer).PpeokCount, 1);
  EXPECT_EQ(state.PpeokOwner[1], kComputer);
  EXPECT_THAT(s.LogTexts(), Contains("<컴퓨터>님 첫뻑!으로 [300원]을 획득하셨습니다 !!"));
  EXPECT_EQ(state.Player(kComputer).Money, "1000300");
  EXPECT_EQ(state.Player(kHuman).Money, "999700");
  EXPECT_EQ(state.PlayerInfo.Money, "999700");
  ExpectConsistent(s);
}

TEST(TurnPpeokTest, TheFirstPpeokRewardIsCappedByTheOpponentsMoney) {
  // Three stakes of a million are more than the computer's million.
  Scenario s({.money = "100000000", .stake = "1000000"});
  s.Start(FirstTurnPpeokDeck({2}));
  HumanPlays(s, 1);
  ASSERT_TRUE(UntilComputerTurn(s));

  EXPECT_THAT(s.LogTexts(), Contains("<player>님 첫뻑!으로 [1000000원]을 획득하셨습니다 !!"));
  EXPECT_EQ(s.State().Player(kHuman).Money, "101000000");
  EXPECT_EQ(s.State().Player(kComputer).Money, "0");
}

// Three ppeok in the human's first three turns (January, February, March). The
// computer holds none of those months and its flips stay clear of them.
TEST(TurnPpeokTest, AThirdPpeokWinsTheHandAndOnlyTheFirstIsRewarded) {
  Scenario s;
  s.Start(DeckFor(48)
              .Floor({0, 4, 8, 13, 17, 21, 25, 29})
              .FirstHand({1, 5, 9, 33, 34, 37, 38, 41, 42, 45})
              .SecondHand({14, 15, 18, 19, 22, 23, 26, 27, 30, 31})
              .Pile({2, 46, 6, 47, 10})
              .Text(),
          /*mission=*/8);  // the November bright, which nobody takes
  HumanPlays(s, 1);
  HumanPlays(s, 5);
  ASSERT_TRUE(UntilComputerTurn(s));
  EXPECT_EQ(s.State().Player(kHuman).PpeokCount, 2);
  EXPECT_EQ(s.State().PpeokOwner[2], kHuman);
  EXPECT_EQ(s.State().Player(kHuman).Money, "1000300");  // the second ppeok pays nothing

  HumanPlays(s, 9);
  ASSERT_TRUE(s.RunUntil([&] { return s.saves.size() >= 2; }));
  const GameState& state = s.State();
  EXPECT_EQ(state.Player(kHuman).PpeokCount, 3);
  EXPECT_THAT(s.LogTexts(), Contains("[player]님께서 3회뻑으로 승리하셨습니다..짝짝짝!!!"));
  EXPECT_EQ(Count(s.LogTexts(), "<player>님 첫뻑!으로 [300원]을 획득하셨습니다 !!"), 1);
  EXPECT_EQ(state.Result.CalculationLine, "3뻑으로 승리");
  // The win pays three stakes, on top of the first ppeok's three.
  EXPECT_EQ(s.saves[0].code, "W");
  EXPECT_EQ(s.saves[0].amount, "300");
  EXPECT_EQ(s.saves[1].code, "L");
  EXPECT_EQ(state.Player(kHuman).Money, "1000600");
  EXPECT_EQ(state.Player(kComputer).Money, "999400");
}

TEST(TurnPpeokTest, APpeokOnTheTenthTurnIsNotRegisteredAndATenthTurnSweepStealsNothing) {
  // A whole hand in which every card takes exactly one lone floor card, so that the floor
  // keeps December's three cards (44, 45, 46) and one other card:
  //   turn 1: the human takes October's three (36..38) with 39; later turns take the card
  //   the previous flip laid down; the computer's ninth flip lays 40 down.
  //   Human's tenth turn: 41 onto 40, flip 42: a ppeok, but on the last turn.
  //   Computer's tenth turn: 43 takes the three, the flip 47 takes December's three, and
  //   the floor is empty - a sweep on the last turn.
  Scenario s;
  s.Start(DeckFor(48)
              .Floor({44, 45, 46, 36, 37, 38, 8, 20})
              .FirstHand({39, 21, 11, 23, 5, 15, 17, 27, 1, 41})
              .SecondHand({34, 35, 30, 31, 3, 7, 13, 19, 25, 43})
              .Pile({32, 9, 33, 10, 28, 22, 29, 4, 2, 14, 6, 16, 12, 26, 18, 0, 24, 40, 42, 47})
              .Text());
  for (int card : {39, 21, 11, 23, 5, 15, 17, 27, 1})
    HumanPlays(s, card);
  ASSERT_TRUE(UntilHumanTurn(s));
  const GameState& state = s.State();
  ASSERT_EQ(state.Player(kHuman).PlayedCount, 10);
  ASSERT_TRUE(OnFloor(state, 40));
  const std::vector<int> humanJunk = PileOf(state, kHuman, kJunk);
  const int humanCards = CapturedTotal(state, kHuman);
  const std::string humanMoney = state.Player(kHuman).Money;
  std::size_t sounds = s.SoundNames().size();

  HumanPlays(s, 41);
  ASSERT_TRUE(UntilComputerTurn(s));
  for (int card : {40, 41, 42})
    EXPECT_TRUE(OnFloor(state, card)) << card;
  EXPECT_EQ(state.Player(kHuman).PpeokCount, 0);
  EXPECT_EQ(state.PpeokOwner[11], -1);
  EXPECT_EQ(state.Player(kHuman).Money, humanMoney);
  EXPECT_EQ(CapturedTotal(state, kHuman), humanCards);
  EXPECT_THAT(SoundsSince(s, sounds), Not(Contains("SANDA")));
  ExpectConsistent(s);

  sounds = s.SoundNames().size();
  ASSERT_TRUE(s.RunUntil([&] { return s.saves.size() >= 2; }));
  for (int card = 40; card < 48; ++card)
    EXPECT_TRUE(HeldBy(state, card, kComputer)) << card;
  for (int card = 0; card < kMonthCards; ++card)
    EXPECT_FALSE(OnFloor(state, card)) << card;
  EXPECT_EQ(PileOf(state, kHuman, kJunk), humanJunk);
  EXPECT_THAT(SoundsSince(s, sounds), Not(Contains("PANSL")));
  EXPECT_THAT(SoundsSince(s, sounds), Not(Contains("ONE")));
  EXPECT_THAT(SoundsSince(s, sounds), Not(Contains("AHH")));
  EXPECT_THAT(s.LogTexts(), Not(Contains("컴퓨터님 판쓸이까지..^^")));
}

// ---- Taking cards: ttadak, jjok, self-ppeok, sweeps

// The computer is 선 and takes 7 with 6 (its only match), then flips 47 alone. The human
// holds 1 (January, onto 0 and 2) and 9 (March, which is not on the floor); the human's
// flip comes next.
std::string ComputerFirstDeck(int humanFlip) {
  return DeckFor(48)
      .Floor({0, 2, 7, 12, 13, 16, 17, 20})
      .FirstHand({6, 24, 26, 28, 30, 33, 34, 37, 38, 41})
      .SecondHand({1, 9, 14, 18, 22, 27, 31, 35, 39, 42})
      .Pile({47, humanFlip})
      .Text();
}

TEST(TurnCaptureTest, TtadakTakesAllFourCardsAndStealsOneJunk) {
  Scenario s;
  s.Start(ComputerFirstDeck(3), 8, /*humanFirst=*/false);
  HumanPlays(s, 1);  // onto 0 and 2: the human chooses 2
  ASSERT_TRUE(s.RunUntil([&] { return s.window.Select().IsOpen(); }));
  const HitArea second = SelectDialog::kSecondCard;
  s.window.Select().MouseDown(MouseButton::kLeft, second.Left + 1, second.Top + 1);
  s.window.Select().MouseUp(MouseButton::kLeft, second.Left + 1, second.Top + 1);
  ASSERT_TRUE(UntilComputerTurn(s));

  const GameState& state = s.State();
  for (int card : {0, 1, 2, 3})
    EXPECT_TRUE(HeldBy(state, card, kHuman)) << card;
  EXPECT_THAT(s.LogTexts(), Contains("아싸!! 따닥입니다!!"));
  EXPECT_EQ(Count(s.SoundNames(), "ONE"), 1);
  // The computer's last junk, 7, joins the human's 2 and 3.
  EXPECT_THAT(PileOf(state, kHuman, kJunk), ElementsAre(2, 3, 7));
  EXPECT_THAT(PileOf(state, kComputer, kJunk), ElementsAre(6));
  EXPECT_EQ(state.Player(kHuman).JunkValue, 3);
  EXPECT_EQ(state.Player(kComputer).JunkValue, 1);
  ExpectConsistent(s);
}

TEST(TurnCaptureTest, JjokStealsOneJunk) {
  Scenario s;
  s.Start(ComputerFirstDeck(10), 8, /*humanFirst=*/false);
  ASSERT_TRUE(UntilHumanTurn(s));
  const std::size_t sounds = s.SoundNames().size();
  HumanPlays(s, 9);  // alone on the floor; the flip 10 lands on it
  ASSERT_TRUE(UntilComputerTurn(s));

  const GameState& state = s.State();
  EXPECT_THAT(SoundsSince(s, sounds), Contains("KISS"));
  EXPECT_EQ(Count(SoundsSince(s, sounds), "ONE"), 1);
  EXPECT_THAT(PileOf(state, kHuman, kRibbon), ElementsAre(9));
  EXPECT_THAT(PileOf(state, kHuman, kJunk), ElementsAre(10, 7));
  EXPECT_THAT(PileOf(state, kComputer, kJunk), ElementsAre(6));
  ExpectConsistent(s);
}

// The human (선) makes a January ppeok with 1 and the flip 2; the computer takes 6 and 7
// with its only match and flips 47 alone. Then the human's 3 or the flip 3 takes the
// ppeok back.
std::string SelfPpeokDeck(bool playedBack) {
  std::vector<int> human = {1, 9, 14, 18, 22, 27, 31, 35, 39, 42};
  if (playedBack) human.back() = 3;
  return DeckFor(48)
      .Floor({0, 7, 12, 13, 16, 17, 20, 21})
      .FirstHand(human)
      .SecondHand({6, 24, 26, 28, 30, 33, 34, 37, 38, 41})
      .Pile({2, 47, playedBack ? 10 : 3})
      .Text();
}

TEST(TurnCaptureTest, TakingBackOwnPpeokWithThePlayedCardStealsTwoJunk) {
  Scenario s;
  s.Start(SelfPpeokDeck(/*playedBack=*/true));
  HumanPlays(s, 1);
  ASSERT_TRUE(UntilHumanTurn(s));
  ASSERT_THAT(PileOf(s.State(), kComputer, kJunk), ElementsAre(6, 7));
  const std::size_t sounds = s.SoundNames().size();
  HumanPlays(s, 3);
  ASSERT_TRUE(UntilComputerTurn(s));

  const GameState& state = s.State();
  for (int card : {0, 1, 2, 3})
    EXPECT_TRUE(HeldBy(state, card, kHuman)) << card;
  EXPECT_THAT(s.LogTexts(), Contains("자뻑을 먹었습니다.~ 2장씩들.."));
  EXPECT_THAT(PileOf(state, kHuman, kJunk), ElementsAre(2, 3, 7, 6));
  EXPECT_THAT(PileOf(state, kComputer, kJunk), IsEmpty());
  EXPECT_EQ(Count(SoundsSince(s, sounds), "ONE"), 2);
  EXPECT_EQ(state.Player(kHuman).PpeokCount, 1);
  EXPECT_EQ(state.Player(kHuman).Money, "1000300");  // only the first ppeok was paid
  ExpectConsistent(s);
}

TEST(TurnCaptureTest, TakingBackOwnPpeokWithTheFlippedCardStealsTwoJunk) {
  Scenario s;
  s.Start(SelfPpeokDeck(/*playedBack=*/false));
  HumanPlays(s, 1);
  HumanPlays(s, 9);  // alone; the flip 3 lands on the ppeok
  ASSERT_TRUE(UntilComputerTurn(s));

  const GameState& state = s.State();
  for (int card : {0, 1, 2, 3})
    EXPECT_TRUE(HeldBy(state, card, kHuman)) << card;
  EXPECT_TRUE(OnFloor(state, 9));
  EXPECT_THAT(s.LogTexts(), Contains("자뻑을 먹었습니다.~ 2장씩!!"));
  EXPECT_THAT(PileOf(state, kHuman, kJunk), ElementsAre(2, 3, 7, 6));
  EXPECT_THAT(PileOf(state, kComputer, kJunk), IsEmpty());
  ExpectConsistent(s);
}

TEST(TurnCaptureTest, TakingBackOwnPpeokWhileTheFlipChoosesStealsTwoJunk) {
  // After the January ppeok and the computer's 6 onto 7, the human's 3 takes the ppeok
  // back and the flip 8 meets the two March junk cards 10 and 11 (nothing to choose: 10).
  Scenario s;
  s.Start(DeckFor(48)
              .Floor({0, 7, 10, 11, 12, 16, 20, 24})
              .FirstHand({1, 3, 13, 17, 21, 25, 30, 34, 38, 41})
              .SecondHand({6, 28, 29, 32, 33, 36, 37, 40, 44, 45})
              .Pile({2, 47, 8})
              .Text());
  HumanPlays(s, 1);
  HumanPlays(s, 3);
  ASSERT_TRUE(UntilComputerTurn(s));

  const GameState& state = s.State();
  for (int card : {0, 1, 2, 3, 8, 10})
    EXPECT_TRUE(HeldBy(state, card, kHuman)) << card;
  EXPECT_TRUE(OnFloor(state, 11));
  EXPECT_THAT(s.LogTexts(), Contains("자뻑을 먹었습니다.~ 2장씩 주십시요 ^^"));
  EXPECT_THAT(PileOf(state, kHuman, kJunk), ElementsAre(2, 3, 10, 7, 6));
  EXPECT_THAT(PileOf(state, kComputer, kJunk), IsEmpty());
  ExpectConsistent(s);
}

// The human (선) takes January's three with 3 and, by the flip 7, February's three: the
// floor keeps 8 and 12. The computer plays 16 alone and flips 17 onto it (its jjok takes
// the human's 7). Then the human's 9 takes 8 and the flip 13 takes 12.
TEST(TurnCaptureTest, ASweepStealsOneJunk) {
  Scenario s;
  s.Start(DeckFor(48)
              .Floor({0, 1, 2, 4, 5, 6, 8, 12})
              .FirstHand({3, 9, 22, 23, 26, 27, 30, 31, 34, 35})
              .SecondHand({16, 20, 21, 24, 25, 28, 29, 32, 36, 40})
              .Pile({7, 17, 13})
              .Text());
  HumanPlays(s, 3);
  ASSERT_TRUE(UntilHumanTurn(s));
  const GameState& state = s.State();
  ASSERT_THAT(PileOf(state, kHuman, kJunk), ElementsAre(2, 3, 6));
  ASSERT_THAT(PileOf(state, kComputer, kJunk), ElementsAre(7));
  EXPECT_THAT(s.SoundNames(), Not(Contains("PANSL")));
  const std::size_t sounds = s.SoundNames().size();

  HumanPlays(s, 9);
  ASSERT_TRUE(UntilComputerTurn(s));
  for (int card = 0; card < kMonthCards; ++card)
    EXPECT_FALSE(OnFloor(state, card)) << card;
  const auto turn = SoundsSince(s, sounds);
  EXPECT_THAT(turn, Contains("PANSL"));
  EXPECT_THAT(turn, Contains("AHH"));
  EXPECT_EQ(Count(turn, "ONE"), 1);
  EXPECT_THAT(PileOf(state, kHuman, kJunk), ElementsAre(2, 3, 6, 7));
  EXPECT_THAT(PileOf(state, kComputer, kJunk), IsEmpty());
  ExpectConsistent(s);
}

// ---- Service cards

TEST(TurnServiceCardTest, ServiceCardsDealtToTheFloorGoToSeonAndAreReplaced) {
  // 48 is dealt to the floor; its replacement, 49, is a service card too; the next, 28,
  // stays. The computer is 선.
  Scenario s;
  s.Start(DeckFor(50)
              .Floor({48, 0, 4, 8, 12, 16, 20, 24})
              .FirstHand({1, 5, 9, 13, 17, 21, 25, 29, 33, 37})
              .SecondHand({2, 6, 10, 14, 18, 22, 26, 30, 34, 38})
              .Pile({49, 28})
              .Text(),
          8, /*humanFirst=*/false);
  const GameState& state = s.State();
  EXPECT_THAT(PileOf(state, kComputer, kJunk), ElementsAre(48, 49));
  EXPECT_EQ(state.Player(kComputer).JunkValue, 4);
  EXPECT_EQ(CapturedTotal(state, kHuman), 0);
  for (int card : {0, 4, 8, 12, 16, 20, 24, 28})
    EXPECT_TRUE(OnFloor(state, card)) << card;
  EXPECT_EQ(std::count_if(state.DrawPile.begin(), state.DrawPile.end(),
                          [](int card) { return card != kNoCard; }),
            20);
  EXPECT_EQ(Count(s.SoundNames(), "HOLD"), 2);
  ExpectConsistent(s);
}

TEST(TurnServiceCardTest, AServiceCardFlippedInAPpeokTurnGoesWithTheStack) {
  // The human (선) plays 1 onto 0; the flips are 48 (laid aside) and 2 (the ppeok). The
  // computer's only match is 3, which takes the stack.
  Scenario s;
  s.Start(DeckFor(49)
              .Floor({0, 4, 5, 8, 9, 12, 13, 16})
              .FirstHand({1, 22, 26, 30, 37, 38, 40, 41, 44, 45})
              .SecondHand({3, 20, 21, 24, 25, 28, 29, 32, 33, 36})
              .Pile({48, 2, 46})
              .Text());
  HumanPlays(s, 1);
  ASSERT_TRUE(UntilComputerTurn(s));
  const GameState& state = s.State();
  EXPECT_THAT(s.SoundNames(), Contains("SANGPI"));
  EXPECT_EQ(state.Player(kHuman).PpeokCount, 1);
  EXPECT_TRUE(OnFloor(state, 48));
  EXPECT_EQ(state.Card(48).FloorSlot, state.Card(0).FloorSlot);
  EXPECT_EQ(CapturedTotal(state, kHuman), 0);
  ExpectConsistent(s);

  ASSERT_TRUE(UntilHumanTurn(s));
  for (int card : {0, 1, 2, 3, 48})
    EXPECT_TRUE(HeldBy(state, card, kComputer)) << card;
  EXPECT_THAT(PileOf(state, kComputer, kJunk), ElementsAre(2, 3, 48));
  ExpectConsistent(s);
}

// ---- Stealing junk

struct StealRow {
  const char* what;
  std::vector<int> victim;  // the computer's junk pile, in the order of capture
  int n;
  std::vector<int> left;   // what stays with the computer
  std::vector<int> taken;  // what the human receives, in the order taken
};

TEST(TurnStealJunkTest, WhatAStealTakesFromTheOpponentsJunk) {
  // 41, 47 and the service cards 48, 49 are double junk; 32 once moved to the junk too.
  const std::vector<StealRow> rows = {
      {"no double, one", {3, 7, 11}, 1, {3, 7}, {11}},
      {"no double, two", {3, 7, 11}, 2, {3}, {11, 7}},
      {"no double, fewer than asked", {3, 7}, 5, {}, {7, 3}},
      {"a lone double, one", {41}, 1, {}, {41}},
      {"a lone double, two", {41}, 2, {41}, {}},
      {"only doubles, two", {41, 47, 48}, 2, {41, 47}, {48}},
      {"only doubles, three", {41, 47, 48}, 3, {41}, {48, 47}},
      {"only doubles, four", {41, 47, 48}, 4, {41}, {48, 47}},
      {"only doubles, five", {41, 47, 48, 49}, 5, {41}, {49, 48, 47}},
      {"mixed, one takes a plain card", {3, 41, 7}, 1, {3, 41}, {7}},
      {"mixed, two take the double", {41, 3, 7}, 2, {3, 7}, {41}},
      {"mixed, three", {41, 3, 7}, 3, {3}, {7, 41}},
      {"one double, four", {3, 41, 7, 11, 15}, 4, {3, 7}, {15, 11, 41}},
      {"one double, five", {3, 41, 7, 11, 15}, 5, {3}, {15, 11, 7, 41}},
      {"two doubles, four", {41, 3, 47, 7, 11}, 4, {3, 7, 11}, {47, 41}},
      {"two doubles, five", {41, 3, 47, 7, 11}, 5, {3, 7}, {11, 47, 41}},
      {"the September animal counts as double", {32, 3}, 2, {3}, {32}},
  };
  for (const StealRow& row : rows) {
    SCOPED_TRACE(row.what);
    Scenario s;
    s.Start(DeckFor(50)
                .Floor({0, 4, 8, 12, 16, 20, 24, 28})
                .FirstHand({1, 5, 9, 13, 17, 21, 25, 29, 33, 37})
                .SecondHand({2, 6, 10, 14, 18, 22, 26, 30, 34, 38})
                .Text());
    GameState& state = s.State();
    state.Card(kSeptemberAnimal).Kind = kJunk;
    for (int card : row.victim)
      CapturePile(s.G(), kComputer, card, false);
    const std::size_t sounds = s.SoundNames().size();

    StealJunk(s.G(), kHuman, row.n);
    EXPECT_THAT(PileOf(state, kComputer, kJunk), ElementsAreArray(row.left));
    EXPECT_THAT(PileOf(state, kHuman, kJunk), ElementsAreArray(row.taken));
    for (int card : row.taken)
      EXPECT_TRUE(HeldBy(state, card, kHuman)) << card;
    EXPECT_EQ(Count(SoundsSince(s, sounds), "ONE"), static_cast<int>(row.taken.size()));
    int value = 0;
    for (int card : row.left)
      value += state.Card(card).Mark == kMarkDoubleJunk ? 2 : 1;
    EXPECT_EQ(state.Player(kComputer).JunkValue, value);
  }
}

TEST(TurnStealJunkTest, NothingIsStolenOnTheThiefsLastTurn) {
  Scenario s;
  s.Start(DeckFor(48)
              .Floor({0, 4, 8, 12, 16, 20, 24, 28})
              .FirstHand({1, 5, 9, 13, 17, 21, 25, 29, 33, 37})
              .SecondHand({2, 6, 10, 14, 18, 22, 26, 30, 34, 38})
              .Text());
  for (int card : {3, 7})
    CapturePile(s.G(), kComputer, card, false);
  s.State().Player(kHuman).PlayedCount = 10;
  StealJunk(s.G(), kHuman, 1);
  EXPECT_THAT(PileOf(s.State(), kComputer, kJunk), ElementsAre(3, 7));
  EXPECT_THAT(PileOf(s.State(), kHuman, kJunk), IsEmpty());
}

// ---- Bombs and bomb cards

// The human (선) takes 7 with 6, then 44 with 45, then lays 36 alone. The computer holds
// August's 29, 30, 31 and nothing else that ever meets the floor: its first turn lays 0
// down, its second bombs onto the flipped 28, its third has no match and plays a bomb
// card whose flip, 37, lands on the human's lone 36.
TEST(TurnBombTest, TheComputerBombsAndLaterPlaysABombCard) {
  Scenario s;
  s.Start(DeckFor(48)
              .Floor({7, 8, 9, 10, 20, 21, 22, 32})
              .FirstHand({1, 2, 6, 14, 15, 18, 19, 36, 42, 45})
              .SecondHand({0, 12, 13, 16, 17, 29, 30, 31, 40, 41})
              .Pile({44, 24, 28, 46, 4, 37})
              .Text());
  HumanPlays(s, 6);
  HumanPlays(s, 45);
  std::size_t sounds = s.SoundNames().size();
  ASSERT_TRUE(UntilHumanTurn(s));

  const GameState& state = s.State();
  for (int card : {28, 29, 30, 31})
    EXPECT_TRUE(HeldBy(state, card, kComputer)) << card;
  EXPECT_EQ(state.Player(kComputer).ShakeCount, 1);
  EXPECT_THAT(state.BombCards[kComputer],
              ElementsAre(BombCard::kAvailable, BombCard::kAvailable, BombCard::kNotGranted,
                          BombCard::kNotGranted, BombCard::kNotGranted, BombCard::kNotGranted));
  EXPECT_THAT(SoundsSince(s, sounds), Contains("BOMB"));
  EXPECT_EQ(Count(SoundsSince(s, sounds), "ONE"), 1);
  EXPECT_THAT(PileOf(state, kHuman, kJunk), ElementsAre(6));
  EXPECT_THAT(PileOf(state, kComputer, kJunk), ElementsAre(30, 31, 7));
  ExpectConsistent(s);

  HumanPlays(s, 36);
  ASSERT_TRUE(UntilComputerTurn(s));
  sounds = s.SoundNames().size();
  ASSERT_TRUE(UntilHumanTurn(s));
  EXPECT_EQ(state.BombCards[kComputer][0], BombCard::kUsed);
  EXPECT_EQ(state.BombCards[kComputer][1], BombCard::kAvailable);
  for (int card : {12, 13, 16, 17, 40, 41})
    EXPECT_EQ(state.Card(card).Location, kComputer);
  EXPECT_TRUE(HeldBy(state, 36, kComputer));
  EXPECT_TRUE(HeldBy(state, 37, kComputer));
  // The flip lands on the card the human played last turn: in a turn without a hand
  // card that is no jjok.
  EXPECT_THAT(SoundsSince(s, sounds), Contains("BOMB"));
  EXPECT_THAT(SoundsSince(s, sounds), Not(Contains("KISS")));
  EXPECT_THAT(SoundsSince(s, sounds), Not(Contains("ONE")));
  EXPECT_THAT(PileOf(state, kHuman, kJunk), ElementsAre(6));
  ExpectConsistent(s);
}

// The human (선) bombs January and February in the first two turns and then waits: the
// time-outs play 33, 37 and 41, then the service card 48, its replacement 39, then a
// bomb card. Every card below takes or is taken by at most one card, so that nobody
// comes near a stop.
TEST(TurnTimeOutTest, AHumanWithoutRealCardsPlaysTheServiceCardThenABombCard) {
  Scenario s;
  s.Start(DeckFor(49)
              .Floor({0, 4, 8, 12, 16, 20, 24, 28})
              .FirstHand({1, 2, 3, 5, 6, 7, 33, 37, 41, 48})
              .SecondHand({10, 11, 14, 15, 18, 19, 22, 23, 26, 27})
              .Pile({44, 46, 45, 47, 9, 13, 29, 38, 34, 42, 39, 17, 21, 25})
              .Text());
  HumanPlays(s, 1);
  HumanPlays(s, 5);
  const GameState& state = s.State();
  ASSERT_TRUE(s.RunUntil([&] { return state.Player(kHuman).PlayedCount == 6; }));
  for (int card = 0; card < kMonthCards; ++card)
    ASSERT_NE(state.Card(card).Location, kHuman);
  ASSERT_EQ(state.Card(48).Location, kHuman);
  ExpectConsistent(s);

  ASSERT_TRUE(UntilComputerTurn(s));
  EXPECT_TRUE(HeldBy(state, 48, kHuman));
  EXPECT_TRUE(OnFloor(state, 39));  // the replacement, played at the next time-out
  EXPECT_EQ(state.Player(kHuman).PlayedCount, 6);
  ExpectConsistent(s);

  ASSERT_TRUE(s.RunUntil([&] { return state.Player(kHuman).PlayedCount == 7; }));
  ASSERT_TRUE(UntilComputerTurn(s));
  EXPECT_THAT(state.BombCards[kHuman],
              ElementsAre(BombCard::kUsed, BombCard::kAvailable, BombCard::kAvailable,
                          BombCard::kAvailable, BombCard::kNotGranted, BombCard::kNotGranted));
  EXPECT_TRUE(HeldBy(state, 25, kHuman));  // the bomb card's flip, onto 24
  ExpectConsistent(s);
}

}  // namespace
}  // namespace hw
