#include "mainwindow/settings.h"

#include <gtest/gtest.h>

#include "platform/fake/memory_settings_store.h"

namespace hw {
namespace {

using platform::MemorySettingsStore;

std::string Stored(MemorySettingsStore& store, std::string_view name) {
  return store.Read(kSettingsApp, kGameSection, name).value_or("<failed>");
}

// Loads a setting whose stored text is `text`.
template <typename Load>
auto LoadFrom(std::string_view name, std::string_view text, Load load) {
  MemorySettingsStore store;
  store.Set(kSettingsApp, kGameSection, name, text);
  return load(store);
}

TEST(StakeSettingTest, LoadAndSave) {
  auto load = [](MemorySettingsStore& s) { return StakeSetting(s, false, 0); };
  EXPECT_EQ(LoadFrom("JumDang", "1000", load), 1000);
  EXPECT_EQ(LoadFrom("JumDang", "300", load), 300);
  EXPECT_EQ(LoadFrom("JumDang", "200", load), 100);
  EXPECT_EQ(LoadFrom("JumDang", "", load), 100);
  EXPECT_EQ(LoadFrom("JumDang", " 500", load), 100);

  MemorySettingsStore store;
  EXPECT_EQ(StakeSetting(store, true, 200), 100);
  EXPECT_EQ(Stored(store, "JumDang"), "100");
  EXPECT_EQ(StakeSetting(store, true, 500), 500);
  EXPECT_EQ(Stored(store, "jumdang"), "500");
}

TEST(ServiceCardSettingTest, ZeroIsSavedButLoadsAsThreeAndIsWrittenBack) {
  auto load = [](MemorySettingsStore& s) { return ServiceCardSetting(s, false, 0); };
  EXPECT_EQ(LoadFrom("SvcNum", "5", load), 5);
  EXPECT_EQ(LoadFrom("SvcNum", "1", load), 1);
  EXPECT_EQ(LoadFrom("SvcNum", "6", load), 3);
  EXPECT_EQ(LoadFrom("SvcNum", "05", load), 3);

  MemorySettingsStore store;
  EXPECT_EQ(ServiceCardSetting(store, true, 0), 0);
  EXPECT_EQ(Stored(store, "SvcNum"), "0");
  EXPECT_EQ(ServiceCardSetting(store, false, 0), 3);
  EXPECT_EQ(Stored(store, "SvcNum"), "3") << "the corrected value is written back";

  EXPECT_EQ(ServiceCardSetting(store, true, 6), 3);
  EXPECT_EQ(ServiceCardSetting(store, true, -1), 3);
  EXPECT_EQ(Stored(store, "SvcNum"), "3");

  store.writes.clear();
  store.Set(kSettingsApp, kGameSection, "SvcNum", "4");
  EXPECT_EQ(ServiceCardSetting(store, false, 0), 4);
  ASSERT_EQ(store.writes.size(), 1u);
  EXPECT_EQ(store.writes[0].value, "4");
}

TEST(SoundSettingTest, OnlyFSwitchesTheSoundOff) {
  auto load = [](MemorySettingsStore& s) { return SoundSetting(s, false, ""); };
  EXPECT_EQ(LoadFrom("Snd", "F", load), "F");
  EXPECT_EQ(LoadFrom("Snd", "T", load), "T");
  EXPECT_EQ(LoadFrom("Snd", "f", load), "T");
  EXPECT_EQ(LoadFrom("Snd", "", load), "T");

  MemorySettingsStore store;
  EXPECT_EQ(SoundSetting(store, true, "F"), "F");
  EXPECT_EQ(Stored(store, "Snd"), "F");
  EXPECT_EQ(SoundSetting(store, true, "off"), "T");
  EXPECT_EQ(Stored(store, "Snd"), "T");
}

TEST(CardSpeedSettingTest, WholeNumbersFromZeroTo300) {
  auto load = [](MemorySettingsStore& s) { return CardSpeedSetting(s, false, 0); };
  EXPECT_EQ(LoadFrom("PSpeed", "0", load), 0);
  EXPECT_EQ(LoadFrom("PSpeed", "300", load), 300);
  EXPECT_EQ(LoadFrom("PSpeed", "120", load), 120);
  for (const char* bad : {"301", "-1", "abc", "", "12abc", "99999999999"}) {
    EXPECT_EQ(LoadFrom("PSpeed", bad, load), 80) << bad;
  }

  MemorySettingsStore store;
  EXPECT_EQ(CardSpeedSetting(store, true, -5), 80);
  EXPECT_EQ(Stored(store, "PSpeed"), "80");
  EXPECT_EQ(CardSpeedSetting(store, true, 400), 400) << "saved as given, loaded as 80";
  EXPECT_EQ(CardSpeedSetting(store, false, 0), 80);
}

TEST(OpponentSettingTest, OnlyOneLoadsAsTheSearchPlayer) {
  auto load = [](MemorySettingsStore& s) { return OpponentSetting(s, false, OpponentLevel{}); };
  EXPECT_EQ(LoadFrom("OpponentLevel", "1", load), OpponentLevel::kSearch);
  EXPECT_EQ(LoadFrom("OpponentLevel", "0", load), OpponentLevel::kWritten);
  for (const char* bad : {"", "2", "-1", "01", " 1", "1 ", "고수", "T"}) {
    EXPECT_EQ(LoadFrom("OpponentLevel", bad, load), OpponentLevel::kWritten) << bad;
  }
  MemorySettingsStore nothingStored;
  EXPECT_EQ(load(nothingStored), OpponentLevel::kWritten);

  MemorySettingsStore store;
  EXPECT_EQ(OpponentSetting(store, true, OpponentLevel::kSearch), OpponentLevel::kSearch);
  EXPECT_EQ(Stored(store, "OpponentLevel"), "1");
  EXPECT_EQ(load(store), OpponentLevel::kSearch);
  EXPECT_EQ(OpponentSetting(store, true, OpponentLevel::kWritten), OpponentLevel::kWritten);
  EXPECT_EQ(Stored(store, "OpponentLevel"), "0");
  EXPECT_EQ(OpponentSetting(store, true, static_cast<OpponentLevel>(7)), OpponentLevel::kWritten);
  EXPECT_EQ(Stored(store, "OpponentLevel"), "0");
}

TEST(SettingsFailureTest, ABrokenStoreGivesTheDefaultAndTriesToWriteIt) {
  MemorySettingsStore store;
  store.Set(kSettingsApp, kGameSection, "JumDang", "500");
  store.Set(kSettingsApp, kGameSection, "SvcNum", "5");
  store.Set(kSettingsApp, kGameSection, "Snd", "F");
  store.Set(kSettingsApp, kGameSection, "PSpeed", "10");
  store.Set(kSettingsApp, kGameSection, "OpponentLevel", "1");
  store.failReads = true;
  EXPECT_EQ(StakeSetting(store, false, 0), 100);
  EXPECT_EQ(ServiceCardSetting(store, false, 0), 3);
  EXPECT_EQ(SoundSetting(store, false, ""), "T");
  EXPECT_EQ(CardSpeedSetting(store, false, 0), 80);
  EXPECT_EQ(OpponentSetting(store, false, OpponentLevel::kSearch), OpponentLevel::kWritten);
  store.failReads = false;
  EXPECT_EQ(Stored(store, "JumDang"), "100");
  EXPECT_EQ(Stored(store, "PSpeed"), "80");
  EXPECT_EQ(Stored(store, "OpponentLevel"), "0");

  store.failSaves = true;
  EXPECT_EQ(StakeSetting(store, true, 1000), 100);
  EXPECT_EQ(SoundSetting(store, true, "F"), "T");
  EXPECT_EQ(CardSpeedSetting(store, true, 20), 80);
  EXPECT_EQ(ServiceCardSetting(store, true, 5), 3);
  EXPECT_EQ(OpponentSetting(store, true, OpponentLevel::kSearch), OpponentLevel::kWritten);
  store.Set(kSettingsApp, kGameSection, "SvcNum", "5");
  EXPECT_EQ(ServiceCardSetting(store, false, 0), 3) << "the write-back failed";
}

}  // namespace
}  // namespace hw
