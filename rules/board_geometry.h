#pragma once
// Where things lie on the 800 x 600 board, in pixels from its top-left corner. Every
// coordinate the rules, the board drawing and the window's hit tests use is written
// here once.

#include <algorithm>

#include "rules/game_state.h"

namespace hw {

// ---- The floor

// Twelve slots in three rows around the middle: 0..5 the inner ring, 6..11 the outer.
inline constexpr BoardPoint kFloorSlotPositions[kFloorSlots] = {
    {227, 175}, {316, 175}, {187, 268}, {339, 268}, {217, 359}, {307, 359},
    {137, 175}, {407, 175}, {97, 268},  {429, 268}, {127, 359}, {397, 359},
};
// Cards stacked in a slot lie each this much right of and below the one under it.
inline constexpr BoardPoint kStackStep{8, 6};
constexpr BoardPoint StackPosition(const FloorSlot& slot, int level) {
  return {slot.Left + kStackStep.Left * level, slot.Top + kStackStep.Top * level};
}
// The three cards of a bomb are laid over their month's slot, each this much further.
inline constexpr BoardPoint kBombStep{7, 5};
constexpr BoardPoint BombPosition(const FloorSlot& slot, int k) {  // k = 1, 2, 3
  return {slot.Left + kBombStep.Left * k, slot.Top + kBombStep.Top * k};
}
// Service cards flipped during a turn wait in a little stack of their own.
inline constexpr BoardPoint kServiceSpot{207, 312};
constexpr BoardPoint ServiceSpotPosition(int i) {  // the i-th of the turn, from 0
  return {kServiceSpot.Left + kStackStep.Left * i, kServiceSpot.Top + kStackStep.Top * i};
}
// The draw pile in the middle of the floor: pile card n lies n / 3 pixels further right
// and down, so that the pile shows its height.
inline constexpr BoardPoint kPileCentre{258, 255};
constexpr BoardPoint DrawPilePosition(int position) {
  return {kPileCentre.Left + position / 3, kPileCentre.Top + position / 3};
}

// ---- The hands: two rows of five slots per seat

struct HandRows {
  int Left;
  int ColumnStep;
  int FirstRowTop;
  int SecondRowTop;
};
inline constexpr HandRows kHandRows[kPlayers] = {
    {399, 17, 52, 77},    // seat 0, the computer's small cards at the top
    {389, 39, 481, 539},  // seat 1, the human's at the bottom
};
constexpr BoardPoint HandSlotPosition(int seat, int slot) {
  const HandRows& rows = kHandRows[seat];
  return {rows.Left + rows.ColumnStep * (slot % 5),
          slot < 5 ? rows.FirstRowTop : rows.SecondRowTop};
}

// ---- The capture piles

// Where each seat's pile of a kind starts, by seat, then kind 1..4 (bright, animal,
// ribbon, junk).
inline constexpr BoardPoint kPileAnchors[kPlayers][4] = {
    {{4, 91}, {95, 33}, {95, 91}, {245, 91}},
    {{4, 540}, {95, 482}, {95, 540}, {245, 540}},
};
// How far apart the cards of a pile lie, by kind; the junk pile wraps upwards after
// every seven cards (at most three rows), so that the bottom seat's pile stays on the
// board.
inline constexpr int kPileSpacing[5] = {0, 12, 18, 15, 15};
inline constexpr int kJunkRowLength = 7;
inline constexpr int kJunkRowRise = 29;
constexpr BoardPoint PilePosition(const SeatCardSet& seat, int kind, int i) {  // i from 1
  const BoardPoint anchor = seat.PileAnchor[kind];
  const int row = kind == kJunk ? std::min((i - 1) / kJunkRowLength, 2) : 0;
  return {anchor.Left + kPileSpacing[kind] * (i - 1 - kJunkRowLength * row),
          anchor.Top - kJunkRowRise * row};
}
// The junk-count label stands this far from the junk pile's last card.
inline constexpr BoardPoint kJunkLabelOffset{37, 12};

// ---- The window's title strip and the skin buttons on the board

// A rectangle on the board whose every pixel, both ends of each range included, belongs
// to it.
struct BoardArea {
  int Left, Top, Width, Height;
  constexpr int Right() const { return Left + Width - 1; }
  constexpr int Bottom() const { return Top + Height - 1; }
  constexpr bool Contains(int x, int y) const {
    return x >= Left && x <= Right() && y >= Top && y <= Bottom();
  }
};
// The title strip's buttons, each drawn 31 x 19; each takes a press on its picture and
// on the row of pixels below it.
inline constexpr BoardArea kOptionsButton{660, 4, 31, 20};
inline constexpr BoardArea kMinimiseButton{693, 4, 31, 20};
inline constexpr BoardArea kMaximiseButton{726, 4, 31, 20};
inline constexpr BoardArea kExitButton{759, 4, 31, 20};
inline constexpr int kTitleButtonWidth = 31;
inline constexpr int kTitleButtonHeight = 19;
// The waiting room's own exit picture, 40 x 24.
inline constexpr BoardArea kWaitingExitButton{752, 4, 40, 24};
// The start button's picture, and the larger area that takes a press.
inline constexpr BoardArea kStartButtonPicture{229, 366, 179, 55};
inline constexpr BoardArea kStartButtonArea{218, 373, 180, 56};
// The chat-stop button, which does nothing more than click.
inline constexpr BoardArea kChatStopArea{677, 451, 66, 23};

}  // namespace hw
