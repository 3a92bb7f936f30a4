#include "rules/card_table.h"

#include "rules/board_geometry.h"

namespace hw {

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
