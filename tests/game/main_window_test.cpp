// The main window's decisions without a window: leaving the game (between hands at once,
// during a hand only after the player said so, the hand holding still while he makes up
// his mind), the speed keys, the settings stored on closing, which cards the human may
// take, and the waiting room that comes back after every hand.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "mainwindow/settings.h"
#include "platform/fake/memory_settings_store.h"
#include "tests/support/deck_builder.h"
#include "tests/support/scenario.h"

namespace hw {
namespace {

using platform::MessageAnswer;

TEST(ExitTest, BetweenHandsTheWindowClosesWithoutAQuestion) {
  testing::Scenario s;
  s.window.RequestExit();
  EXPECT_TRUE(s.window.Unloaded());
  EXPECT_TRUE(s.rec.desktop.shown.empty());
}

TEST(ExitTest, DuringAHandNoLeavesTheHandAsItWasAndTheClockStoodStill) {
  testing::Scenario s;
  s.Start(testing::QuietDeck());
  ASSERT_TRUE(s.RunUntil([&] { return s.State().Room.HumanTurnMark == -1; }));
  const int turns = s.State().Player(kHuman).PlayedCount;
  // The player thinks for half a minute, longer than his turn lasts, and says no.
  s.rec.desktop.answers = {MessageAnswer::kNo};
  s.rec.desktop.whileOpen = [&] { s.Wait(30); };
  s.window.RequestExit();
  ASSERT_EQ(s.rec.desktop.shown.size(), 1u);
  EXPECT_EQ(s.rec.desktop.shown[0].text,
            "게임을 종료하시겠습니까?\r\n게임이 현재 진행중에 있습니다");
  EXPECT_EQ(s.rec.desktop.shown[0].buttons, platform::MessageButtons::kYesNo);
  EXPECT_FALSE(s.window.Unloaded());
  EXPECT_EQ(s.State().Room.HumanTurnMark, -1) << "his turn did not run out meanwhile";
  EXPECT_EQ(s.State().Player(kHuman).PlayedCount, turns);

  // The turn goes on from where it stood: his twelve seconds then run out as usual.
  s.rec.desktop.whileOpen = nullptr;
  s.Wait(11);
  EXPECT_EQ(s.State().Room.HumanTurnMark, -1);
  s.Wait(1.5);
  EXPECT_EQ(s.State().Room.HumanTurnMark, 0) << "the time-out played for him";
}

TEST(ExitTest, DuringAHandYesClosesTheWindow) {
  testing::Scenario s;
  s.Start(testing::QuietDeck());
  s.rec.desktop.answers = {MessageAnswer::kYes};
  s.window.RequestExit();
  EXPECT_TRUE(s.window.Unloaded());
}

TEST(SpeedKeysTest, EachKeyIsOneStepAndTheSpeedShowsForHalfASecond) {
  testing::Scenario s;
  s.State().Room.CardSpeed = 1;
  s.rec.board.calls.clear();
  s.window.ChangeCardSpeed(-1);
  EXPECT_EQ(s.State().Room.CardSpeed, 0);
  s.window.ChangeCardSpeed(-1);
  EXPECT_EQ(s.State().Room.CardSpeed, 0) << "never below 0";
  EXPECT_EQ(s.rec.board.Calls("speed-label"),
            (std::vector<std::string>{"speed-label 1", "speed-label 0", "speed-label 1",
                                      "speed-label 0"}));

  // A key pressed while the speed shows refreshes it; the label keeps its half second.
  s.rec.board.calls.clear();
  s.rec.loop.Post([&] { s.window.ChangeCardSpeed(+1); }, 0.2);
  const double start = s.rec.loop.Now();
  s.window.ChangeCardSpeed(+1);
  EXPECT_EQ(s.State().Room.CardSpeed, 2);
  EXPECT_NEAR(s.rec.loop.Now() - start, 0.5, 1e-9);
  EXPECT_EQ(s.rec.board.Calls("speed-label"),
            (std::vector<std::string>{"speed-label 1", "speed-label 1", "speed-label 0"}));
}

TEST(MainWindowTest, ClosingStoresTheCardSpeedAndTheStake) {
  testing::Scenario s;
  platform::MemorySettingsStore settings;
  s.window.StoreSettingsIn(settings);
  s.State().Room.CardSpeed = 37;
  s.State().Room.StakeText = "300";
  s.window.RequestExit();
  EXPECT_EQ(CardSpeedSetting(settings, false, 0), 37);
  EXPECT_EQ(StakeSetting(settings, false, 0), 300);
}

TEST(MainWindowTest, TheHumanMayTakeOnlyHisCardsOnHisTurnWithNoDialogOpen) {
  testing::Scenario s;
  s.Start(testing::QuietDeck());
  ASSERT_TRUE(s.RunUntil([&] { return s.State().Room.HumanTurnMark == -1; }));
  EXPECT_TRUE(s.window.MayTake(0));  // 선's first card
  EXPECT_FALSE(s.window.MayTake(1)) << "the computer's";
  EXPECT_FALSE(s.window.MayTake(kNoCard));
  s.State().Room.DialogOpen = 1;
  EXPECT_FALSE(s.window.MayTake(0));
}

TEST(WaitingRoomTest, TheStartButtonComesBackWhenTheResultCloses) {
  testing::Scenario s;
  s.Start(testing::QuietDeck());
  ASSERT_TRUE(s.PlayToEnd());
  const std::vector<std::string>& calls = s.rec.board.calls;
  const auto closed = std::find(calls.begin(), calls.end(), "close-mission-box");
  ASSERT_NE(closed, calls.end());
  EXPECT_NE(std::find(closed, calls.end(), "waiting-room"), calls.end());
}

}  // namespace
}  // namespace hw
