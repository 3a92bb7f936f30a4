#include "sim/match.h"

#include <time.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <memory>
#include <mutex>
#include <thread>

#include "rules/deal.h"
#include "rules/missions_ranks.h"
#include "rules/random.h"
#include "search/quick_table.h"
#include "search/search_player.h"
#include "sim/simulator.h"

namespace hw::sim {
namespace {

double ThreadSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// A player of the match, timed at every decision it is asked for.
class Contestant final : public ComputerPlayer {
 public:
  Contestant(const std::string& kind, const MatchOptions& options) {
    if (kind == "search") {
      search_ = std::make_unique<search::SearchPlayer>(
          search::SearchSettings{.Playouts = options.playouts});
      player_ = search_.get();
    } else {
      player_ = &WrittenPlayer::Default();
    }
  }
  int PlayCard(const GameState& s, int p) override {
    return Timed([&] { return player_->PlayCard(s, p); });
  }
  bool Shake(const GameState& s, int p, int card) override {
    return Timed([&] { return player_->Shake(s, p, card) ? 1 : 0; }) == 1;
  }
  int TakeFloorCard(const GameState& s, int p, const FloorChoice& choice) override {
    return Timed([&] { return player_->TakeFloorCard(s, p, choice); });
  }
  bool Go(const GameState& s, int p) override {
    return Timed([&] { return player_->Go(s, p) ? 1 : 0; }) == 1;
  }
  int SeptemberAnimal(const GameState& s, int p) override {
    return Timed([&] { return player_->SeptemberAnimal(s, p); });
  }

  long long decisions = 0;
  double seconds = 0;
  double slowest = 0;

 private:
  template <typename Ask>
  int Timed(Ask ask) {
    const double start = ThreadSeconds();
    const int answer = ask();
    const double spent = ThreadSeconds() - start;
    ++decisions;
    seconds += spent;
    slowest = std::max(slowest, spent);
    return answer;
  }
  std::unique_ptr<search::SearchPlayer> search_;
  ComputerPlayer* player_ = nullptr;
};

// One hand's result for one player.
struct Result {
  double money = 0;  // in stakes
  int points = 0;    // the winner's points, negative for the loser
  bool won = false;
  bool lost = false;
};

// A deal: each player's results in its two hands (player 0 is the first named).
struct DealResult {
  Result hands[2][2];  // [player][hand]
  bool stalled = false;
};

class Arena {
 public:
  explicit Arena(const MatchOptions& options)
      : first_(options.first, options), second_(options.second, options) {}

  DealResult Play(const MatchOptions& options, int deal) {
    GameRandom chance(options.seed * 0x9e3779b97f4a7c15ULL + static_cast<std::uint64_t>(deal));
    const std::string deck = Shuffle(options.serviceCards, chance);
    const int mission = RandomMission(chance);
    const bool humanFirst = deal % 2 == 0;
    DealResult result;
    // Hand 0: the first player in the computer's seat; hand 1: in the human's.
    for (int hand = 0; hand < 2; ++hand) {
      Contestant& computer = hand == 0 ? first_ : second_;
      Contestant& human = hand == 0 ? second_ : first_;
      HandOutcome outcome[kPlayers] = {HandOutcome::kDrawn, HandOutcome::kDrawn};
      table_.game().onScoreSave = [&outcome](int slot, HandOutcome o, std::string_view, bool) {
        outcome[slot] = o;
      };
      table_.Deal(deck, mission, humanFirst, "1000000");
      if (!table_.Ended() && !table_.PlayToEnd(human, computer)) result.stalled = true;
      const GameState& state = table_.State();
      int winnerPoints = 0;
      for (int seat = 0; seat < kPlayers; ++seat) {
        if (outcome[seat] == HandOutcome::kWon) winnerPoints = state.Player(seat).Score;
      }
      for (int seat = 0; seat < kPlayers; ++seat) {
        const int player = (seat == kComputer) == (hand == 0) ? 0 : 1;
        Result& r = result.hands[player][hand];
        r.money = (std::strtod(state.Player(seat).Money.c_str(), nullptr) - 1e6) / 100.0;
        r.won = outcome[seat] == HandOutcome::kWon;
        r.lost = outcome[seat] == HandOutcome::kLost;
        r.points = r.won ? winnerPoints : r.lost ? -winnerPoints : 0;
      }
    }
    return result;
  }

  Contestant first_;
  Contestant second_;

