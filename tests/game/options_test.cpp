// The options dialog between hands and during a hand: what apply changes and stores,
// what cancel leaves alone, the computer player the level seats, and the turn timer that
// waits while the dialog is open.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>

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

  std::optional<std::string> Stored(std::string_view name) {
    for (const auto& write : settings.writes) {
      if (write.name == name) return settings.Read(kSettingsApp, kGameSection, name);
    }
    return std::nullopt;
  }

  testing::Scenario s;
  platform::MemorySettingsStore settings;
  ComputerOpponents opponents;
  OptionsDialog options{s.G(), s.window, settings, opponents};
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

TEST_F(OptionsTest, TheLevelIsFilledFromTheRoomAndApplySeatsAndStoresIt) {
  ASSERT_EQ(s.G().computer, &WrittenPlayer::Default());
  options.Open();
  EXPECT_EQ(options.OpponentChoice(), 0);
  options.SetOpponentChoice(1);
  options.PressButton(0);
  EXPECT_EQ(s.State().Room.Opponent, OpponentLevel::kSearch);
  EXPECT_EQ(Stored("OpponentLevel"), "1");
  EXPECT_EQ(s.G().computer, &opponents.Strong());
  EXPECT_EQ(OpponentSetting(settings, false, OpponentLevel::kWritten), OpponentLevel::kSearch);

  options.Open();
  EXPECT_EQ(options.OpponentChoice(), 1) << "filled from the room";
  options.SetOpponentChoice(0);
  options.PressButton(0);
  EXPECT_EQ(s.State().Room.Opponent, OpponentLevel::kWritten);
  EXPECT_EQ(Stored("OpponentLevel"), "0");
  EXPECT_EQ(s.G().computer, &WrittenPlayer::Default());
}

TEST_F(OptionsTest, TheSearchPlayerSeatedByApplyPlaysTheNextHand) {
  options.Open();
  options.SetOpponentChoice(1);
  options.PressButton(0);
  s.Start(testing::QuietDeck(), 0);
  EXPECT_TRUE(s.RunUntil([&] { return opponents.Strong().Figures().Decisions > 0; }, 60))
      << "the hand asks the search player";
  EXPECT_TRUE(s.State().Room.HandRunning);
  EXPECT_EQ(s.G().computer, &opponents.Strong());
}

TEST_F(OptionsTest, CancelLeavesTheLevelAndTheComputerPlayerAlone) {
  s.State().Room.Opponent = OpponentLevel::kSearch;
  opponents.Seat(s.G());
  options.Open();
  EXPECT_EQ(options.OpponentChoice(), 1);
  options.SetOpponentChoice(0);
  options.PressButton(1);
  EXPECT_EQ(s.State().Room.Opponent, OpponentLevel::kSearch);
  EXPECT_EQ(s.G().computer, &opponents.Strong());
  EXPECT_TRUE(settings.writes.empty());
}

TEST_F(OptionsTest, DuringAHandTheLevelAndTheComputerPlayerStay) {
  s.Start(testing::QuietDeck(), 0);
  ASSERT_TRUE(s.RunUntil([&] { return HumansTurnWaits(s); }));
  options.Open();
  EXPECT_FALSE(options.CombosEnabled());
  EXPECT_EQ(options.OpponentChoice(), 0);
  options.SetOpponentChoice(1);
  options.PressButton(0);
  EXPECT_EQ(s.State().Room.Opponent, OpponentLevel::kWritten);
  EXPECT_EQ(s.G().computer, &WrittenPlayer::Default());
  EXPECT_EQ(Stored("OpponentLevel"), std::nullopt);
}

}  // namespace
}  // namespace hw
