// The search player: what it may see, whether its answers are allowed and best where the
// cards are known, and whether its hands play again alike.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

#include "replay/table.h"
#include "rules/deal.h"
#include "rules/lookups.h"
#include "rules/missions_ranks.h"
#include "search/computer_view.h"
#include "search/quick_table.h"
#include "search/search_player.h"
#include "tests/support/invariants.h"

namespace hw::search {
namespace {

// Answers as the written player does, and keeps a copy of the state at every question.
class Recorder final : public ComputerPlayer {
 public:
  struct Asked {
    GameState State;
    Question What;
  };
  int PlayCard(const GameState& s, int p) override {
    return Keep(s, {.What = Question::Kind::kCard, .Player = p});
  }
  bool Shake(const GameState& s, int p, int card) override {
    return Keep(s, {.What = Question::Kind::kShake, .Player = p, .Card = card}) == 1;
  }
  int TakeFloorCard(const GameState& s, int p, const FloorChoice& choice) override {
    return Keep(s, {.What = Question::Kind::kFloor, .Player = p, .Choice = choice});
  }
  bool Go(const GameState& s, int p) override {
    return Keep(s, {.What = Question::Kind::kGoStop, .Player = p}) == 1;
  }
  int SeptemberAnimal(const GameState& s, int p) override {
    return Keep(s, {.What = Question::Kind::kSeptember, .Player = p});
  }
  std::vector<Asked> asked;

