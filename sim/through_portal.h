#pragma once
// hwatable-sim --portal: hands dealt and settled by a real portal. The simulator logs in
// as a member, asks the portal for each hand, plays it at its own table (the member idle
// or deciding by chance), posts the save with the hand's record as the game does, and
// compares the portal's figures with its own, hand by hand.

#include <ostream>

#include "sim/simulator.h"

namespace hw::sim {

// Needs options.portal and options.password. Prints one JSON line per hand (or, with
// --quiet, a closing line); a hand the portal settles differently is an error (status 1).
int RunThroughPortal(const Options& options, std::ostream& out, std::ostream& err);

}  // namespace hw::sim
