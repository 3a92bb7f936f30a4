#pragma once
// The game's five settings in the per-user settings store.

#include <string>
#include <string_view>

#include "platform/settings_store.h"
#include "platform/shared_names.h"
#include "rules/game_state.h"

namespace hw {

// Each procedure either stores `value` (save = true) after putting it right, and
// returns what it stored, or (save = false) returns the stored setting after putting
// that right. When the store fails, the setting's default is written and returned.

// Won per point: 100, 300, 500 or 1000; anything else is 100. ("JumDang")
int StakeSetting(platform::SettingsStore& store, bool save, int value);

// Service cards per hand. Saved: 0..5, anything else as 3. Loaded: 1..5, anything else
// (0 included) as 3, and the loaded value is written back. ("SvcNum")
int ServiceCardSetting(platform::SettingsStore& store, bool save, int value);

// "T" sound on, "F" off; anything else is "T". ("Snd")
std::string SoundSetting(platform::SettingsStore& store, bool save, std::string_view value);

// Card animation speed. Saved: a negative value as 80. Loaded: a whole number 0..300,
// anything else (missing, not a number, out of range) as 80. ("PSpeed")
int CardSpeedSetting(platform::SettingsStore& store, bool save, int value);

// The computer's level of play (상대 수준), stored as its number: "0" the written player
// (보통), "1" the search player (고수). Saved: a level outside the two as 0. Loaded:
// anything but "0" or "1" (missing, not a number, out of range) as 0. ("OpponentLevel")
OpponentLevel OpponentSetting(platform::SettingsStore& store, bool save, OpponentLevel value);

}  // namespace hw
