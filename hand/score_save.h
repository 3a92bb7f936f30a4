#pragma once
// A hand's result applied to a player: money, running gain, record and missions; the
// human's new totals also go to the portal.

#include <string_view>

#include "hand/game.h"

namespace hw {

// The hand's outcome for the player in `slot`, the amount won or lost (unsigned), and
// whether he achieved the hand's mission. The winner plays first in the next hand.
void SaveScore(Game& game, int slot, HandOutcome outcome, std::string_view amount,
               bool missionAchieved);

}  // namespace hw
