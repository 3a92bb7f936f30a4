#pragma once
// Taking a card into a player's capture piles, and laying those piles out on the board.

#include "hand/game.h"
#include "rules/board_geometry.h"

namespace hw {

// The player captures the card: it joins the pile of its kind (at the end), leaves the
// player's hand if it was there, is shown when `show` is set, and the pile is laid out
// anew with the card gliding to its place. A negative card is ignored.
void CapturePile(Game& game, int player, int card, bool show);

// Places every card of the player's pile of this kind at its place: brights 12 pixels
// apart, animals 18, ribbons and junk 15; junk wraps into rows 29 and 58 pixels higher
// after its 7th and 14th card. The card named by `card` (kNoCard: none) glides there
// with the sound "TUCK"; the others are placed at once where they are not at their
// place already. For the junk pile, the seat's junk-count label moves beside the
// pile's last card.
void LayOutPile(Game& game, int player, int kind, int card);

}  // namespace hw
