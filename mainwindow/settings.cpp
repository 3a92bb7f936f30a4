#include "mainwindow/settings.h"

#include <optional>

#include "rules/numbers.h"

namespace hw {
namespace {

// One setting: where it lives and its default.
struct Setting {
  std::string_view name;
  std::string_view fallback;

  std::optional<std::string> Load(platform::SettingsStore& store) const {
    return store.Read(kSettingsApp, kGameSection, name);
  }
  bool Store(platform::SettingsStore& store, std::string_view value) const {
    return store.Save(kSettingsApp, kGameSection, name, value);
  }
  // The store failed: write the default (which may fail as well) and go on with it.
  std::string FallBack(platform::SettingsStore& store) const {
    Store(store, fallback);
    return std::string(fallback);
  }
};

constexpr Setting kStake{"JumDang", "100"};
constexpr Setting kServiceCards{"SvcNum", "3"};
constexpr Setting kSound{"Snd", "T"};
constexpr Setting kCardSpeed{"PSpeed", "80"};
constexpr Setting kOpponent{"OpponentLevel", "0"};

OpponentLevel LevelOf(std::string_view text) {
  return text == "1" ? OpponentLevel::kSearch : OpponentLevel::kWritten;
}

bool IsStake(int value) {
  return value == 100 || value == 300 || value == 500 || value == 1000;
}

}  // namespace

int StakeSetting(platform::SettingsStore& store, bool save, int value) {
  if (save) {
    const std::string stored = std::to_string(IsStake(value) ? value : 100);
    return ToInt(kStake.Store(store, stored) ? stored : kStake.FallBack(store));
  }
  const auto text = kStake.Load(store);
  if (!text) return ToInt(kStake.FallBack(store));
  const bool valid = *text == "100" || *text == "300" || *text == "500" || *text == "1000";
  return valid ? ToInt(*text) : 100;
}

int ServiceCardSetting(platform::SettingsStore& store, bool save, int value) {
  if (save) {
    const std::string stored = std::to_string(value < 0 || value > 5 ? 3 : value);
    return ToInt(kServiceCards.Store(store, stored) ? stored : kServiceCards.FallBack(store));
  }
  const auto text = kServiceCards.Load(store);
  if (!text) return ToInt(kServiceCards.FallBack(store));
  const bool valid = text->size() == 1 && (*text)[0] >= '1' && (*text)[0] <= '5';
  const std::string count = valid ? *text : "3";
  if (!kServiceCards.Store(store, count)) return ToInt(kServiceCards.FallBack(store));
  return ToInt(count);
}

std::string SoundSetting(platform::SettingsStore& store, bool save, std::string_view value) {
  if (save) {
    const std::string stored = value == "F" || value == "T" ? std::string(value) : "T";
    return kSound.Store(store, stored) ? stored : kSound.FallBack(store);
  }
  const auto text = kSound.Load(store);
  if (!text) return kSound.FallBack(store);
  return *text == "F" || *text == "T" ? *text : "T";
}

int CardSpeedSetting(platform::SettingsStore& store, bool save, int value) {
  if (save) {
    const std::string stored = std::to_string(value < 0 ? 80 : value);
    return ToInt(kCardSpeed.Store(store, stored) ? stored : kCardSpeed.FallBack(store));
  }
  const auto text = kCardSpeed.Load(store);
  if (!text) return ToInt(kCardSpeed.FallBack(store));
  const auto speed = WholeNumber(*text);
  return speed && *speed >= 0 && *speed <= 300 ? *speed : 80;
}

OpponentLevel OpponentSetting(platform::SettingsStore& store, bool save, OpponentLevel value) {
  if (save) {
    const std::string stored = value == OpponentLevel::kSearch ? "1" : "0";
    return LevelOf(kOpponent.Store(store, stored) ? stored : kOpponent.FallBack(store));
  }
  const auto text = kOpponent.Load(store);
  if (!text) return LevelOf(kOpponent.FallBack(store));
  return LevelOf(*text);
}

}  // namespace hw