 private:
  int Keep(const GameState& state, const Question& question) {
    asked.push_back({state, question});
    return AnswerOf(WrittenPlayer::Default(), state, question);
  }
};

std::string DeckFor(std::uint64_t seed, int serviceCards, int* mission) {
  GameRandom chance(seed);
  std::string deck = Shuffle(serviceCards, chance);
  *mission = RandomMission(chance);
  return deck;
}

// The computer's questions in `hands` hands of the written player against itself.
std::vector<Recorder::Asked> ComputerQuestions(int hands, int serviceCards, bool humanFirst) {
  QuickTable table;
  Recorder computer;
  for (int hand = 0; hand < hands; ++hand) {
    int mission = 0;
    const std::string deck = DeckFor(1000 + hand, serviceCards, &mission);
    table.Deal(deck, mission, humanFirst, "1000000");
    if (!table.Ended()) {
      EXPECT_TRUE(table.PlayToEnd(WrittenPlayer::Default(), computer));
    }
  }
  return std::move(computer.asked);
}

// The state with the computer's unseen cards (the human's unshown hand cards and the draw
// pile) trading places at random: each takes the place, picture and marks of another.
GameState PermuteUnseen(const GameState& state, std::mt19937_64& chance) {
  std::vector<int> unseen;
  for (int card = 0; card < state.Room.CardsInPlay; ++card) {
    const CardRecord& record = state.Card(card);
    if ((record.Location == kHuman && record.ShakeMark != kShakeShown) ||
        record.Location == kInDrawPile) {
      unseen.push_back(card);
    }
  }
  std::vector<int> image = unseen;
  std::shuffle(image.begin(), image.end(), chance);
  std::map<int, int> to;
  for (std::size_t i = 0; i < unseen.size(); ++i)
    to[unseen[i]] = image[i];
  GameState permuted = state;
  for (const auto& [from, into] : to) {
    const CardRecord& was = state.Card(from);
    CardRecord& now = permuted.Card(into);
    permuted.MoveCard(into, was.Location);
    now.ImageLeft = was.ImageLeft;
    now.ImageTop = was.ImageTop;
    now.ShakeMark = was.ShakeMark;
    now.StackLevel = was.StackLevel;
    now.FloorSlot = was.FloorSlot;
  }
  auto remap = [&to](int& card) {
    if (const auto found = to.find(card); found != to.end()) card = found->second;
  };
  for (int& card : permuted.SeatOf(kHuman).Hand)
    remap(card);
  for (int& card : permuted.DrawPile)
    remap(card);
  for (int& card : permuted.DealtOrder)
    remap(card);
  return permuted;
}

TEST(ComputerView, HoldsNoHiddenCardAndIsTheSameWhereverTheUnseenCardsLie) {
  const auto asked = ComputerQuestions(40, 3, true);
  ASSERT_GT(asked.size(), 300u);
  std::mt19937_64 chance(5);
  int changed = 0;
  for (const auto& [state, question] : asked) {
    const ComputerView view = SeenBy(state, kComputer);
    // Nothing in the view says where an unseen card is.
    EXPECT_TRUE(view.Known.DealtOrder.empty());
    EXPECT_TRUE(view.Known.Record.empty());
    for (const int card : view.Unseen) {
      EXPECT_EQ(view.Known.Card(card).Location, kInDrawPile);
      EXPECT_EQ(std::count(view.Known.DrawPile.begin(), view.Known.DrawPile.end(), card), 0);
      const auto& hand = view.Known.SeatOf(kHuman).Hand;
      EXPECT_EQ(std::count(hand.begin(), hand.end(), card), 0);
    }
    const GameState permuted = PermuteUnseen(state, chance);
    changed += !(permuted == state);
    EXPECT_EQ(SeenBy(permuted, kComputer), view);
    // Every sample of the unseen cards is a state the computer would see alike.
    GameRandom sampling(Digest(view));
    const GameState sample = Determinize(view, sampling);
    EXPECT_EQ(SeenBy(sample, kComputer), view);
    EXPECT_EQ(testing::BrokenInvariant(sample, false), "");
  }
  EXPECT_GT(changed, 250);  // the permutations did move cards
}

TEST(SearchPlayer, AnswersAlikeWhereverTheUnseenCardsLie) {
  const auto asked = ComputerQuestions(6, 3, false);
  SearchPlayer search({.Playouts = 24});
  std::mt19937_64 chance(9);
  for (const auto& [state, question] : asked) {
    const GameState permuted = PermuteUnseen(state, chance);
    EXPECT_EQ(AnswerOf(search, state, question), AnswerOf(search, permuted, question));
  }
}

// Where no card is hidden from the computer any more (its last turn, the human's hand
// empty and one card left to flip), every sample is the true hand: the search must give an
// answer worth as much as the best one, played out exactly. The choices left there are
// mostly between two floor cards.
TEST(SearchPlayer, FindsTheBestAnswerWhenEveryCardIsKnown) {
  const auto asked = ComputerQuestions(3000, 0, true);
  SearchPlayer search({.Playouts = 16});
  QuickTable table;
  int known = 0, choices = 0;
  for (const auto& [state, question] : asked) {
    const ComputerView view = SeenBy(state, kComputer);
    if (view.Unseen.size() > 1) continue;
    ++known;
    const CardList answers = LegalAnswers(state, question);
    if (answers.size() < 2) continue;
    ++choices;
    std::map<int, double> worth;
    for (const int answer : answers) {
      table.Resume(state, question, answer);
      ASSERT_TRUE(table.PlayToEnd(WrittenPlayer::Default(), WrittenPlayer::Default()));
      worth[answer] = MoneyWon(state, table.State(), kComputer);
    }
    const double best = std::max_element(worth.begin(), worth.end(), [](auto& a, auto& b) {
                          return a.second < b.second;
                        })->second;
    EXPECT_EQ(worth[AnswerOf(search, state, question)], best);
  }
  EXPECT_GT(known, 1000);
  EXPECT_GT(choices, 30);
}

// Thousands of hands with the search player in either seat: every answer it gives is one
// the rules allow (the table refuses any other), and every hand comes to an end.
TEST(SearchPlayer, GivesOnlyAllowedAnswersInEitherSeat) {
  QuickTable table;
  SearchPlayer search({.Playouts = 6});
  WrittenPlayer& written = WrittenPlayer::Default();
  const int hands = 2000;
  for (int hand = 0; hand < hands; ++hand) {
    int mission = 0;
    const std::string deck = DeckFor(hand, hand % 6, &mission);
    table.Deal(deck, mission, hand % 3 == 0, "1000000");
    const bool searchIsComputer = hand % 2 == 0;
    if (table.Ended()) continue;
    ASSERT_TRUE(searchIsComputer ? table.PlayToEnd(written, search)
                                 : table.PlayToEnd(search, written))
        << "hand " << hand;
    ASSERT_EQ(testing::BrokenInvariant(table.State(), false), "") << "hand " << hand;
  }
  EXPECT_GT(search.Figures().Searched, hands);
  EXPECT_GT(search.Figures().Playouts, 6 * hands);
}

// The game with its window against the search player, the member deciding by chance: the
// same seed plays the same hands, and the portal's replay of each record settles it alike.
TEST(SearchPlayer, HandsPlayAgainAlikeAndSettleFromTheirRecord) {
  const replay::Member member{.Name = "tester", .Money = "100000000"};
  for (std::uint64_t seed = 1; seed <= 2; ++seed) {
    int mission = 0;
    const replay::DealtHand dealt{.Deck = DeckFor(seed, 2, &mission),
                                  .Mission = mission,
                                  .MemberFirst = seed % 2 == 1,
                                  .ServiceCards = 2,
                                  .Opponent = OpponentLevel::kSearch};
    std::vector<replay::Settlement> played;
    for (int time = 0; time < 2; ++time) {
      replay::Table table(member);
      ASSERT_TRUE(table.Start(dealt));
      std::mt19937_64 chance(seed);
      ASSERT_TRUE(table.RunByChance(chance));
      played.push_back(replay::SettlementOf(table));
    }
    EXPECT_EQ(played[0].Decisions, played[1].Decisions);
    EXPECT_EQ(played[0].After.Money, played[1].After.Money);
    std::string why;
    const auto settled = replay::Replay(member, dealt, played[0].Decisions, why);
    ASSERT_TRUE(settled) << why;
    EXPECT_EQ(settled->After.Money, played[0].After.Money);
    EXPECT_EQ(settled->UpPoint, played[0].UpPoint);
  }
}

}  // namespace
}  // namespace hw::search
