// Settling a hand: the winner's points with every multiplier in order, the loser's
// penalties, the mission, the all-in cap, the log and result lines, the sounds and each
// player's score save. Every amount below is worked out by hand from the rules.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hand/after_turn.h"
#include "hand/capture.h"
#include "hand/hand_setup.h"
#include "hand/settlement.h"
#include "tests/support/scenario.h"

namespace hw {
namespace {

using ::testing::ElementsAre;
using testing::Scenario;

constexpr int kNovemberBrightMission = 8;  // 똥광 획득하기: card 40

// "slot code amount mission" for each score save.
std::vector<std::string> Saves(const Scenario& s) {
  std::vector<std::string> lines;
  for (const auto& save : s.saves) {
    lines.push_back(std::to_string(save.slot) + " " + save.code + " " + save.amount + " " +
                    save.mission);
  }
  return lines;
}

// "name channel [voice folder]" for each sound played.
std::vector<std::string> Sounds(const Scenario& s) {
  std::vector<std::string> lines;
  for (const auto& sound : s.rec.sound.played) {
    lines.push_back(sound.name + " " + std::to_string(sound.channel) +
                    (sound.voiceFolder.empty() ? "" : " " + sound.voiceFolder));
  }
  return lines;
}

// "money running-gain wins/losses/draws missions" of a player.
std::string Record(const PlayerRecord& p) {
  return p.Money + " " + p.RunningGain + " " + p.Wins + "/" + p.Losses + "/" + p.Draws + " " +
         p.MissionCount;
}

// A hand about to be settled: both players set up, nothing dealt, stake 100, and a
// mission (the November bright) that nobody holds unless a test gives it.
struct Table {
  Scenario s;
  GameState& state = s.State();

