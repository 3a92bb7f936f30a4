// Thousands of shuffled hands played through with the human idle: every hand ends,
// nothing is lost on the way, and the money of a hand changes hands without leaking; and
// a board nobody sees plays every hand as a seen one does.

#include <gtest/gtest.h>

#include <algorithm>

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

// On a board nobody sees, the ticks that would only blink the turn indicator and count
// down come together: the same hand, the same sounds and lines at the same moments, in a
// fraction of the ticks.
TEST(RandomPlayTest, ABoardNobodySeesPlaysTheHandAsASeenOne) {
  GameRandom random(7);
  for (int round = 0; round < 60; ++round) {
    const std::string deck = Shuffle(round % 6, random);
    struct Played {
      std::vector<std::string> sounds, lines;
      std::vector<testing::ScoreSaveCall> saves;
      HandRecord record;
      std::string money;
      platform::Micros end = 0;
      int longestTick = 0;  // the turn timer's longest interval, in milliseconds
      int countdowns = 0;
    };
    const auto play = [&](bool seen) {
      Scenario s;
      s.rec.board.seen = seen;
      s.Start(deck, round % 9, round % 2 == 0);
      Played played;
      EXPECT_TRUE(s.RunUntil([&] {
        played.longestTick = std::max(played.longestTick, s.window.TurnTimer().Interval());
        return s.HandOver();
      })) << "deck "
          << deck;
      for (const auto& sound : s.rec.sound.played)
        played.sounds.push_back(sound.name + "@" + std::to_string(sound.channel) + " at " +
                                std::to_string(sound.at));
      played.lines = s.LogTexts();
      played.saves = s.saves;
      played.record = s.State().Record;
      played.money = s.State().Player(kHuman).Money;
      played.end = s.rec.loop.NowMicros();
      played.countdowns = s.dialogs.countdowns;
      return played;
    };
    const Played seen = play(true);
    const Played unseen = play(false);
    EXPECT_EQ(unseen.sounds, seen.sounds) << "deck " << deck;
    EXPECT_EQ(unseen.lines, seen.lines) << "deck " << deck;
    EXPECT_EQ(unseen.saves, seen.saves) << "deck " << deck;
    EXPECT_EQ(unseen.record, seen.record) << "deck " << deck;
    EXPECT_EQ(unseen.money, seen.money) << "deck " << deck;
    EXPECT_EQ(unseen.end, seen.end) << "deck " << deck;
    // The idle human's turn waits out twelve ticks of a second on a seen board, one of
    // twelve seconds on the other; nobody sees a dialog's countdown squares drawn.
    EXPECT_EQ(seen.longestTick, 1000) << "deck " << deck;
    EXPECT_EQ(unseen.longestTick, 12000) << "deck " << deck;
    EXPECT_EQ(unseen.countdowns, 0) << "deck " << deck;
  }
}

}  // namespace
}  // namespace hw
