#include "rules/missions_ranks.h"

#include <gtest/gtest.h>

#include <set>

#include "rules/card_table.h"
#include "rules/room_title.h"

namespace hw {
namespace {

struct Tables {
  GameState state;
  Tables() {
    InitCardTable(state);
    BuildMissionTable(state);
    BuildRankTable(state);
  }
};

TEST(MissionTableTest, NineMissionsFromTheSourceText) {
  Tables t;
  struct Expected {
    const char* name;
    std::vector<int> cards;
    int multiple;
  };
  const Expected expected[] = {
      {"1광과 8광잡기", {0, 28}, 2},        {"고도리 잡기", {4, 12, 29}, 3},
      {"청단을 성공하라", {21, 33, 37}, 2}, {"홍단을 성공하라", {1, 5, 9}, 2},
      {"초단을 성공하라", {13, 17, 25}, 2}, {"쌍피군단을 잡아랏", {32, 41, 47}, 3},
      {"풍껍데기를 사수하라", {38, 39}, 2}, {"7열 4열 사수하기", {24, 12}, 2},
      {"똥광 획득하기", {40}, 2},
  };
  for (int i = 0; i < kMissions; ++i) {
    const MissionRecord& mission = t.state.Missions[i];
    EXPECT_EQ(mission.Name, expected[i].name);
    EXPECT_EQ(mission.Multiple, expected[i].multiple) << i;
    std::vector<int> cards;
    for (int card : mission.MissionCards) {
      if (card != kNoCard) cards.push_back(card);
    }
    EXPECT_EQ(cards, expected[i].cards) << i;
  }
  EXPECT_EQ(t.state.Missions[9].Name, "");
  EXPECT_EQ(t.state.Missions[9].MissionCards[0], kNoCard);
}

TEST(MissionTest, RandomMissionDrawsEachOfTheNine) {
  GameRandom random(5);
  std::vector<int> counts(10, 0);
  for (int i = 0; i < 9000; ++i)
    ++counts.at(RandomMission(random));
  for (int m = 0; m < 9; ++m)
    EXPECT_NEAR(counts[m], 1000, 150) << m;
  EXPECT_EQ(counts[9], 0);
}

TEST(MissionTest, SetMissionKeepsTheFirstOfTheHand) {
  Tables t;
  SetMission(t.state, 4);
  SetMission(t.state, 7);
  EXPECT_EQ(t.state.Room.MissionIndex, 4);
  t.state.Room.MissionIndex = -1;
  SetMission(t.state, 9);
  EXPECT_EQ(t.state.Room.MissionIndex, 0);
}

TEST(MissionTest, AchievedOnlyWithEveryCardCaptured) {
  Tables t;
  t.state.Room.MissionIndex = 5;  // the September animal and both double junk
  t.state.MoveCard(41, CapturedBy(kHuman));
  t.state.MoveCard(47, CapturedBy(kHuman));
  EXPECT_EQ(MissionAchieved(t.state, kHuman).Achieved, 0);
  EXPECT_EQ(MissionAchieved(t.state, kHuman).Multiple, 0);

  t.state.MoveCard(32, CapturedBy(kHuman));
  const MissionResult asAnimal = MissionAchieved(t.state, kHuman);
  EXPECT_EQ(asAnimal.Achieved, 1);
  EXPECT_EQ(asAnimal.Multiple, 3);
  t.state.Card(32).Kind = kJunk;  // moved to the junk: still the same card
  EXPECT_EQ(MissionAchieved(t.state, kHuman).Achieved, 1);
  EXPECT_EQ(MissionAchieved(t.state, kComputer).Achieved, 0);

  t.state.MoveCard(47, CapturedBy(kComputer));  // stolen back
  EXPECT_EQ(MissionAchieved(t.state, kHuman).Achieved, 0);

  t.state.Room.MissionIndex = -1;
  EXPECT_EQ(MissionAchieved(t.state, kHuman).Achieved, 0);
}

TEST(RankTest, RankBoundaries) {
  Tables t;
  EXPECT_EQ(t.state.Ranks[7].MaxMoney, "-1");
  EXPECT_EQ(t.state.Ranks[8].Title, "");
  struct Case {
    const char* money;
    const char* rank;
  };
  for (const Case c :
       {Case{"-500", "알바"}, Case{"0", "알바"}, Case{"30000", "알바"}, Case{"30001", "사원"},
        Case{"500000", "사원"}, Case{"500001", "주임"}, Case{"3000001", "대리"},
        Case{"8000001", "과장"}, Case{"30000001", "부장"}, Case{"500000000", "부장"},
        Case{"500000001", "사장"}, Case{"1000000000", "사장"}, Case{"1000000001", "회장"},
        Case{"abc", "알바"}}) {
    EXPECT_EQ(RankOfMoney(t.state, c.money), c.rank) << c.money;
  }
  EXPECT_EQ(RankOfMoney(t.state, std::string(300, '9')), "회장");
}

TEST(RoomTitleTest, StakeAndServiceCards) {
  RoomRecord room;
  room.StakeText = "300";
  room.ServiceCards = 2;
  EXPECT_EQ(RoomTitle(room), "Quenrith 게임룸...점당 <300>원방  보너스피(2)장");
}

}  // namespace
}  // namespace hw
