#pragma once
// hwatable-sim --verify-deal: deals a hand of the portal again from its seeds, once the
// portal has revealed its server seed, so that a member can check that the hand he was
// dealt is the one the seeds give and that the seed was the one committed to.

#include <ostream>
#include <string>
#include <vector>

namespace hw::sim {

// args: SERVER_SEED GAME_SEED HAND_ID SERVICE_CARDS. Prints the server seed's
// commitment, the deck and its commitment, the mission and the cards each place got.
// Returns the exit status (2 for malformed operands).
int VerifyDeal(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace hw::sim
