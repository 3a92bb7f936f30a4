#pragma once

#include <string>

#include "rules/game_state.h"

namespace hw {

// The room's title on the board: the stake and the number of service cards.
std::string RoomTitle(const RoomRecord& room);

}  // namespace hw
