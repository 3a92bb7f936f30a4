#include "rules/card_table.h"

#include "rules/board_geometry.h"

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
  for (int seat = 0; seat < kPlayers; ++seat) {
    for (int slot = 0; slot < kHandSlots; ++slot)
      state.SeatCards[seat].HandSlotPos[slot] = HandSlotPosition(seat, slot);
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

}  // namespace hw
