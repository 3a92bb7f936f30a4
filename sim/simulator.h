#pragma once
// hwatable-sim: hands played headless with the real rules, the real main window and its
// dialogs on a virtual clock. The human seat is idle (its turns end by the time-out and
// its questions by their default answers) or decides by chance among what it may do
// (--human random). Each hand is printed as one JSON line.

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace hw::sim {

// How the human seat plays.
enum class Human { kIdle, kRandom };

struct Options {
  std::optional<std::string> deck;  // one hand with this deck
  std::optional<int> mission;       // 0..8; random when not given
  std::string stake = "100";
  std::string money = "1000000";  // the human's money before the first hand
  bool humanFirst = true;         // who is 선 in the first hand
  std::string name = "player";
  std::string voice = "M";
  int hands = 1;
  std::uint64_t seed = 1;
  int serviceCards = 3;
  bool quiet = false;  // no records; a closing line with the speed and a signature
  // Every hand is also played again from its deal and record, as the portal settles it,
  // and must end alike; a closing line tells how long that took.
  bool replay = false;
  Human human = Human::kIdle;
  bool searchOpponent = false;  // --opponent search: the search player takes the computer's seat
  // Hands dealt and settled by the portal at this address, logged in with the name and
  // this password (the portal then decides the money and who plays first).
  std::optional<std::string> portal;
  std::string password;
};

// An option's number: digits with an optional sign, nothing else, within a long long.
std::optional<long long> OptionNumber(const std::string& text);

// Reads the command line (without the program name). On a malformed option returns
// nothing and sets `error` to a one-line reason.
std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error);

// Plays the hands; records go to `out`, problems to `err`. Returns the exit status.
int RunSimulation(const Options& options, std::ostream& out, std::ostream& err);

}  // namespace hw::sim