  explicit Table(int mission = kNovemberBrightMission) {
    SetUpBothPlayers(s.G());
    for (PlayerRecord& player : state.Players)
      player.RunningGain = "0";
    state.Room.CardsInPlay = kMonthCards;
    ClearCardTable(s.G());
    state.Room.HandRunning = true;
    state.Room.MissionIndex = mission;
  }
  Table& Take(int player, const std::vector<int>& cards) {
    for (int card : cards)
      CapturePile(s.G(), player, card, false);
    CalculateScore(s.G(), player);
    return *this;
  }
  PlayerRecord& P(int player) { return state.Player(player); }
  // Forget what the set-up logged and played.
  void Quiet() {
    s.rec.log.lines.clear();
    s.rec.sound.played.clear();
  }
  Table& Stop(int winner) {
    Quiet();
    SettleByStop(s.G(), winner);
    return *this;
  }
  const std::string& Amount() const { return s.saves.at(0).amount; }
};

// The human's 8 points: three brights 3, seven animals 3, six ribbons of no complete
// colour 2, no junk. The computer holds junk but no bright.
void DealWorkedExample(Table& t) {
  t.Take(kHuman, {0, 8, 28, 4, 16, 20, 24, 32, 36, 45, 1, 5, 13, 17, 21, 33});
  t.Take(kComputer, {2, 3});
  t.P(kHuman).GoCount = 2;
  t.P(kHuman).ScoreAtLastGo = 7;
  t.P(kHuman).ShakeCount = 1;
}

TEST(SettleByStopTest, WorkedExample) {
  Table t;
  DealWorkedExample(t);
  ASSERT_EQ(t.P(kHuman).Score, 8);
  t.Stop(kHuman);

  // (8 + 2 Go) = 10, shaken ×2, seven animals ×2, gwang-bak ×2: 80 points.
  EXPECT_THAT(t.s.LogTexts(),
              ElementsAre("=====================", "<player>님의 승리! ", "8000원!  난점수(80점)",
                          "미션실패~~", "====================="));
  const 클래스_변수& r = t.state.Result;
  EXPECT_TRUE(r.HasWinner);
  EXPECT_EQ(r.WinnerLine, "player님 승리~");
  EXPECT_EQ(r.AmountLine, "8000원");
  EXPECT_EQ(r.CalculationLine, "80 x 100원");
  EXPECT_EQ(r.MultiplierLine, "고(2회) 흔듬(1회) (멍따) ");
  EXPECT_EQ(r.LoserLine, "컴퓨터 = 8000-원");
  EXPECT_TRUE(t.s.window.Result().IsOpen());
  EXPECT_TRUE(t.s.window.Result().ShowsDetails());
  EXPECT_THAT(Saves(t.s), ElementsAre("0 W 8000 0", "1 L 8000 0"));
}

// 7 points (three brights 3, red poem ribbons among four ribbons 3, five animals 1); the
// computer holds a bright and no junk score is involved, so no penalty applies.
TEST(SettleByStopTest, OneAndTwoGoAddAPointThreeGoAndMoreDouble) {
  struct Case {
    int go;
    const char* amount;
    const char* multipliers;
  };
  for (const Case c :
       {Case{0, "700", ""}, Case{1, "800", "고(1회) "}, Case{2, "900", "고(2회) "},
        Case{3, "2000", "고(3회) "}, Case{4, "4400", "고(4회) "}, Case{5, "9600", "고(5회) "}}) {
    SCOPED_TRACE(c.go);
    Table t;
    t.Take(kHuman, {0, 8, 28, 1, 5, 9, 13, 16, 20, 24, 36, 45}).Take(kComputer, {40});
    ASSERT_EQ(t.P(kHuman).Score, 7);
    t.P(kHuman).GoCount = c.go;
    t.Stop(kHuman);
    EXPECT_EQ(t.Amount(), c.amount);
    EXPECT_EQ(t.state.Result.MultiplierLine, c.multipliers);
  }
}

std::vector<int> Join(std::vector<int> a, const std::vector<int>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// Gwang-bak doubles when the winner's brights scored and the loser holds no bright;
// pi-bak when the winner's junk scored and the loser's junk is worth 1 to 6. Neither
// applies against a loser who captured nothing; both together multiply by four.
TEST(SettleByStopTest, GwangBakAndPiBak) {
  const std::vector<int> ribbons8 = {1, 5, 9, 13, 17, 25};  // red poem and grass: 2 + 3 + 3
  const std::vector<int> junk10 = {2, 3, 6, 7, 10, 11, 14, 15, 18, 19};  // 1 point
  const std::vector<int> junk9 = {2, 3, 6, 7, 10, 11, 14, 15, 18};
  const std::vector<int> loserJunk6 = {40, 41, 22, 23, 26, 27};  // with a bright
  struct Case {
    const char* why;
    std::vector<int> winner, loser;
    const char* amount;
  };
  for (const Case& c : {
           Case{"two brights score nothing", Join(ribbons8, {0, 8}), {2}, "800"},
           Case{"three with the rain bright score 2", Join(ribbons8, {0, 8, 44}), {2}, "2000"},
           Case{"three brights score 3", Join(ribbons8, {0, 8, 28}), {2}, "2200"},
           Case{"loser's junk worth 6", Join(ribbons8, junk10), loserJunk6, "1800"},
           Case{"worth 7", Join(ribbons8, junk10), Join(loserJunk6, {30}), "900"},
           Case{"loser without junk", Join(ribbons8, junk10), {40}, "900"},
           Case{"winner's junk scored nothing", Join(ribbons8, junk9), loserJunk6, "800"},
           Case{"loser captured nothing", Join({0, 8, 28}, junk10), {}, "400"},
           Case{"loser holds an animal", Join({0, 8, 28}, junk10), {16}, "800"},
           Case{"both penalties", Join({0, 8, 28}, junk10), {22}, "1600"},
       }) {
    SCOPED_TRACE(c.why);
    Table t;
    t.Take(kHuman, c.winner).Take(kComputer, c.loser).Stop(kHuman);
    EXPECT_EQ(t.Amount(), c.amount);
  }
}

TEST(SettleByStopTest, SevenAnimalsDoubleAsMeongTta) {
  Table six;
  six.Take(kHuman, {4, 16, 20, 24, 36, 45}).Stop(kHuman);
  EXPECT_EQ(six.Amount(), "200");
  EXPECT_EQ(six.state.Result.MultiplierLine, "");

  Table seven;
  seven.Take(kHuman, {4, 16, 20, 24, 36, 45, 32}).Stop(kHuman);
  EXPECT_EQ(seven.Amount(), "600");
  EXPECT_EQ(seven.state.Result.MultiplierLine, "(멍따) ");
}

// The winner holds ten plain junk (1 point) and the mission's cards; the loser nothing.
TEST(SettleByStopTest, EachMissionMultipliesWhenTheWinnerHoldsAllItsCards) {
  struct Case {
    int mission;
    std::vector<int> cards;
    int multiple;
    const char* amount;
  };
  for (const Case& c : {
           Case{0, {0, 28}, 2, "200"},        // two brights add nothing
           Case{1, {4, 12, 29}, 3, "1800"},   // godori: 1 + 5
           Case{2, {21, 33, 37}, 2, "800"},   // blue ribbons: 1 + 3
           Case{3, {1, 5, 9}, 2, "800"},      // red poem ribbons
           Case{4, {13, 17, 25}, 2, "800"},   // grass ribbons
           Case{5, {32, 41, 47}, 3, "1500"},  // junk 10 + 2 + 2: 5 points
           Case{6, {38, 39}, 2, "600"},       // junk 12: 3 points
           Case{7, {24, 12}, 2, "200"},       // two animals
           Case{8, {40}, 2, "200"},           // one bright
       }) {
    SCOPED_TRACE(c.mission);
    Table t(c.mission);
    t.Take(kHuman, {2, 3, 6, 7, 10, 11, 14, 15, 18, 19}).Take(kHuman, c.cards).Stop(kHuman);
    EXPECT_EQ(t.Amount(), c.amount);
    EXPECT_EQ(t.s.LogTexts().at(3), "미션성공으로 x" + std::to_string(c.multiple) + " 적용됨");
    EXPECT_EQ(t.s.saves.at(0).mission, "1");
    EXPECT_EQ(t.P(kHuman).MissionCount, "1");
    EXPECT_THAT(t.s.rec.board.Calls("nameplate"), ElementsAre("nameplate 1 player"));
  }

  // The September animal counts for the mission as double junk too: junk 16, 7 points.
  Table junk(5);
  junk.state.Card(kSeptemberAnimal).Kind = kJunk;
  junk.Take(kHuman, {2, 3, 6, 7, 10, 11, 14, 15, 18, 19, 32, 41, 47}).Stop(kHuman);
  EXPECT_EQ(junk.Amount(), "2100");
}

TEST(SettleByStopTest, HalfAMissionIsAFailedMission) {
  Table t(0);  // the January and August brights; the winner holds only January's
  t.Take(kHuman, {0, 2, 3, 6, 7, 10, 11, 14, 15, 18, 19}).Stop(kHuman);
  EXPECT_EQ(t.Amount(), "100");
  EXPECT_EQ(t.s.LogTexts().at(3), "미션실패~~");
  EXPECT_EQ(t.s.saves.at(0).mission, "0");
  EXPECT_EQ(t.P(kHuman).MissionCount, "0");
  EXPECT_THAT(t.s.rec.board.Calls("nameplate"), ElementsAre("nameplate 0 "));
}

TEST(SettleByStopTest, AllInPaysOnlyWhatTheLoserHas) {
  Table t;
  DealWorkedExample(t);
  t.P(kComputer).Money = "3000";
  t.Stop(kHuman);

  const auto log = t.s.LogTexts();
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back(), "<컴퓨터>님의 올인으로 남은점수만 지급됩니다");
  EXPECT_EQ(log.at(2), "3000원!  난점수(80점)");
  EXPECT_EQ(t.state.Result.AmountLine, "3000원");
  EXPECT_EQ(t.state.Result.CalculationLine, "80 x 100원");
  EXPECT_EQ(t.state.Result.LoserLine, "컴퓨터 = 3000-원");
  EXPECT_EQ(t.Amount(), "3000");
  EXPECT_EQ(t.P(kComputer).Money, "0");
  EXPECT_EQ(t.P(kHuman).Money, "1003000");
}

TEST(SettleByStopTest, AWonHandIsSavedForBothPlayers) {
  Table t(0);  // the human holds both brights of the mission: ×2
  t.Take(kHuman, {0, 8, 28}).Take(kComputer, {40});
  t.state.Room.SeonName = "컴퓨터";
  t.Stop(kHuman);

  EXPECT_THAT(Saves(t.s), ElementsAre("0 W 600 1", "1 L 600 1"));
  EXPECT_EQ(Record(t.P(kHuman)), "1000600 600 1/0/0 1");
  EXPECT_EQ(Record(t.P(kComputer)), "999400 -600 0/1/0 0") << "a lost hand counts no mission";
  EXPECT_EQ(t.state.PlayerInfo.Money, "1000600");
  EXPECT_EQ(t.state.PlayerInfo.Wins, "1");
  EXPECT_EQ(t.state.PlayerInfo.MissionCount, "1");
  EXPECT_EQ(t.state.Room.SeonName, "player") << "the winner plays first next";
  EXPECT_THAT(Sounds(t.s), ElementsAre("GOOD 0 M", "WINNER 3"));
}

TEST(SettleByStopTest, ALostHandIsSavedForBothPlayers) {
  // The computer wins 4 points with the mission's card: ×2; the human holds a bright.
  Table t;
  t.Take(kComputer, {0, 8, 28, 40}).Take(kHuman, {44}).Stop(kComputer);

  EXPECT_THAT(Saves(t.s), ElementsAre("0 L 800 1", "1 W 800 1"));
  EXPECT_EQ(Record(t.P(kHuman)), "999200 -800 0/1/0 0") << "only the winner counts a mission";
  EXPECT_EQ(Record(t.P(kComputer)), "1000800 800 1/0/0 1");
  EXPECT_EQ(t.state.PlayerInfo.Money, "999200");
  EXPECT_EQ(t.state.PlayerInfo.Losses, "1");
  EXPECT_EQ(t.state.Room.SeonName, "컴퓨터");
  EXPECT_EQ(t.state.Result.WinnerLine, "컴퓨터님 승리~");
  EXPECT_EQ(t.state.Result.LoserLine, "player = 800-원");
  EXPECT_THAT(Sounds(t.s), ElementsAre("NOTGOOD 0 F", "LOSE 3")) << "in the winner's voice";
}

TEST(SettleDrawTest, NobodyPaysAndBothCountADraw) {
  Table t(0);
  t.Take(kHuman, {0, 28});  // the mission's cards do not count in a draw
  t.state.Room.SeonName = "컴퓨터";
  t.Quiet();
  SettleDraw(t.s.G());

  EXPECT_THAT(t.s.LogTexts(), ElementsAre("=====================", "게임결과 <무승부>",
                                          "미션실패~~", "====================="));
  EXPECT_THAT(Saves(t.s), ElementsAre("0 D 0 0", "1 D 0 0"));
  EXPECT_EQ(Record(t.P(kHuman)), "1000000 0 0/0/1 0");
  EXPECT_EQ(Record(t.P(kComputer)), "1000000 0 0/0/1 0");
  EXPECT_EQ(t.state.PlayerInfo.Draws, "1");
  EXPECT_EQ(t.state.PlayerInfo.Money, "1000000");
  EXPECT_EQ(t.state.Room.SeonName, "컴퓨터") << "a draw keeps 선";
  EXPECT_FALSE(t.state.Result.HasWinner);
  EXPECT_TRUE(t.s.window.Result().IsOpen());
  EXPECT_FALSE(t.s.window.Result().ShowsDetails());
  EXPECT_THAT(Sounds(t.s), ElementsAre("HMM 0", "NOWIN 3"));
}

TEST(SettleSpecialWinTest, ThreeStakesTimesTheMissionCappedByTheLosersMoney) {
  Table chongtong;  // the human holds the November bright: ×2
  chongtong.Take(kHuman, {40});
  chongtong.Quiet();
  SettleSpecialWin(chongtong.s.G(), kHuman, SpecialWin::kChongtong);
  EXPECT_THAT(chongtong.s.LogTexts(),
              ElementsAre("=====================", "<player>님 총통승! ", "600원 획득!",
                          "미션성공으로 x2 적용됨", "====================="));
  EXPECT_EQ(chongtong.state.Result.CalculationLine, "총통으로 승리");
  EXPECT_EQ(chongtong.state.Result.MultiplierLine, "");
  EXPECT_EQ(chongtong.Amount(), "600");
  EXPECT_EQ(chongtong.s.saves.at(0).mission, "1");

  Table ppeok;  // three ppeok for the computer against a human with 200 won left
  ppeok.P(kHuman).Money = "200";
  ppeok.Quiet();
  SettleSpecialWin(ppeok.s.G(), kComputer, SpecialWin::kThreePpeok);
  EXPECT_EQ(ppeok.s.LogTexts().at(1), "<컴퓨터>님 3뻑승! ");
  EXPECT_EQ(ppeok.s.LogTexts().at(2), "200원 획득!");
  EXPECT_EQ(ppeok.state.Result.AmountLine, "200원");
  EXPECT_EQ(ppeok.state.Result.CalculationLine, "3뻑으로 승리");
  EXPECT_EQ(ppeok.state.Result.LoserLine, "player = 200-원");
  EXPECT_EQ(ppeok.P(kHuman).Money, "0");
}

TEST(StopNowAmountTest, WhatStoppingWouldBringBeforeMissionAndAllIn) {
  Table t(0);  // the worked example's human holds both mission brights
  DealWorkedExample(t);
  t.P(kComputer).Money = "3000";
  EXPECT_EQ(StopNowAmount(t.state), "8000");

  // Three Go: (8 + 3) ×2 for the Go, then shake, seven animals and gwang-bak.
  t.P(kHuman).GoCount = 3;
  EXPECT_EQ(StopNowAmount(t.state), "17600");

  t.state.Room.StakeText = "500";
  EXPECT_EQ(StopNowAmount(t.state), "88000");
}

}  // namespace
}  // namespace hw
