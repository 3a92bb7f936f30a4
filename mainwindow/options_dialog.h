#pragma once
// 옵션창: the options, without their drawing. Sound on or off and the card speed can be
// changed at any time; the stake, the number of service cards and the computer's level of
// play only between hands. Apply stores sound, stake, service cards and level through the
// settings, and seats the computer player of the level; the card speed is stored when the
// window closes. The turn timer waits while the dialog is open.

#include <array>
#include <string>

#include "hand/game.h"
#include "mainwindow/computer_opponents.h"
#include "mainwindow/main_window.h"
#include "platform/settings_store.h"

namespace hw {

class OptionsDialog {
 public:
  static constexpr const char* kCaption = " 게임옵션";
  static constexpr std::array<const char*, 2> kSoundOptions{"사운드 커기", "사운드 끄기"};
  static constexpr std::array<const char*, 2> kStakes{"점당 100원", "점당 300원"};
  static constexpr std::array<const char*, 6> kServiceCards{"서비스피 없음", "서비스피 1장",
                                                            "서비스피 2장",  "서비스피 3장",
                                                            "서비스피 4장",  "서비스피 5장"};
  // In the order of OpponentLevel's numbers.
  static constexpr std::array<const char*, 2> kOpponents{"보통", "고수"};

  OptionsDialog(Game& game, MainWindow& window, platform::SettingsStore& settings,
                ComputerOpponents& opponents);

  // Loads the controls from the room and pauses the turn timer if it runs.
  void Open();
  bool IsOpen() const { return open_; }
  // 적용 (0) applies and closes; any other button (취소) closes without a change.
  void PressButton(int index);
  // Opens the dialog and waits, letting events run, until it is closed.
  void ShowModal();

  // ---- The controls
  bool SoundOn() const { return soundOn_; }  // 옵션_사운드(0) selected
  void SetSoundOn(bool on) { soundOn_ = on; }
  int Speed() const { return speed_; }  // 슬라_패속도, 0..300
  void SetSpeed(int speed);
  int StakeChoice() const { return stake_; }  // position in 콤보_점당
  void SetStakeChoice(int choice) { stake_ = choice; }
  int ServiceChoice() const { return service_; }  // position in 콤보_서비스피
  void SetServiceChoice(int choice) { service_ = choice; }
  int OpponentChoice() const { return opponent_; }  // position in 콤보_상대수준
  void SetOpponentChoice(int choice) { opponent_ = choice; }
  // The stake, service-card and opponent boxes: enabled between hands only.
  bool CombosEnabled() const { return combosEnabled_; }

 private:
  void Close();

  Game& game_;
  MainWindow& window_;
  platform::SettingsStore& settings_;
  ComputerOpponents& opponents_;
  bool open_ = false;
  bool pausedTimer_ = false;
  bool soundOn_ = true;
  int speed_ = 80;
  int stake_ = 0;
  int service_ = 0;
  int opponent_ = 0;
  bool combosEnabled_ = false;
};

}  // namespace hw
