#pragma once
// hwatable-sim --match: two computer players on duplicate deals. Every deal is played
// twice with the seats swapped (the same deck, mission and service cards, 선 on the same
// seat), so that each player gets the other's cards once and luck cancels out.

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace hw::sim {

struct MatchOptions {
  std::string first = "search";  // "written" or "search"
  std::string second = "written";
  int deals = 100;
  std::uint64_t seed = 1;
  int serviceCards = 3;
  int playouts = 1200;  // the search player's budget per decision
  int threads = 1;
};

// Reads `--match A B [--deals N] [--seed S] [--service K] [--playouts P] [--threads T]`
// (the arguments after --match). On a malformed option returns nothing and sets `error`.
std::optional<MatchOptions> ParseMatchOptions(const std::vector<std::string>& args,
                                              std::string& error);

// Plays the match and prints its report. Returns the exit status.
int RunMatch(const MatchOptions& options, std::ostream& out, std::ostream& err);

}  // namespace hw::sim
