#pragma once
// A hand's result applied to a player: money, running gain, record and missions; the
// human's new totals also go to the portal.

#include <string_view>

#include "hand/game.h"

namespace hw {

// code "W" won, "L" lost, "D" drawn; amount unsigned; missionFlag "1" when the hand's
// mission was achieved. The winner plays first in the next hand.
void SaveScore(Game& game, int slot, std::string_view code, std::string_view amount,
               std::string_view missionFlag);

}  // namespace hw
