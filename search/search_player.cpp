#include "search/search_player.h"

#include <algorithm>
#include <cstdlib>

namespace hw::search {
namespace {

double Number(const std::string& text) {
  return text.empty() ? 0.0 : std::strtod(text.c_str(), nullptr);
}

}  // namespace

double MoneyWon(const GameState& before, const GameState& after, int player) {
  const double stake = std::max(1.0, Number(before.Room.StakeText));
  return (Number(after.Player(player).Money) - Number(before.Player(player).Money)) / stake;
}

SearchPlayer::SearchPlayer(SearchSettings settings) : settings_(settings) {}

SearchPlayer::~SearchPlayer() = default;

int SearchPlayer::PlayCard(const GameState& state, int player) {
  return DecideFor(state, {.What = Question::Kind::kCard, .Player = player});
}

bool SearchPlayer::Shake(const GameState& state, int player, int card) {
  return DecideFor(state, {.What = Question::Kind::kShake, .Player = player, .Card = card}) == 1;
}

int SearchPlayer::TakeFloorCard(const GameState& state, int player, const FloorChoice& choice) {
  return DecideFor(state, {.What = Question::Kind::kFloor, .Player = player, .Choice = choice});
}

bool SearchPlayer::Go(const GameState& state, int player) {
  return DecideFor(state, {.What = Question::Kind::kGoStop, .Player = player}) == 1;
}

int SearchPlayer::SeptemberAnimal(const GameState& state, int player) {
  return DecideFor(state, {.What = Question::Kind::kSeptember, .Player = player});
}

int SearchPlayer::DecideFor(const GameState& state, const Question& question) {
  return Decide(SeenBy(state, question.Player), question);
}

int SearchPlayer::Decide(const ComputerView& view, const Question& question) {
  ++figures_.Decisions;
  const CardList answers = LegalAnswers(view.Known, question);
  if (answers.size() <= 1) return answers.empty() ? 0 : answers.front();
  ++figures_.Searched;

  // Every sample is played out with every answer, so that the answers are compared on
  // the same cards.
  const int samples = std::max(1, settings_.Playouts / static_cast<int>(answers.size()));
  GameRandom chance(settings_.Seed ^ Digest(view) ^
                    (static_cast<std::uint64_t>(question.What) << 56) ^
                    (static_cast<std::uint64_t>(question.Card + 7) << 48));
  if (!table_) table_ = std::make_unique<QuickTable>();
  WrittenPlayer& rules = WrittenPlayer::Default();
  std::vector<double> won(answers.size(), 0.0);
  for (int sample = 0; sample < samples; ++sample) {
    Determinize(view, chance, dealt_);
    for (std::size_t i = 0; i < answers.size(); ++i) {
      table_->Resume(dealt_, question, answers[i]);
      table_->PlayToEnd(rules, rules);
      won[i] += MoneyWon(dealt_, table_->State(), view.Me);
      ++figures_.Playouts;
    }
  }
  // The best average; a tie goes to the earlier answer in the rules' order.
  const auto best = std::max_element(won.begin(), won.end());
  return answers[static_cast<std::size_t>(best - won.begin())];
}

}  // namespace hw::search
