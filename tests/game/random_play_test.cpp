// Thousands of shuffled hands played through with the human idle: every hand ends,
// nothing is lost on the way, and the money of a hand changes hands without leaking.

#include <gtest/gtest.h>

#include "hand/hand_setup.h"
#include "rules/money.h"
#include "tests/support/invariants.h"
#include "tests/support/scenario.h"

namespace hw {
namespace {

using testing::Scenario;

TEST(RandomPlayTest, EveryHandEndsAndKeepsEveryCard) {
  GameRandom random(42);
  int hands = 0, draws = 0, special = 0;
  for (int round = 0; round < 600; ++round) {
    const int service = round % 6;
    Scenario s;
    s.rec.board.recording = false;
    const std::string deck = Shuffle(service, random);
    const std::string before = s.State().PlayerInfo.Money;
    s.Start(deck, round % 9, round % 2 == 0);

    std::string broken;
    // Between turns means: a turn has begun and waits for its move.
    const bool settled = s.RunUntil([&] {
      if (broken.empty() && s.window.TurnTimer().Enabled()) {
        broken = testing::BrokenInvariant(s.State(), true);
      } else if (broken.empty()) {
        broken = testing::BrokenInvariant(s.State(), false);
      }
      return s.saves.size() >= 2 || !broken.empty();
    });
    ASSERT_EQ(broken, "") << "deck " << deck;
    ASSERT_TRUE(settled) << "the hand never ended; deck " << deck;

    const GameState& state = s.State();
    const std::string total = BigAdd(state.Player(kHuman).Money, state.Player(kComputer).Money);
    EXPECT_EQ(total, BigAdd(before, "1000000")) << "deck " << deck;
    EXPECT_EQ(state.PlayerInfo.Money, state.Player(kHuman).Money);
    draws += s.saves[0].code == "D";
    special += state.Result.CalculationLine.find("승리") != std::string::npos;

    ASSERT_TRUE(s.PlayToEnd()) << "the result dialog never closed; deck " << deck;
    EXPECT_FALSE(state.Room.HandRunning);
    EXPECT_EQ(state.Room.DialogOpen, 0);
    ++hands;
  }
  EXPECT_EQ(hands, 600);
  EXPECT_GT(draws, 0);
  EXPECT_LT(draws, hands);
  EXPECT_GT(special, 0);
}

}  // namespace
}  // namespace hw
