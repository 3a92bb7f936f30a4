// Playing a hand again from the member's decisions: a hand played by chance (or with the
// window minimised, or with the member idle) and then replayed from its deal and its
// record ends with the same money and record; a record that is not a legal play of its
// deal is refused, and says why.

#include <gtest/gtest.h>

#include <random>

#include "replay/table.h"
#include "rules/deal.h"

namespace hw::replay {
namespace {

// A hand played at the table by a member who decides by chance; what the portal would
// know of it: the member before, the deal, the record, and the member after.
struct Played {
  Member before;
  DealtHand hand;
  HandRecord record;
  Member after;
  Save save;
};

Played PlayByChance(std::uint64_t seed, bool minimised = false) {
  const SeededDeal deal = DealFrom(GameRandom(seed), static_cast<int>(seed % 6));
  Played played;
  // Now and then a member who can just pay for the hand (and cannot pay what he loses).
  const bool poor = seed % 7 == 0;
  played.before = {.Name = "player", .Money = poor ? "2000" : "800000"};
  played.hand = {.Deck = deal.Deck,
                 .Mission = deal.Mission,
                 .MemberFirst = seed % 2 == 0,
                 .Stake = poor || seed % 3 == 0 ? "100" : "500",
                 .ServiceCards = static_cast<int>(seed % 6)};
  Table table(played.before);
  table.window().SetMinimised(minimised);
  EXPECT_TRUE(table.Start(played.hand));
  std::mt19937_64 chance(seed);
  EXPECT_TRUE(table.RunByChance(chance));
  const Settlement settled = SettlementOf(table);
  played.record = settled.Decisions;
  played.after = settled.After;
  played.save = settled.MemberSave;
  return played;
}

void ExpectSameEnd(const Played& played, const Settlement& replayed) {
  EXPECT_EQ(replayed.After.Money, played.after.Money);
  EXPECT_EQ(replayed.After.Wins, played.after.Wins);
  EXPECT_EQ(replayed.After.Losses, played.after.Losses);
  EXPECT_EQ(replayed.After.Draws, played.after.Draws);
  EXPECT_EQ(replayed.After.Missions, played.after.Missions);
  EXPECT_EQ(replayed.MemberSave.Outcome, played.save.Outcome);
  EXPECT_EQ(replayed.MemberSave.Amount, played.save.Amount);
  EXPECT_EQ(replayed.Decisions, played.record);
}

// The fingerprint reads a text as 8-byte words the way memory holds them, the last word
// padded with zero bytes: the simulator's signatures depend on exactly that.
TEST(FingerprintTest, TextsOfEveryLengthMixAsZeroPaddedWords) {
  std::string bytes = {'\x01', '\x80', '\xff', '\x7f', '\xe3', '\x85', '\x8c', '\0'};
  bytes += "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  for (std::size_t length = 0; length <= bytes.size(); ++length) {
    for (std::size_t start = 0; start + length <= bytes.size(); start += 3) {
      const std::string_view text(bytes.data() + start, length);
      std::uint64_t expected = 0xcbf29ce484222325ULL;
      const auto mix = [&expected](std::uint64_t word) {
        expected = (expected ^ word) * 0x100000001b3ULL;
      };
      for (std::size_t i = 0; i < length; i += 8) {
        std::uint64_t word = 0;
        for (std::size_t k = 0; k < 8 && i + k < length; ++k)
          word |= static_cast<std::uint64_t>(static_cast<unsigned char>(text[i + k])) << (8 * k);
        mix(word);
      }
      mix(length);
      Fingerprint fingerprint;
      fingerprint.Add(text);
      EXPECT_EQ(fingerprint.Value(), expected) << "length " << length << " from " << start;
    }
  }
  Fingerprint ab, a;
  ab.Add("ab");
  ab.Add("c");
  a.Add("a");
  a.Add("bc");
  EXPECT_NE(ab.Value(), a.Value());
}

TEST(ReplayTest, HandsPlayedByChanceEndTheSameWhenPlayedAgainFromTheirRecord) {
  int questions = 0;
  for (std::uint64_t seed = 1; seed <= 300; ++seed) {
    const Played played = PlayByChance(seed);
    for (const Decision& d : played.record)
      questions += d.What != Decision::Kind::kPlay && d.What != Decision::Kind::kBomb;
    std::string why;
    // Through the text the game posts, as the portal reads it.
    const auto record = ParseRecord(RecordText(played.record));
    ASSERT_TRUE(record) << RecordText(played.record);
    const auto replayed = Replay(played.before, played.hand, *record, why);
    ASSERT_TRUE(replayed) << "seed " << seed << ": " << why;
    ExpectSameEnd(played, *replayed);
  }
  EXPECT_GT(questions, 100) << "the hands asked questions, not only plays";
}

TEST(ReplayTest, AnswersGivenWhileMinimisedAreRecordedAndReplayed) {
  for (std::uint64_t seed = 1; seed <= 40; ++seed) {
    const Played played = PlayByChance(seed, /*minimised=*/true);
    std::string why;
    const auto replayed = Replay(played.before, played.hand, played.record, why);
    ASSERT_TRUE(replayed) << "seed " << seed << ": " << why;
    ExpectSameEnd(played, *replayed);
  }
}

TEST(ReplayTest, AnIdleMembersHandEndsAsTheSimulatorsIdleHand) {
  const Member member{.Name = "player", .Money = "500000"};
  const DealtHand hand{.Deck = DealFrom(GameRandom(77), 3).Deck, .Mission = 2, .ServiceCards = 3};
  Table table(member);
  ASSERT_TRUE(table.Start(hand));
  ASSERT_TRUE(table.RunIdle());
  std::string why;
  const auto idle = PlayIdle(member, hand, why);
  ASSERT_TRUE(idle) << why;
  EXPECT_EQ(idle->After.Money, table.State().Player(kHuman).Money);
  EXPECT_EQ(idle->Decisions, table.State().Record);
  // The record of an idle hand (its time-outs' plays and default answers) replays too.
  const auto again = Replay(member, hand, idle->Decisions, why);
  ASSERT_TRUE(again) << why;
  EXPECT_EQ(again->After.Money, idle->After.Money);
}

TEST(ReplayTest, ARecordThatIsNotALegalPlayIsRefusedWithItsReason) {
  const Played played = PlayByChance(5);
  ASSERT_GE(played.record.size(), 3u);
  std::string why;

  HandRecord cut = played.record;
  cut.pop_back();
  EXPECT_FALSE(Replay(played.before, played.hand, cut, why));
  EXPECT_NE(why.find("ends after"), std::string::npos) << why;

  HandRecord longer = played.record;
  longer.push_back({Decision::Kind::kGoStop, 1});
  EXPECT_FALSE(Replay(played.before, played.hand, longer, why));
  EXPECT_NE(why.find("goes on after"), std::string::npos) << why;

  // A card the member does not hold, as his first play.
  HandRecord foreign = played.record;
  std::size_t firstPlay = 0;
  while (foreign[firstPlay].What != Decision::Kind::kPlay)
    ++firstPlay;
  int notHis = 0;
  while (notHis < kMonthCards) {
    bool his = false;
    for (const Decision& d : played.record)
      his |= d.What == Decision::Kind::kPlay && d.Value == notHis;
    if (!his) break;
    ++notHis;
  }
  foreign[firstPlay] = {Decision::Kind::kPlay, notHis};
  EXPECT_FALSE(Replay(played.before, played.hand, foreign, why));
  EXPECT_NE(why.find("decision " + std::to_string(firstPlay + 1)), std::string::npos) << why;

  // A question answered that was never asked: a Go where a card is to be played.
  HandRecord unasked = played.record;
  unasked.insert(unasked.begin() + static_cast<std::ptrdiff_t>(firstPlay),
                 {Decision::Kind::kGoStop, 1});
  EXPECT_FALSE(Replay(played.before, played.hand, unasked, why));
  EXPECT_NE(why.find("G1"), std::string::npos) << why;
}

TEST(ReplayTest, RecordTextsRoundTripAndMalformedOnesAreRefused) {
  const HandRecord record{{Decision::Kind::kPlay, 12},  {Decision::Kind::kChoice, 21},
                          {Decision::Kind::kShake, 1},  {Decision::Kind::kBomb, 0},
                          {Decision::Kind::kGoStop, 0}, {Decision::Kind::kSeptember, 2}};
  EXPECT_EQ(RecordText(record), "P12,C21,S1,B0,G0,K2");
  EXPECT_EQ(ParseRecord("P12,C21,S1,B0,G0,K2"), record);
  EXPECT_EQ(ParseRecord(""), HandRecord{});
  for (const char* bad : {"P", "X1", "P53", "B6", "S2", "K0", "G-1", "P+1", "P012", "P1,,P2", "P1,",
                          ",P1", "P 1", "P1 "}) {
    EXPECT_FALSE(ParseRecord(bad)) << bad;
  }
  std::string tooLong = "P1";
  for (std::size_t i = 1; i <= kMaxDecisions; ++i)
    tooLong += ",P1";
  EXPECT_FALSE(ParseRecord(tooLong));
}

}  // namespace
}  // namespace hw::replay
