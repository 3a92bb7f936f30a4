// hwatable-sim: plays hands headless and prints one JSON line per hand (see --help).

#include <iostream>
#include <string>
#include <vector>

#include "sim/simulator.h"

namespace {

constexpr const char* kUsage =
    "usage: hwatable-sim [--deck TEXT | --hands N --seed S --service K] [--mission N]\n"
    "                    [--stake N] [--money TEXT] [--seon human|computer] [--name NAME]\n"
    "                    [--voice V] [--quiet]\n"
    "Plays hands of Go-Stop headless, the human seat idle, and prints one JSON line per hand;\n"
    "with --quiet only a closing line with the speed and a signature of all results.\n";

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    std::cout << kUsage;
    return 0;
  }
  std::string error;
  const auto options = hw::sim::ParseOptions(args, error);
  if (!options) {
    std::cerr << "hwatable-sim: " << error << "\n";
    return 2;
  }
  std::ios::sync_with_stdio(false);
  return hw::sim::RunSimulation(*options, std::cout, std::cerr);
}
