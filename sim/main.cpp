// hwatable-sim: plays hands headless and prints one JSON line per hand (see --help).

#include <iostream>
#include <string>
#include <vector>

#include "sim/match.h"
#include "sim/simulator.h"
#include "sim/through_portal.h"
#include "sim/verify_deal.h"

namespace {

constexpr const char* kUsage =
    "usage: hwatable-sim [--deck TEXT | --hands N --seed S --service K] [--mission N]\n"
    "                    [--stake N] [--money TEXT] [--seon human|computer] [--name NAME]\n"
    "                    [--voice V] [--human idle|random] [--opponent written|search]\n"
    "                    [--replay] [--quiet]\n"
    "       hwatable-sim --portal URL --name NAME --password PW [--hands N --seed S]\n"
    "                    [--service K] [--stake N] [--human idle|random]\n"
    "                    [--opponent written|search] [--quiet]\n"
    "       hwatable-sim --verify-deal SERVER_SEED GAME_SEED HAND_ID SERVICE_CARDS\n"
    "       hwatable-sim --match written|search written|search [--deals N] [--seed S]\n"
    "                    [--service K] [--playouts P] [--threads T]\n"
    "Plays hands of Go-Stop headless, the human seat idle or deciding by chance, and prints\n"
    "one JSON line per hand; with --quiet only a closing line with the speed and a signature\n"
    "of all results. --replay plays each hand again from its record, as the portal settles\n"
    "it, and tells how long that takes. With --portal the portal deals and settles each\n"
    "hand, against the --opponent it asks for, and the simulator checks its figures\n"
    "against its own. --verify-deal deals a portal's hand again from its seeds once the\n"
    "portal has revealed its server seed.\n"
    "--match plays duplicate deals between two computer players (each deck twice, seats\n"
    "swapped) and prints hands won, money and points per hand with 95% confidence\n"
    "intervals and the time per decision; --playouts is the search player's budget.\n";

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    std::cout << kUsage;
    return 0;
  }
  if (!args.empty() && args[0] == "--match") {
    std::string error;
    const auto options = hw::sim::ParseMatchOptions({args.begin() + 1, args.end()}, error);
    if (!options) {
      std::cerr << "hwatable-sim: " << error << "\n";
      return 2;
    }
    return hw::sim::RunMatch(*options, std::cout, std::cerr);
  }
  if (!args.empty() && args[0] == "--verify-deal") {
    return hw::sim::VerifyDeal({args.begin() + 1, args.end()}, std::cout, std::cerr);
  }
  std::string error;
  const auto options = hw::sim::ParseOptions(args, error);
  if (!options) {
    std::cerr << "hwatable-sim: " << error << "\n";
    return 2;
  }
  std::ios::sync_with_stdio(false);
  if (options->portal) return hw::sim::RunThroughPortal(*options, std::cout, std::cerr);
  return hw::sim::RunSimulation(*options, std::cout, std::cerr);
}
