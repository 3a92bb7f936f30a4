#pragma once

#include "hand/game.h"

namespace hw {

// Glides a card's picture from where it last lay to `target` at the room's card speed,
// and records the new place in the card table.
void GlideCard(Game& game, int card, BoardPoint target, bool showFace = true, int zoom = 0,
               int width = kCardWidth, int height = kCardHeight);

}  // namespace hw