 private:
  search::QuickTable table_;
};

// Mean and the half-width of its confidence interval (normal approximation).
struct Estimate {
  double mean = 0;
  double halfWidth95 = 0;
  double halfWidth99 = 0;
};

Estimate Estimated(const std::vector<double>& values) {
  Estimate estimate;
  const double n = static_cast<double>(values.size());
  if (n == 0) return estimate;
  double sum = 0;
  for (const double v : values)
    sum += v;
  estimate.mean = sum / n;
  if (n < 2) return estimate;
  double squares = 0;
  for (const double v : values)
    squares += (v - estimate.mean) * (v - estimate.mean);
  const double error = std::sqrt(squares / (n - 1) / n);
  estimate.halfWidth95 = 1.959964 * error;
  estimate.halfWidth99 = 2.575829 * error;
  return estimate;
}

}  // namespace

std::optional<MatchOptions> ParseMatchOptions(const std::vector<std::string>& args,
                                              std::string& error) {
  MatchOptions options;
  if (args.size() < 2 || args[0].starts_with("--") || args[1].starts_with("--")) {
    error = "--match needs two players, each \"written\" or \"search\"";
    return {};
  }
  for (const std::string& player : {args[0], args[1]}) {
    if (player != "written" && player != "search") {
      error = "a match player must be \"written\" or \"search\", not \"" + player + "\"";
      return {};
    }
  }
  options.first = args[0];
  options.second = args[1];
  for (std::size_t i = 2; i < args.size(); i += 2) {
    const std::string& option = args[i];
    if (i + 1 >= args.size()) {
      error = option + " needs a value";
      return {};
    }
    const std::string& value = args[i + 1];
    const auto number = OptionNumber(value);
    auto within = [&](long long low, long long high) {
      return number && *number >= low && *number <= high;
    };
    if (option == "--deals" && within(1, 10'000'000)) {
      options.deals = static_cast<int>(*number);
    } else if (option == "--seed" && within(0, (1LL << 62))) {
      options.seed = static_cast<std::uint64_t>(*number);
    } else if (option == "--service" && within(0, 5)) {
      options.serviceCards = static_cast<int>(*number);
    } else if (option == "--playouts" && within(1, 1'000'000)) {
      options.playouts = static_cast<int>(*number);
    } else if (option == "--threads" && within(1, 64)) {
      options.threads = static_cast<int>(*number);
    } else if (option == "--deals" || option == "--seed" || option == "--service" ||
               option == "--playouts" || option == "--threads") {
      error = option + " has a value out of range: \"" + value + "\"";
      return {};
    } else {
      error = "unknown match option " + option;
      return {};
    }
  }
  return options;
}

int RunMatch(const MatchOptions& options, std::ostream& out, std::ostream& err) {
  std::vector<DealResult> results(static_cast<std::size_t>(options.deals));
  const int threads = std::min(options.threads, options.deals);
  std::vector<std::unique_ptr<Arena>> arenas;
  for (int t = 0; t < threads; ++t)
    arenas.push_back(std::make_unique<Arena>(options));
  {
    // A long match tells how far it has come, twenty times over its course.
    std::atomic<int> played = 0;
    std::mutex telling;
    const int step = std::max(1, options.deals / 20);
    std::vector<std::jthread> workers;
    for (int t = 0; t < threads; ++t) {
      workers.emplace_back([&, t] {
        for (int deal = t; deal < options.deals; deal += threads) {
          results[static_cast<std::size_t>(deal)] =
              arenas[static_cast<std::size_t>(t)]->Play(options, deal);
          if (const int done = ++played; done % step == 0 && done < options.deals) {
            const std::lock_guard lock(telling);
            err << "hwatable-sim: " << done << " of " << options.deals << " deals played\n"
                << std::flush;
          }
        }
      });
    }
  }

  int stalled = 0;
  std::vector<double> money[2], points[2], difference;
  int won[2] = {0, 0}, decided = 0, dealsWon[2] = {0, 0};
  for (const DealResult& deal : results) {
    stalled += deal.stalled;
    double total[2] = {0, 0};
    for (int player = 0; player < 2; ++player) {
      for (const Result& hand : deal.hands[player]) {
        money[player].push_back(hand.money);
        points[player].push_back(hand.points);
        won[player] += hand.won;
        total[player] += hand.money;
      }
    }
    difference.push_back((total[0] - total[1]) / 2);
    if (total[0] != total[1]) {
      ++decided;
      ++dealsWon[total[0] > total[1] ? 0 : 1];
    }
  }

  const std::string names[2] = {options.first + " (first)", options.second + " (second)"};
  char line[400];
  std::snprintf(line, sizeof line,
                "match: %d duplicate deals (%d hands), seed %llu, %d service cards, %d playouts "
                "per search decision\n",
                options.deals, 2 * options.deals, static_cast<unsigned long long>(options.seed),
                options.serviceCards, options.playouts);
  out << line;
  for (int player = 0; player < 2; ++player) {
    long long decisions = 0;
    double seconds = 0, slowest = 0;
    for (const auto& arena : arenas) {
      const Contestant& c = player == 0 ? arena->first_ : arena->second_;
      decisions += c.decisions;
      seconds += c.seconds;
      slowest = std::max(slowest, c.slowest);
    }
    const Estimate m = Estimated(money[player]);
    const Estimate p = Estimated(points[player]);
    std::snprintf(line, sizeof line,
                  "%-18s hands won %d of %d (%.1f%%); money per hand %+.2f ± %.2f stakes; "
                  "points per hand %+.3f ± %.3f (95%%); %.3f ms per decision (%lld decisions, "
                  "slowest %.1f ms)\n",
                  names[player].c_str(), won[player], 2 * options.deals,
                  100.0 * won[player] / (2 * options.deals), m.mean, m.halfWidth95, p.mean,
                  p.halfWidth95, decisions > 0 ? 1e3 * seconds / static_cast<double>(decisions) : 0,
                  decisions, 1e3 * slowest);
    out << line;
  }
  const Estimate d = Estimated(difference);
  std::snprintf(line, sizeof line,
                "first minus second: %+.2f stakes per hand, 95%% [%+.2f, %+.2f], 99%% [%+.2f, "
                "%+.2f]; decided deals %d, won by the first %d (%.1f%%)\n",
                d.mean, d.mean - d.halfWidth95, d.mean + d.halfWidth95, d.mean - d.halfWidth99,
                d.mean + d.halfWidth99, decided, dealsWon[0],
                decided > 0 ? 100.0 * dealsWon[0] / decided : 0.0);
  out << line;
  if (stalled > 0) {
    err << "hwatable-sim: " << stalled << " deals had a hand that did not end\n";
    return 1;
  }
  return 0;
}

}  // namespace hw::sim
