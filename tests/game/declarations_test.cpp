// Whole hands on the virtual clock around the declarations: chongtong, shaking and
// bombing, the September animal, Go and Stop, the turn timer and the human's clicks, and
// the dialogs that put the questions. Decks are laid out card by card so that every
// turn below can be followed by hand.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <initializer_list>
#include <string>
#include <vector>

#include "hand/after_turn.h"
#include "hand/capture.h"
#include "hand/hand_setup.h"
#include "rules/computer_player.h"
#include "tests/support/deck_builder.h"
#include "tests/support/scenario.h"

namespace hw {
namespace {

using ::testing::Contains;
using testing::DeckFor;
using ::testing::ElementsAre;
using testing::Login;
using ::testing::Not;
using testing::Scenario;

constexpr int kNovemberBrightMission = 8;  // card 40, which nobody captures below

int HeldBy(const GameState& state, int player) {
  int held = 0;
  for (int card = 0; card < state.Room.CardsInPlay; ++card)
    held += state.Card(card).Location == player;
  return held;
}

bool InPile(const GameState& state, int player, int kind, int card) {
  const SeatCardSet& seat = state.SeatOf(player);
  const auto begin = seat.Captured[kind].begin();
  return std::find(begin, begin + seat.CapturedCountByKind[kind], card) !=
         begin + seat.CapturedCountByKind[kind];
}

int TimesOpened(const Scenario& s, DialogKind dialog) {
  return static_cast<int>(std::count(s.dialogs.opened.begin(), s.dialogs.opened.end(), dialog));
}

bool Played(const Scenario& s, const std::string& name, int channel, const std::string& voice) {
  return std::any_of(s.rec.sound.played.begin(), s.rec.sound.played.end(), [&](const auto& p) {
    return p.name == name && p.channel == channel && p.voiceFolder == voice;
  });
}

void Click(Scenario& s, int card, MouseButton button = MouseButton::kLeft) {
  s.window.OnCardPress(card, button);
  s.window.OnCardRelease(card, button);
}

// The cards leave the draw pile for the player's capture piles, as if taken earlier.
void GiveCaptured(Scenario& s, int player, std::initializer_list<int> cards) {
  GameState& state = s.State();
  for (int card : cards) {
    ASSERT_EQ(state.Card(card).Location, kInDrawPile) << "card " << card;
    std::replace(state.DrawPile.begin(), state.DrawPile.end(), card, kNoCard);
    CapturePile(s.G(), player, card, false);
  }
  CalculateScore(s.G(), player);
}

bool HumansTurnWaits(Scenario& s) {
  return s.State().Room.TurnPlayer == kHuman && s.State().Room.HumanTurnMark == -1;
}

// A deck with these floor cards (slots 0..7), 선's hand, the other hand and the first
// cards to flip; the rest of the pile follows in card-number order.
std::string Deck(const std::vector<int>& floor, const std::vector<int>& seon,
                 const std::vector<int>& other, const std::vector<int>& pile = {},
                 int cards = kMonthCards) {
  return DeckFor(cards).Floor(floor).FirstHand(seon).SecondHand(other).Pile(pile).Text();
}

// ---- Chongtong

TEST(ChongtongTest, FourOfAMonthWinsThreeStakesBeforeTheFirstCard) {
  struct Case {
    const char* where;
    bool humanFirst;
    int winner;
    std::array<int, 4> cards;
    std::string deck;
  };
  const std::vector<int> floor = {6, 10, 14, 18, 22, 26, 30, 34};
  const std::vector<int> someCards = {5, 9, 13, 17, 21, 25, 29, 33, 37, 41};
  // clang-format off
  for (const Case& c : {
      Case{"in 선's hand", true, kHuman, {0, 1, 2, 3},
           Deck(floor, {0, 1, 2, 3, 4, 8, 12, 16, 20, 24}, someCards)},
      Case{"in the other hand", true, kComputer, {0, 1, 2, 3},
           Deck(floor, {4, 8, 12, 16, 20, 24, 28, 32, 36, 40}, {0, 1, 2, 3, 5, 9, 13, 17, 21, 25})},
      // The computer is 선 with December; the human holds January, the earlier month.
      Case{"in both hands", false, kComputer, {44, 45, 46, 47},
           Deck(floor, {44, 45, 46, 47, 5, 9, 13, 17, 21, 25}, {0, 1, 2, 3, 4, 8, 12, 16, 20, 24})},
      Case{"on the floor, for 선", false, kComputer, {8, 9, 10, 11},
           Deck({8, 9, 10, 11, 2, 6, 14, 18}, {0, 4, 12, 16, 20, 24, 28, 32, 36, 40},
                {1, 5, 13, 17, 21, 25, 29, 33, 37, 41})},
  }) {
    // clang-format on
    SCOPED_TRACE(c.where);
    Scenario s(Login{.stake = "300"});
    s.Start(c.deck, kNovemberBrightMission, c.humanFirst);
    const GameState& state = s.State();
    const std::string name = state.Player(c.winner).Name;
    ASSERT_EQ(s.saves.size(), 2u);
    EXPECT_EQ(s.saves[c.winner].code, "W");
    EXPECT_EQ(s.saves[1 - c.winner].code, "L");
    EXPECT_EQ(s.saves[c.winner].amount, "900");
    EXPECT_EQ(state.Player(c.winner).Money, "1000900");
    EXPECT_EQ(state.Result.WinnerLine, name + "님 승리~");
    EXPECT_EQ(state.Result.CalculationLine, "총통으로 승리");
    EXPECT_THAT(s.LogTexts(), Contains("<" + name + ">님 총통승! "));
    EXPECT_THAT(s.LogTexts(), Contains("미션실패~~"));
    EXPECT_FALSE(state.Result.ShownAreShake);
    EXPECT_EQ(state.Result.ShownOwner, name);
    EXPECT_EQ(state.Result.ShownCards, c.cards);
    EXPECT_EQ(TimesOpened(s, DialogKind::kCommon), 1);
    EXPECT_TRUE(Played(s, "CHONG", 3, ""));
    EXPECT_EQ(state.Player(kHuman).PlayedCount + state.Player(kComputer).PlayedCount, 0);
  }
}

// ---- Shaking and bombing

TEST(ShakeTest, TheComputerShakesOnItsSecondTurnAndPlaysAgain) {
  // The computer (선) first plays January (its hand is marked only after its first turn),
  // the human's time-out plays its lowest card, then the computer's lowest card is one of
  // its three Februaries, with no February on the floor.
  Scenario s;
  s.Start(Deck({24, 25, 28, 29, 34, 36, 40, 44}, {0, 4, 5, 6, 12, 13, 16, 17, 20, 21},
               {8, 9, 26, 27, 30, 31, 38, 39, 41, 45}, {35, 37}),
          kNovemberBrightMission, false);
  const GameState& state = s.State();
  const PlayerRecord& computer = state.Player(kComputer);
  ASSERT_TRUE(s.RunUntil([&] { return computer.ShakeCount > 0; }, 60));

  EXPECT_THAT(s.LogTexts(), Contains("[컴퓨터]님께서 흔들었습니다"));
  EXPECT_EQ(state.Card(4).Location, kComputer) << "the turn begins again";
  EXPECT_EQ(computer.PlayedCount, 2);
  EXPECT_EQ(state.Room.TurnPlayer, kComputer);
  EXPECT_TRUE(s.window.TurnTimer().Enabled());
  for (int card : {4, 5, 6})
    EXPECT_EQ(state.Card(card).ShakeMark, kShakeShown);
  EXPECT_TRUE(state.Result.ShownAreShake);
  EXPECT_EQ(state.Result.ShownOwner, "컴퓨터");
  EXPECT_EQ(state.Result.ShownCards, (std::array<int, 4>{4, 5, 6, -1}));
  EXPECT_EQ(TimesOpened(s, DialogKind::kCommon), 1);
  EXPECT_FALSE(s.window.Common().IsOpen());
  EXPECT_TRUE(Played(s, "WAVE", 3, ""));

  ASSERT_TRUE(s.RunUntil([&] { return state.Card(4).Location != kComputer; }, 5));
  EXPECT_EQ(state.Card(4).Location, kOnFloor);
  EXPECT_EQ(computer.ShakeCount, 1);
  EXPECT_EQ(computer.PlayedCount, 2);
}

// The human (선) holds three Januaries; no January lies on the floor.
std::string HumanShakeDeck() {
  return Deck({6, 10, 14, 18, 22, 26, 30, 34}, {0, 1, 2, 4, 8, 12, 16, 20, 24, 28},
              {3, 5, 9, 13, 17, 21, 25, 29, 33, 37}, {44});
}

TEST(ShakeTest, TheHumanWhoShakesPlaysTheTurnAgain) {
  Scenario s;
  s.Start(HumanShakeDeck());
  const GameState& state = s.State();
  Click(s, 0);
  ShakeDialog& dialog = s.window.Shake();
  ASSERT_TRUE(dialog.IsOpen());
  EXPECT_EQ(state.Room.DialogOpen, 1);
  EXPECT_EQ(s.SoundNames().back(), "WINDOW");

  dialog.MouseDown(MouseButton::kRight, 60, 110);
  dialog.MouseDown(MouseButton::kLeft, 104, 130);  // just right of the yes button
  EXPECT_TRUE(dialog.IsOpen());
  dialog.MouseDown(MouseButton::kLeft, 103, 130);  // its bottom-right corner
  EXPECT_FALSE(dialog.IsOpen());
  EXPECT_EQ(state.Room.DialogOpen, 0);

  const PlayerRecord& human = state.Player(kHuman);
  EXPECT_EQ(human.ShakeCount, 1);
  EXPECT_EQ(human.PlayedCount, 1);
  EXPECT_TRUE(HumansTurnWaits(s));
  EXPECT_EQ(state.Card(0).Location, kHuman);
  EXPECT_TRUE(Played(s, "WAVE", 3, ""));

  Click(s, 0);  // now a plain play
  EXPECT_EQ(state.Card(0).Location, kOnFloor);
  EXPECT_EQ(TimesOpened(s, DialogKind::kShake), 1);
  EXPECT_EQ(human.ShakeCount, 1);
}

TEST(ShakeTest, NoTimeOutOrAMinimisedWindowPlayTheCardPlainly) {
  for (const char* how : {"no", "time-out", "minimised"}) {
    SCOPED_TRACE(how);
    Scenario s;
    s.Start(HumanShakeDeck());
    const std::string answer = how;
    if (answer == "minimised") s.window.SetMinimised(true);
    Click(s, 0);
    if (answer == "no") {
      s.window.Shake().MouseDown(MouseButton::kLeft, 123, 96);
    } else if (answer == "time-out") {
      s.Wait(9.9);
      EXPECT_TRUE(s.window.Shake().IsOpen());
      s.Wait(0.2);
    }
    EXPECT_FALSE(s.window.Shake().IsOpen());
    EXPECT_EQ(TimesOpened(s, DialogKind::kShake), answer == "minimised" ? 0 : 1);
    EXPECT_EQ(s.State().Card(0).Location, kOnFloor);
    EXPECT_EQ(s.State().Player(kHuman).ShakeCount, 0);
    EXPECT_EQ(s.State().Room.TurnPlayer, kComputer);
  }
}

// The human (선) holds three Januaries with the fourth on the floor.
TEST(BombTest, ABombIsAShakeAndItsUnusedBombCardsGoWithTheHand) {
  Scenario s;
  s.Start(Deck({3, 6, 10, 14, 18, 22, 26, 30}, {0, 1, 2, 11, 15, 19, 23, 27, 31, 35},
               {4, 12, 13, 17, 21, 25, 29, 33, 37, 41}, {47}));
  GameState& state = s.State();
  // What makes 7 points with the bomb's bright and ribbon.
  GiveCaptured(s, kHuman, {8, 28, 5, 9, 16, 20, 24, 36, 45});
  Click(s, 0);

  EXPECT_EQ(TimesOpened(s, DialogKind::kShake), 0);
  for (int card : {0, 1, 2, 3})
    EXPECT_EQ(state.Card(card).Location, CapturedBy(kHuman));
  EXPECT_EQ(state.Player(kHuman).ShakeCount, 1);
  EXPECT_THAT(state.BombCards[kHuman],
              ElementsAre(BombCard::kAvailable, BombCard::kAvailable, BombCard::kNotGranted,
                          BombCard::kNotGranted, BombCard::kNotGranted, BombCard::kNotGranted));
  // Three brights 3, red poem ribbons 3, five animals 1: 7, doubled by the bomb.
  ASSERT_TRUE(s.window.GoStop().IsOpen());
  EXPECT_EQ(s.window.GoStop().AmountText(), "<1400원> 획득가능");

  s.Wait(10.1);  // no answer: Stop
  ASSERT_EQ(s.saves.size(), 2u);
  EXPECT_EQ(s.saves[0].code, "W");
  EXPECT_EQ(s.saves[0].amount, "1400");
  EXPECT_EQ(state.Result.MultiplierLine, "흔듬(1회) ");

  s.rec.board.calls.clear();
  ASSERT_TRUE(s.PlayToEnd());
  for (int player = 0; player < kPlayers; ++player) {
    for (BombCard card : state.BombCards[player])
      EXPECT_EQ(card, BombCard::kNotGranted);
  }
  EXPECT_THAT(s.rec.board.calls, Contains("hide-bomb-card 0 0"));
  EXPECT_THAT(s.rec.board.calls, Contains("hide-bomb-card 0 1"));
}

// ---- The September animal

// 선 holds the September junk (34) and takes the September animal (32) from the floor;
// the flip (44) lands alone. Each hand holds one card of each of ten months.
std::string SeptemberDeck() {
  return Deck({2, 6, 10, 14, 18, 22, 26, 32}, {34, 3, 7, 11, 15, 19, 23, 27, 31, 39},
              {4, 12, 13, 17, 21, 25, 29, 33, 37, 41}, {44});
}

TEST(SeptemberAnimalTest, TheComputerAlwaysMovesItToDoubleJunk) {
  Scenario s;
  s.Start(SeptemberDeck(), kNovemberBrightMission, false);
  const GameState& state = s.State();
  ASSERT_TRUE(s.RunUntil([&] { return state.Card(32).Location == CapturedBy(kComputer); }, 5));

  EXPECT_EQ(TimesOpened(s, DialogKind::kSeptember), 0);
  EXPECT_EQ(state.Card(32).Kind, kJunk);
  EXPECT_TRUE(InPile(state, kComputer, kJunk, 32));
  EXPECT_FALSE(InPile(state, kComputer, kAnimal, 32));
  EXPECT_EQ(state.Player(kComputer).JunkValue, 3);
  const auto& lines = s.rec.log.lines;
  auto line = [&](const std::string& text) {
    return std::find_if(lines.begin(), lines.end(), [&](const auto& l) { return l.text == text; });
  };
  const auto deciding = line("[컴퓨터]님 구열결정중..");
  const auto moved = line("[컴퓨터]님께서 구열을 쌍피로 이동하셨습니다");
  ASSERT_NE(deciding, lines.end());
  ASSERT_NE(moved, lines.end());
  EXPECT_LT(deciding, moved);
  EXPECT_EQ(deciding->colour, kYellow);
  EXPECT_EQ(moved->colour, kWhite);
  EXPECT_TRUE(HumansTurnWaits(s));
}

TEST(SeptemberAnimalTest, TheHumanIsAskedAndDoubleJunkIsTheDefault) {
  struct Case {
    const char* how;
    int kind;
    const char* logLine;
  };
  for (const Case c : {Case{"yes", kJunk, "[player]님께서 구열을 쌍피로 이동하셨습니다"},
                       Case{"no", kAnimal, "[player]님께서 구열을 십자리에 놓으셨습니다"},
                       Case{"time-out", kJunk, "[player]님께서 구열을 쌍피로 이동하셨습니다"},
                       Case{"minimised", kJunk, "[player]님께서 구열을 쌍피로 이동하셨습니다"}}) {
    SCOPED_TRACE(c.how);
    Scenario s;
    s.Start(SeptemberDeck());
    const std::string how = c.how;
    if (how == "minimised") s.window.SetMinimised(true);
    Click(s, 34);
    const GameState& state = s.State();
    if (how != "minimised") {
      ASSERT_TRUE(s.window.September().IsOpen());
      EXPECT_EQ(state.Room.DialogOpen, 1);
      EXPECT_EQ(s.SoundNames().back(), "WINDOW");
    }
    if (how == "yes") s.window.September().MouseDown(MouseButton::kLeft, 28, 96);
    if (how == "no") s.window.September().MouseDown(MouseButton::kLeft, 198, 130);
    if (how == "time-out") s.Wait(10.1);

    EXPECT_EQ(TimesOpened(s, DialogKind::kSeptember), how == "minimised" ? 0 : 1);
    EXPECT_EQ(state.Room.DialogOpen, 0);
    EXPECT_EQ(state.Card(32).Kind, c.kind);
    EXPECT_TRUE(InPile(state, kHuman, c.kind, 32));
    EXPECT_EQ(state.Player(kHuman).JunkValue, c.kind == kJunk ? 3 : 1);
    EXPECT_THAT(s.LogTexts(), Contains(c.logLine));
    EXPECT_EQ(state.Room.TurnPlayer, kComputer);
    EXPECT_EQ(TimesOpened(s, DialogKind::kGoStop), 0);
  }
}

// ---- Go and Stop

// Before the human (선) takes the September animal it holds three brights 3, the red
// poem ribbons 3 and four animals 0; the computer holds one junk card and no bright.
// The animal makes the fifth animal: 7 points while it stays an animal, 6 as junk.
struct SevenWithTheSeptemberAnimal {
  Scenario s;
  GameState& state = s.State();
  SevenWithTheSeptemberAnimal() {
    s.Start(SeptemberDeck());
    GiveCaptured(s, kHuman, {0, 8, 28, 1, 5, 9, 16, 20, 24, 36});
    GiveCaptured(s, kComputer, {38});
    Click(s, 34);
  }
  void Answer(bool staysAnAnimal) {
    s.window.September().MouseDown(MouseButton::kLeft, staysAnAnimal ? 150 : 50, 110);
  }
};

TEST(GoStopTest, KeepingTheAnimalOffersTheStopItMakes) {
  SevenWithTheSeptemberAnimal junk;
  junk.Answer(false);
  EXPECT_EQ(junk.state.Player(kHuman).Score, 6);
  EXPECT_EQ(TimesOpened(junk.s, DialogKind::kGoStop), 0);
  EXPECT_EQ(junk.state.Room.TurnPlayer, kComputer);

  SevenWithTheSeptemberAnimal animal;
  animal.Answer(true);
  EXPECT_EQ(animal.state.Player(kHuman).Score, 7);
  ASSERT_TRUE(animal.s.window.GoStop().IsOpen());
  EXPECT_EQ(animal.state.Room.DialogOpen, 1);
  // 7 points, doubled for gwang-bak: the computer holds a card but no bright.
  EXPECT_EQ(animal.s.window.GoStop().AmountText(), "<1400원> 획득가능");
}

TEST(GoStopTest, TheHumanCallsGo) {
  SevenWithTheSeptemberAnimal t;
  t.Answer(true);
  t.s.window.GoStop().MouseDown(MouseButton::kLeft, 106, 99);  // Go's bottom-right corner

  const PlayerRecord& human = t.state.Player(kHuman);
  EXPECT_EQ(human.GoCount, 1);
  EXPECT_EQ(human.ScoreAtLastGo, 7);
  EXPECT_EQ(t.state.Room.LastGoPlayer, kHuman);
  EXPECT_THAT(t.s.LogTexts(), Contains("[player]님 <1고>(7점)"));
  EXPECT_TRUE(Played(t.s, "GO1", 0, "M"));
  EXPECT_THAT(t.s.rec.board.calls, Contains("go-effect 1"));
  EXPECT_EQ(t.state.Room.TurnPlayer, kComputer);
  EXPECT_TRUE(t.s.saves.empty());
}

TEST(GoStopTest, TheHumanStops) {
  SevenWithTheSeptemberAnimal t;
  t.Answer(true);
  t.s.window.GoStop().MouseDown(MouseButton::kLeft, 107, 70);  // between the buttons
  ASSERT_TRUE(t.s.window.GoStop().IsOpen());
  t.s.window.GoStop().MouseDown(MouseButton::kLeft, 114, 40);  // Stop's top-left corner
  EXPECT_TRUE(Played(t.s, "STOP", 4, "M"));
  EXPECT_THAT(t.s.LogTexts(), Contains("[player]님 스톱(7점)"));
  EXPECT_THAT(t.s.LogTexts(), Contains("1400원!  난점수(14점)"));
  ASSERT_EQ(t.s.saves.size(), 2u);
  EXPECT_EQ(t.s.saves[0].code, "W");
  EXPECT_EQ(t.s.saves[0].amount, "1400");
}

TEST(GoStopTest, AStopNeedsSevenPointsAndMoreThanAtTheLastGo) {
  // Junk only, from the pile: two double junk and eleven to thirteen plain ones.
  Scenario s;
  s.Start(testing::QuietDeck());
  ASSERT_TRUE(HumansTurnWaits(s));
  GiveCaptured(s, kHuman, {41, 47, 3, 7, 11, 15, 19, 23, 27, 31, 34, 35, 38});  // 15: 6 points
  EXPECT_EQ(s.State().Player(kHuman).Score, 6);
  EXPECT_EQ(DecideAfterScore(s.G(), kHuman), AfterScore::kTurnGoesOn);

  PlayerRecord& human = s.State().Player(kHuman);
  human.GoCount = 1;
  human.ScoreAtLastGo = 7;
  GiveCaptured(s, kHuman, {39});  // 16: 7 points, no more than at the Go
  EXPECT_EQ(human.Score, 7);
  EXPECT_EQ(DecideAfterScore(s.G(), kHuman), AfterScore::kTurnGoesOn);
  EXPECT_EQ(TimesOpened(s, DialogKind::kGoStop), 0);

  GiveCaptured(s, kHuman, {42});  // 17: 8 points
  EXPECT_EQ(DecideAfterScore(s.G(), kHuman), AfterScore::kTakenOver);
  EXPECT_TRUE(s.window.GoStop().IsOpen());
}

TEST(GoStopTest, WithNoCardLeftSevenPointsAreSettledWithoutAQuestion) {
  Scenario s;
  s.Start(testing::QuietDeck());
  GiveCaptured(s, kHuman, {41, 47, 3, 7, 11, 15, 19, 23, 27, 31, 34, 35, 38, 39});  // 16: 7
  s.State().Player(kHuman).PlayedCount = 10;
  EXPECT_EQ(DecideAfterScore(s.G(), kHuman), AfterScore::kTakenOver);
  EXPECT_EQ(TimesOpened(s, DialogKind::kGoStop), 0);
  ASSERT_EQ(s.saves.size(), 2u);
  EXPECT_EQ(s.saves[0].code, "W");
  EXPECT_EQ(s.saves[0].amount, "700");
}

// The computer (선) holds two brights and godori, 5 points, and its first turn takes the
// August bright with its only bright match (30 onto 28), and the flip 27 takes 24: 8
// points. The human holds ribbons worth 4 (red poem among five) or 5 (among six) points;
// its hand matches the floor left after that turn, or not.
struct ComputerAtEight {
  Scenario s;
  GameState& state = s.State();
  ComputerAtEight(bool humanHasFive, bool humanMatchesFloor) {
    s.Start(Deck({28, 2, 6, 10, 14, 18, 20, 24},
                 {30, 3, 7, 11, 15, 19, 22, humanMatchesFloor ? 44 : 23, 25, 26},
                 {31, 32, 33, 34, 36, 37, 38, 40, 41, humanMatchesFloor ? 23 : 44}, {27}),
            kNovemberBrightMission, false);
    GiveCaptured(s, kComputer, {0, 8, 4, 12, 29});
    GiveCaptured(s, kHuman, {1, 5, 9, 13, 17});
    if (humanHasFive) GiveCaptured(s, kHuman, {21});
    s.RunUntil([this] { return state.Player(kComputer).GoCount > 0 || s.saves.size() >= 2; }, 5);
  }
};

TEST(GoStopTest, TheComputerGoesUnlessTheHumanHasFivePointsAndNoMatchingCard) {
  struct Case {
    bool five, matches, goes;
  };
  for (const Case c :
       {Case{false, false, true}, Case{true, true, true}, Case{true, false, false}}) {
    SCOPED_TRACE(::testing::Message() << c.five << c.matches);
    ComputerAtEight t(c.five, c.matches);
    EXPECT_EQ(t.state.Player(kHuman).Score, c.five ? 5 : 4);
    EXPECT_THAT(t.s.LogTexts(), Contains("[컴퓨터]님 고/스톱 결정중입니다"));
    EXPECT_EQ(t.state.Player(kComputer).GoCount, c.goes ? 1 : 0);
    if (c.goes) {
      EXPECT_THAT(t.s.LogTexts(), Contains("[컴퓨터]님 <1고>(8점)"));
      EXPECT_TRUE(Played(t.s, "GO1", 0, "F"));
      EXPECT_EQ(t.state.Room.LastGoPlayer, kComputer);
      EXPECT_TRUE(HumansTurnWaits(t.s));
      EXPECT_TRUE(t.s.saves.empty());
    } else {
      EXPECT_THAT(t.s.LogTexts(), Contains("[컴퓨터]님 스톱(8점)"));
      // 8 points, doubled for gwang-bak.
      EXPECT_THAT(t.s.LogTexts(), Contains("1600원!  난점수(16점)"));
      ASSERT_EQ(t.s.saves.size(), 2u);
      EXPECT_EQ(t.s.saves[1].code, "W");
      EXPECT_EQ(t.s.saves[0].amount, "1600");
      EXPECT_EQ(t.state.Player(kHuman).Money, "998400");
    }
  }
}

// ---- The turn timer and the human's clicks

TEST(TurnTimerTest, TheComputerMovesAtTheSecondTickOfItsTurn) {
  Scenario s;
  s.Start(testing::QuietDeck(), kNovemberBrightMission, false);
  const GameState& state = s.State();
  s.Wait(1.9);
  EXPECT_EQ(HeldBy(state, kComputer), 10);
  EXPECT_EQ(state.Room.TurnPlayer, kComputer);
  s.Wait(0.2);
  EXPECT_EQ(HeldBy(state, kComputer), 9);
  EXPECT_TRUE(HumansTurnWaits(s));
}

TEST(TurnTimerTest, TheHumansLastFiveSecondsCountDownThenTheLowestRealCardIsPlayed) {
  Scenario s;
  s.Start(Deck({2, 6, 10, 14, 18, 22, 26, 30}, {48, 5, 9, 13, 17, 21, 25, 29, 33, 37},
               {0, 4, 8, 12, 16, 20, 24, 28, 32, 36}, {}, 49));
  const GameState& state = s.State();
  s.rec.board.calls.clear();
  s.Wait(11.5);
  std::vector<std::string> shown;
  for (const auto& call : s.rec.board.Calls("countdown")) {
    if (call != "countdown 0") shown.push_back(call);
  }
  EXPECT_THAT(shown, ElementsAre("countdown 5", "countdown 4", "countdown 3", "countdown 2",
                                 "countdown 1"));
  EXPECT_EQ(state.Card(5).Location, kHuman);

  s.Wait(0.6);
  EXPECT_NE(state.Card(5).Location, kHuman) << "the lowest real card, not the service card";
  EXPECT_EQ(state.Card(48).Location, kHuman);
  EXPECT_EQ(HeldBy(state, kHuman), 9);
}

TEST(TurnTimerTest, AHumanWithoutRealCardsIsPlayedForWithAServiceCardThenABombCard) {
  Scenario s;
  GameState& state = s.State();
  state.Room.CardsInPlay = 50;
  ClearCardTable(s.G());
  for (int card : {49, 48, 7})
    state.MoveCard(card, kHuman);
  EXPECT_EQ(ChooseCard(state, kHuman), 7);
  state.MoveCard(7, kOnFloor);
  EXPECT_EQ(ChooseCard(state, kHuman), 48);
  state.MoveCard(48, CapturedBy(kHuman));
  EXPECT_EQ(ChooseCard(state, kHuman), 49);
  state.MoveCard(49, CapturedBy(kHuman));
  state.BombCards[kHuman][3] = BombCard::kAvailable;
  EXPECT_EQ(ChooseCard(state, kHuman), -1);
  state.BombCards[kHuman][3] = BombCard::kUsed;
  EXPECT_EQ(ChooseCard(state, kHuman), 0);
}

TEST(HumanClickTest, OnlyTheFirstLeftClickOnOwnCardInOwnTurnPlays) {
  Scenario s;
  s.Start(testing::QuietDeck());
  const GameState& state = s.State();

  Click(s, 1);  // the computer's card
  Click(s, 0, MouseButton::kRight);
  s.window.OpenCommonDialog();
  Click(s, 0);
  s.window.CloseDialog(DialogKind::kCommon);
  EXPECT_EQ(HeldBy(state, kHuman), 10);
  EXPECT_EQ(state.Card(1).Location, kComputer);
  EXPECT_TRUE(HumansTurnWaits(s));
  EXPECT_THAT(s.SoundNames(), Not(Contains("CLICK")));

  // A second card clicked while the first is still on its way is ignored.
  bool clickedAgain = false;
  s.rec.loop.Post(
      [&] {
        Click(s, 4);
        clickedAgain = true;
      },
      0.05);
  Click(s, 0);
  ASSERT_TRUE(clickedAgain);
  EXPECT_NE(state.Card(0).Location, kHuman);
  EXPECT_EQ(state.Card(4).Location, kHuman);
  EXPECT_EQ(state.Room.TurnPlayer, kComputer);

  Click(s, 4);  // the computer's turn
  EXPECT_EQ(state.Card(4).Location, kHuman);
  ASSERT_TRUE(s.RunUntil([&] { return HumansTurnWaits(s); }, 5));
  Click(s, 4);
  EXPECT_NE(state.Card(4).Location, kHuman);
}

// ---- The floor choice

// The human (선) plays the June junk onto the June animal and ribbon on the floor.
struct JuneChoice {
  Scenario s;
  GameState& state = s.State();
  JuneChoice() {
    s.Start(Deck({20, 21, 2, 6, 10, 14, 18, 26}, {22, 0, 4, 8, 12, 16, 24, 28, 32, 36},
                 {1, 5, 9, 13, 17, 25, 29, 33, 37, 41}, {44}));
    Click(s, 22);
    s.Wait(0.25);
  }
};

TEST(SelectDialogTest, WhereTheButtonComesUpDecides) {
  JuneChoice t;
  SelectDialog& dialog = t.s.window.Select();
  ASSERT_TRUE(dialog.IsOpen());
  EXPECT_EQ(t.state.Room.DialogOpen, 1);
  EXPECT_EQ(dialog.Choice().First, 20);
  EXPECT_EQ(dialog.Choice().Second, 21);

  dialog.MouseDown(MouseButton::kLeft, 40, 30);  // on the first card
  dialog.MouseUp(MouseButton::kLeft, 80, 30);    // between the cards: nothing yet
  dialog.MouseUp(MouseButton::kLeft, 69, 71);    // just outside the first card
  EXPECT_TRUE(dialog.IsOpen());
  dialog.MouseUp(MouseButton::kLeft, 93, 16);  // the second card's corner
  EXPECT_FALSE(dialog.IsOpen());
  EXPECT_EQ(t.state.Room.DialogOpen, 0);
  EXPECT_EQ(t.state.Card(21).Location, CapturedBy(kHuman));
  EXPECT_EQ(t.state.Card(22).Location, CapturedBy(kHuman));
  EXPECT_EQ(t.state.Card(20).Location, kOnFloor);
}

TEST(SelectDialogTest, TheFirstCardByEdgeOrByTimeOut) {
  JuneChoice edge;
  edge.s.window.Select().MouseUp(MouseButton::kLeft, 68, 71);
  EXPECT_EQ(edge.state.Card(20).Location, CapturedBy(kHuman));
  EXPECT_EQ(edge.state.Card(21).Location, kOnFloor);

  JuneChoice late;
  late.s.Wait(9.5);
  EXPECT_TRUE(late.s.window.Select().IsOpen());
  late.s.Wait(0.6);
  EXPECT_FALSE(late.s.window.Select().IsOpen());
  EXPECT_EQ(late.state.Card(20).Location, CapturedBy(kHuman));
  EXPECT_EQ(late.state.Card(21).Location, kOnFloor);
}

}  // namespace
}  // namespace hw
