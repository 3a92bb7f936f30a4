// The options dialog between hands and during a hand: what apply changes and stores,
// what cancel leaves alone, and the turn timer that waits while the dialog is open.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "mainwindow/options_dialog.h"
#include "mainwindow/settings.h"
#include "platform/fake/memory_settings_store.h"
#include "tests/support/deck_builder.h"
#include "tests/support/scenario.h"

namespace hw {
namespace {

using ::testing::Contains;
using ::testing::HasSubstr;

bool HumansTurnWaits(testing::Scenario& s) {
  return s.State().Room.TurnPlayer == kHuman && s.State().Room.HumanTurnMark == -1;
}

class OptionsTest : public ::testing::Test {
 protected:
  OptionsTest() { s.State().Room.ServiceCards = 2; }

  std::vector<std::string> StoredNames() const {
    std::vector<std::string> names;
    for (const auto& write : settings.writes)
      names.push_back(write.name);
    return names;
  }

  testing::Scenario s;
  platform::MemorySettingsStore settings;
  OptionsDialog options{s.G(), s.window, settings};
};

TEST_F(OptionsTest, BetweenHandsApplyStoresSoundStakeAndServiceCardsAndRedrawsTheTitle) {
  s.State().Room.StakeText = "300";
  options.Open();
  EXPECT_TRUE(options.CombosEnabled());
  EXPECT_TRUE(options.SoundOn());
  EXPECT_EQ(options.StakeChoice(), 1);
  EXPECT_EQ(options.ServiceChoice(), 2);
  EXPECT_EQ(options.Speed(), 80);

  options.SetSoundOn(false);
  options.SetSpeed(400);  // the slider stops at 300
  options.SetStakeChoice(0);
  options.SetServiceChoice(0);
  s.rec.board.calls.clear();
  options.PressButton(0);

  EXPECT_FALSE(options.IsOpen());
  const RoomRecord& room = s.State().Room;
  EXPECT_EQ(room.SoundOn, 'F');
  EXPECT_EQ(room.CardSpeed, 300);
  EXPECT_EQ(room.StakeText, "100");
  EXPECT_EQ(room.ServiceCards, 0);  // this room keeps none; the next start reads 3
  EXPECT_EQ(SoundSetting(settings, false, ""), "F");
  EXPECT_EQ(StakeSetting(settings, false, 0), 100);
  EXPECT_EQ(ServiceCardSetting(settings, false, 0), 3);
  EXPECT_THAT(StoredNames(), ::testing::Not(Contains(HasSubstr("Speed"))));
  EXPECT_THAT(s.rec.board.calls, Contains(HasSubstr("room-title")));
}

TEST_F(OptionsTest, CancelChangesNothing) {
  options.Open();
  options.SetSoundOn(false);
  options.SetSpeed(10);
  options.SetStakeChoice(1);
  options.PressButton(1);
  EXPECT_FALSE(options.IsOpen());
  EXPECT_EQ(s.State().Room.SoundOn, 'T');
  EXPECT_EQ(s.State().Room.CardSpeed, 80);
  EXPECT_EQ(s.State().Room.StakeText, "100");
  EXPECT_TRUE(settings.writes.empty());
}

TEST_F(OptionsTest, DuringAHandOnlySoundAndSpeedChangeAndTheTurnTimerWaits) {
  s.Start(testing::QuietDeck(), 0);
  ASSERT_TRUE(s.RunUntil([&] { return HumansTurnWaits(s); }));
  const int played = s.State().Player(kHuman).PlayedCount;

  options.Open();
  EXPECT_FALSE(options.CombosEnabled());
  s.Wait(60);  // far longer than a turn: nobody plays for the human meanwhile
  EXPECT_EQ(s.State().Player(kHuman).PlayedCount, played);

  options.SetSoundOn(false);
  options.SetSpeed(150);
  options.SetStakeChoice(1);
  options.SetServiceChoice(5);
  options.PressButton(0);
  const RoomRecord& room = s.State().Room;
  EXPECT_EQ(room.SoundOn, 'F');
  EXPECT_EQ(room.CardSpeed, 150);
  EXPECT_EQ(room.StakeText, "100");
  EXPECT_EQ(room.ServiceCards, 0);
  EXPECT_EQ(StoredNames().size(), 1u);  // the sound only

  // The timer goes on where it stood: the idle human is played for in time.
  ASSERT_TRUE(s.RunUntil([&] { return s.State().Player(kHuman).PlayedCount > played; }, 20));
}

TEST_F(OptionsTest, CancelRestartsATimerItStoppedAndLeavesAStoppedOneStopped) {
  s.Start(testing::QuietDeck(), 0);
  ASSERT_TRUE(s.RunUntil([&] { return HumansTurnWaits(s); }));
  const int played = s.State().Player(kHuman).PlayedCount;
  options.Open();
  s.Wait(30);
  options.PressButton(1);
  ASSERT_TRUE(s.RunUntil([&] { return s.State().Player(kHuman).PlayedCount > played; }, 20));
  ASSERT_TRUE(s.PlayToEnd());

  // Between hands the timer is off, and it stays off after the dialog.
  options.Open();
  options.PressButton(1);
  EXPECT_FALSE(s.window.PauseTurnTimer());
}

}  // namespace
}  // namespace hw
