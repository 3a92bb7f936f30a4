#include "mainwindow/options_dialog.h"

#include <algorithm>

#include "mainwindow/settings.h"
#include "rules/room_title.h"

namespace hw {

OptionsDialog::OptionsDialog(Game& game, MainWindow& window, platform::SettingsStore& settings,
                             ComputerOpponents& opponents)
    : game_(game), window_(window), settings_(settings), opponents_(opponents) {}

void OptionsDialog::SetSpeed(int speed) {
  speed_ = std::clamp(speed, 0, 300);
}

void OptionsDialog::Open() {
  const RoomRecord& room = game_.state.Room;
  soundOn_ = room.SoundOn == 'T';
  speed_ = std::clamp(room.CardSpeed, 0, 300);
  stake_ = room.StakeText == "300" ? 1 : 0;
  service_ = room.ServiceCards >= 0 && room.ServiceCards <= 5 ? room.ServiceCards : 0;
  opponent_ = room.Opponent == OpponentLevel::kSearch ? 1 : 0;
  combosEnabled_ = !room.HandRunning;
  pausedTimer_ = window_.PauseTurnTimer();
  open_ = true;
}

void OptionsDialog::PressButton(int index) {
  if (!open_) return;
  if (index == 0) {
    RoomRecord& room = game_.state.Room;
    room.SoundOn = SoundSetting(settings_, true, soundOn_ ? "T" : "F")[0];
    room.CardSpeed = speed_;
    if (!room.HandRunning) {
      const int stake = stake_ == 1 ? 300 : 100;
      StakeSetting(settings_, true, stake);
      room.StakeText = std::to_string(stake);
      ServiceCardSetting(settings_, true, service_);
      room.ServiceCards = service_;
      const OpponentLevel level = opponent_ == 1 ? OpponentLevel::kSearch : OpponentLevel::kWritten;
      OpponentSetting(settings_, true, level);
      room.Opponent = level;
      opponents_.Seat(game_);
      game_.board.DrawRoomTitle(RoomTitle(room));
    }
  }
  Close();
}

void OptionsDialog::Close() {
  open_ = false;
  if (pausedTimer_) window_.ResumeTurnTimer();
  pausedTimer_ = false;
}

void OptionsDialog::ShowModal() {
  Open();
  while (open_ && !window_.Unloaded())
    game_.loop.WaitSeconds(0.02);
  if (open_) Close();
}

}  // namespace hw
