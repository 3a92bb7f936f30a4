#include "rules/card_table.h"

namespace hw {
namespace {

struct CardFace {
  int kind;
  int mark;
};

// The 48 month cards, four per month in month order.
// clang-format off
constexpr CardFace kMonthCardFaces[kMonthCards] = {
    // 1 January: pine
    {kBright, kMarkNone}, {kRibbon, kMarkRedPoemRibbon}, {kJunk, kMarkNone}, {kJunk, kMarkNone},
    // 2 February: plum blossom
    {kAnimal, kMarkGodoriBird}, {kRibbon, kMarkRedPoemRibbon}, {kJunk, kMarkNone}, {kJunk, kMarkNone},
    // 3 March: cherry blossom
    {kBright, kMarkNone}, {kRibbon, kMarkRedPoemRibbon}, {kJunk, kMarkNone}, {kJunk, kMarkNone},
    // 4 April: wisteria
    {kAnimal, kMarkGodoriBird}, {kRibbon, kMarkGrassRibbon}, {kJunk, kMarkNone}, {kJunk, kMarkNone},
    // 5 May: iris
    {kAnimal, kMarkNone}, {kRibbon, kMarkGrassRibbon}, {kJunk, kMarkNone}, {kJunk, kMarkNone},
    // 6 June: peony
    {kAnimal, kMarkNone}, {kRibbon, kMarkBlueRibbon}, {kJunk, kMarkNone}, {kJunk, kMarkNone},
    // 7 July: bush clover
    {kAnimal, kMarkNone}, {kRibbon, kMarkGrassRibbon}, {kJunk, kMarkNone}, {kJunk, kMarkNone},
    // 8 August: pampas grass
    {kBright, kMarkNone}, {kAnimal, kMarkGodoriBird}, {kJunk, kMarkNone}, {kJunk, kMarkNone},
    // 9 September: chrysanthemum; its animal may also serve as double junk
    {kAnimal, kMarkDoubleJunk}, {kRibbon, kMarkBlueRibbon}, {kJunk, kMarkNone}, {kJunk, kMarkNone},
    // 10 October: maple
    {kAnimal, kMarkNone}, {kRibbon, kMarkBlueRibbon}, {kJunk, kMarkNone}, {kJunk, kMarkNone},
    // 11 November: paulownia
    {kBright, kMarkNone}, {kJunk, kMarkDoubleJunk}, {kJunk, kMarkNone}, {kJunk, kMarkNone},
    // 12 December: rain
    {kBright, kMarkRainBright}, {kAnimal, kMarkDecemberAnimal}, {kRibbon, kMarkNone}, {kJunk, kMarkDoubleJunk},
};
// clang-format on

constexpr BoardPoint kFloorSlotPositions[kFloorSlots] = {
    {227, 175}, {316, 175}, {187, 268}, {339, 268}, {217, 359}, {307, 359},
    {137, 175}, {407, 175}, {97, 268},  {429, 268}, {127, 359}, {397, 359},
};

// Pile anchors by seat, then kind 1..4 (bright, animal, ribbon, junk).
constexpr BoardPoint kPileAnchors[kPlayers][4] = {
    {{4, 91}, {95, 33}, {95, 91}, {245, 91}},
    {{4, 540}, {95, 482}, {95, 540}, {245, 540}},
};

}  // namespace

int KindOfCardNumber(int card) {
  return card < kMonthCards ? kMonthCardFaces[card].kind : kJunk;
}

int MarkOfCardNumber(int card) {
  // The service cards count as double junk.
  return card < kMonthCards ? kMonthCardFaces[card].mark : kMarkDoubleJunk;
}

void InitCardTable(GameState& state) {
  for (int card = 0; card < kMaxCardsInPlay; ++card) {
    CardRecord& record = state.Card(card);
    record.Month = MonthOfCardNumber(card);
    record.Kind = KindOfCardNumber(card);
    record.Mark = MarkOfCardNumber(card);
    record.ImageLeft = 0;
    record.ImageTop = 0;
  }
}

void InitFloorSlots(GameState& state) {
  for (int slot = 0; slot < kFloorSlots; ++slot) {
    state.FloorSlots[slot].Left = kFloorSlotPositions[slot].Left;
    state.FloorSlots[slot].Top = kFloorSlotPositions[slot].Top;
  }
}

void InitHandSlots(GameState& state) {
  for (int i = 0; i < kHandSlots; ++i) {
    const int column = i % 5;
    const bool secondRow = i >= 5;
    state.SeatCards[kComputerSeat].HandSlotPos[i] = {399 + 17 * column, secondRow ? 77 : 52};
    state.SeatCards[kHumanSeat].HandSlotPos[i] = {389 + 39 * column, secondRow ? 539 : 481};
  }
}

void InitPileAnchors(GameState& state) {
  for (int seat = 0; seat < kPlayers; ++seat) {
    for (int kind = kBright; kind <= kJunk; ++kind) {
      state.SeatCards[seat].PileAnchor[kind] = kPileAnchors[seat][kind - 1];
    }
  }
}

void SetUpBoardLayout(GameState& state) {
  InitFloorSlots(state);
  InitHandSlots(state);
  InitCardTable(state);
  InitPileAnchors(state);
}

BoardPoint StackPosition(const FloorSlot& slot, int level) {
  return {slot.Left + 8 * level, slot.Top + 6 * level};
}

BoardPoint ServiceSpotPosition(int i) {
  return {207 + 8 * i, 312 + 6 * i};
}

}  // namespace hw
