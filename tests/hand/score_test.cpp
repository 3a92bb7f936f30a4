#include "hand/after_turn.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <initializer_list>

#include "hand/capture.h"
#include "hand/hand_setup.h"
#include "rules/card_table.h"
#include "tests/support/recording_effects.h"

namespace hw {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct ScoreTable {
  testing::RecordedGame rec;
  GameState& state = rec.game.state;
  ScoreTable() {
    SetUpBoardLayout(state);
    state.PlayerInfo.Name = "tester";
    state.PlayerInfo.VoiceFolder = "M";
    SetUpBothPlayers(rec.game);
    state.Room.CardsInPlay = 53;
    ClearCardTable(rec.game);
  }
  // The human captures these cards, then the score is computed.
  const PlayerRecord& Take(std::initializer_list<int> cards) {
    for (int card : cards)
      CapturePile(rec.game, kHuman, card, false);
    rec.sound.played.clear();
    rec.board.calls.clear();
    CalculateScore(rec.game, kHuman);
    return state.Player(kHuman);
  }
};

TEST(ScoreTest, Brights) {
  EXPECT_EQ(ScoreTable().Take({0, 8}).Score, 0);
  EXPECT_EQ(ScoreTable().Take({0, 8, 28}).Score, 3);
  EXPECT_EQ(ScoreTable().Take({0, 8, 44}).Score, 2) << "the rain bright costs a point";
  EXPECT_EQ(ScoreTable().Take({0, 8, 28, 44}).Score, 4);
  const PlayerRecord five = ScoreTable().Take({0, 8, 28, 40, 44});
  EXPECT_EQ(five.Score, 15);
  EXPECT_EQ(five.BrightScore, 15);
  EXPECT_EQ(five.BrightCount, 5);
}

TEST(ScoreTest, AnimalsAndGodori) {
  EXPECT_EQ(ScoreTable().Take({16, 20, 24, 36}).Score, 0);
  EXPECT_EQ(ScoreTable().Take({16, 20, 24, 36, 45}).Score, 1);
  EXPECT_EQ(ScoreTable().Take({4, 12, 29}).Score, 5) << "godori with three animals";
  EXPECT_EQ(ScoreTable().Take({4, 12, 29, 16, 20, 24}).Score, 2 + 5);
  EXPECT_EQ(ScoreTable().Take({4, 12, 16}).Score, 0) << "two birds are no godori";

  const PlayerRecord seven = ScoreTable().Take({16, 20, 24, 36, 45, 32, 4});
  EXPECT_EQ(seven.SevenAnimals, 1);
  EXPECT_EQ(seven.Score, 3);
  EXPECT_EQ(ScoreTable().Take({16, 20, 24, 36, 45, 32}).SevenAnimals, 0);
}

TEST(ScoreTest, RibbonsAndTheirSets) {
  EXPECT_EQ(ScoreTable().Take({1, 5, 9, 13}).Score, 3) << "four ribbons, three red poems";
  EXPECT_EQ(ScoreTable().Take({21, 33, 37, 13, 1}).Score, 1 + 3);
  EXPECT_EQ(ScoreTable().Take({1, 5, 9, 21, 33, 37, 13, 17, 25}).Score, 5 + 9);
  EXPECT_EQ(ScoreTable().Take({1, 5, 21, 33, 46}).Score, 1) << "no complete set";
}

TEST(ScoreTest, JunkValueAndItsLabel) {
  ScoreTable nine;
  const PlayerRecord& p9 = nine.Take({2, 3, 6, 7, 10, 11, 14, 15, 18});
  EXPECT_EQ(p9.JunkValue, 9);
  EXPECT_EQ(p9.JunkScore, 0);
  EXPECT_EQ(p9.Score, 0);
  EXPECT_THAT(nine.rec.board.Calls("junk-label"), ElementsAre("junk-label 1 9"));

  // Eight junk and one double junk make ten.
  const PlayerRecord p10 = ScoreTable().Take({2, 3, 6, 7, 10, 11, 14, 15, 41});
  EXPECT_EQ(p10.JunkCount, 9);
  EXPECT_EQ(p10.JunkValue, 10);
  EXPECT_EQ(p10.Score, 1);

  // Service cards and the September animal moved to the junk count two each.
  ScoreTable moved;
  moved.state.Card(kSeptemberAnimal).Kind = kJunk;
  const PlayerRecord& p = moved.Take({48, 49, 32, 47, 2});
  EXPECT_EQ(p.JunkValue, 9);

  ScoreTable none;
  none.Take({0});
  EXPECT_THAT(none.rec.board.Calls("junk-label"), ElementsAre("junk-label 1 0"));
}

TEST(ScoreTest, CapturedCountAndRedraws) {
  ScoreTable t;
  const PlayerRecord& p = t.Take({0, 4, 1, 2, 3});
  EXPECT_EQ(p.CapturedCount, 5);
  EXPECT_THAT(t.rec.board.calls, ElementsAre("junk-label 1 2", "score 0", "mission-marks"));
}

TEST(ScoreTest, EachSetIsAnnouncedOncePerHandInThePlayersVoice) {
  ScoreTable t;
  t.Take({4, 12, 29, 1, 5, 9});
  ASSERT_EQ(t.rec.sound.played.size(), 2u);
  EXPECT_EQ(t.rec.sound.played[0].name, "GODORI");
  EXPECT_EQ(t.rec.sound.played[0].channel, 0);
  EXPECT_EQ(t.rec.sound.played[0].voiceFolder, "M");
  EXPECT_TRUE(t.rec.sound.played[0].wait);
  EXPECT_DOUBLE_EQ(t.rec.sound.played[0].delay, 0.3);
  EXPECT_EQ(t.rec.sound.played[1].name, "HONGDAN");
  EXPECT_EQ(t.rec.sound.played[1].channel, 4);
  const int score = t.state.Player(kHuman).Score;

  t.Take({});  // nothing changed
  EXPECT_THAT(t.rec.sound.played, IsEmpty());
  EXPECT_EQ(t.state.Player(kHuman).Score, score);

  t.Take({21, 33, 37, 13, 17, 25});
  EXPECT_THAT(t.rec.sound.Names(), ElementsAre("CHUNGDAN", "CHODAN"));
}

}  // namespace
}  // namespace hw
