#pragma once
// Cards moving on the board: one card's glide, and the deal's, half by half. They move
// the cards' pictures and record where each now lies; the rules have placed the cards
// already.

#include "hand/game.h"

namespace hw {

// Glides a card's picture from where it last lay to `target` at the room's card speed,
// and records the new place in the card table; on a board nobody sees, nothing moves and
// no place is recorded.
void GlideCard(Game& game, int card, BoardPoint target, bool showFace = true, int zoom = 0,
               int width = kCardWidth, int height = kCardHeight);

// The deal's animation, half by half: floor slots 0..3 (half 1) or 4..7, and a player's
// hand slots 0..4 (half 1) or 5..9.
void DealFloorHalf(Game& game, int half);
void DealHandHalf(Game& game, int player, int half);

}  // namespace hw
