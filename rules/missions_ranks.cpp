#include "rules/missions_ranks.h"

#include <charconv>
#include <vector>

#include "rules/money.h"

namespace hw {
namespace {

// name/cards each followed by ","/multiplier/*
constexpr std::string_view kMissionSource =
    "1광과 8광잡기/0,28,/2/*"
    "고도리 잡기/4,12,29,/3/*"
    "청단을 성공하라/21,33,37,/2/*"
    "홍단을 성공하라/1,5,9,/2/*"
    "초단을 성공하라/13,17,25,/2/*"
    "쌍피군단을 잡아랏/32,41,47,/3/*"
    "풍껍데기를 사수하라/38,39,/2/*"
    "7열 4열 사수하기/24,12,/2/*"
    "똥광 획득하기/40,/2/*";

// title/lowest/highest/$; the top rank has no highest amount ("이상": and above).
constexpr std::string_view kRankSource =
    "알바/0/30000/$"
    "사원/30001/500000/$"
    "주임/500001/3000000/$"
    "대리/3000001/8000000/$"
    "과장/8000001/30000000/$"
    "부장/30000001/500000000/$"
    "사장/500000001/1000000000/$"
    "회장/1000000001/이상/$";

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> pieces;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = text.find(separator, start);
    pieces.push_back(text.substr(start, end == std::string_view::npos ? end : end - start));
    if (end == std::string_view::npos) return pieces;
    start = end + 1;
  }
}

int Number(std::string_view text) {
  int value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

}  // namespace

void BuildMissionTable(GameState& state) {
  const auto entries = Split(kMissionSource, '*');  // ten pieces: the last one is empty
  state.Missions.fill(MissionRecord{});
  for (int index = 0; index < kMissions; ++index) {
    MissionRecord& mission = state.Missions[index];
    const auto fields = Split(entries.at(static_cast<std::size_t>(index)), '/');
    mission.Name = fields.at(0);
    mission.Multiple = Number(fields.at(2));
    const auto cards = Split(fields.at(1), ',');
    for (std::size_t i = 0; i + 1 < cards.size() && i < 5; ++i) {
      mission.MissionCards[i] = Number(cards[i]);
    }
  }
}

void BuildRankTable(GameState& state) {
  const auto entries = Split(kRankSource, '$');  // nine pieces: the last one is empty
  state.Ranks.fill(RankRecord{});
  for (int index = 0; index < kRanks; ++index) {
    const auto fields = Split(entries.at(static_cast<std::size_t>(index)), '/');
    RankRecord& rank = state.Ranks[index];
    rank.Title = fields.at(0);
    rank.MinMoney = fields.at(1);
    rank.MaxMoney = fields.at(2);
    if (index == kRanks - 1 && rank.MaxMoney == "이상") rank.MaxMoney = "-1";
  }
}

int RandomMission(GameRandom& random) {
  return random.Below(kMissions);
}

void SetMission(GameState& state, int index) {
  if (state.Room.MissionIndex != -1) return;
  state.Room.MissionIndex = index > kMissions - 1 ? 0 : index;
}

MissionResult MissionAchieved(const GameState& state, int player) {
  const int index = state.Room.MissionIndex;
  if (index < 0 || index >= kMissions) return {};
  int listed = 0;
  int held = 0;
  for (int i = 0; i < 5; ++i) {
    const int card = state.Missions[index].MissionCards[i];
    if (card == kNoCard) continue;
    ++listed;
    if (state.Card(card).Location == CapturedBy(player)) ++held;
  }
  if (listed == 0 || held != listed) return {};
  return {1, state.Missions[index].Multiple};
}

std::string RankOfMoney(const GameState& state, std::string_view money) {
  for (int index = 0; index < kRanks; ++index) {
    const RankRecord& rank = state.Ranks[index];
    if (index == kRanks - 1) {
      if (BigCompare(money, rank.MinMoney) >= 0) return rank.Title;
    } else if (BigCompare(money, rank.MaxMoney) <= 0) {
      return rank.Title;
    }
  }
  return "";
}

}  // namespace hw
