#pragma once
// Taking a card into a player's capture piles, and laying those piles out on the board.

#include "hand/game.h"

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

// Where the i-th card (from 1) of a seat's pile of this kind lies: brights 12 pixels
// apart, animals 18, ribbons 15; junk in rows of seven, growing upwards so that the
// bottom seat's pile stays on the board.
inline BoardPoint PilePosition(const SeatCardSet& seat, int kind, int i) {
  const BoardPoint anchor = seat.PileAnchor[kind];
  switch (kind) {
    case kBright:
      return {anchor.Left + 12 * (i - 1), anchor.Top};
    case kAnimal:
      return {anchor.Left + 18 * (i - 1), anchor.Top};
    case kRibbon:
      return {anchor.Left + 15 * (i - 1), anchor.Top};
    default:
      if (i <= 7) return {anchor.Left + 15 * (i - 1), anchor.Top};
      if (i <= 14) return {anchor.Left + 15 * (i - 8), anchor.Top - 29};
      return {anchor.Left + 15 * (i - 15), anchor.Top - 58};
  }
}

}  // namespace hw
