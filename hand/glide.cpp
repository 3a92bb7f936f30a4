#include "hand/glide.h"

#include <algorithm>

namespace hw {
namespace {

bool Idle(const Game& game) {
  return !game.state.Room.HandRunning;
}

// The pictures of a deal glide only on a board somebody sees; the deal itself and its
// sound are the same either way.
void GlideFloorHalf(Game& game, int firstSlot) {
  GameState& state = game.state;
  DealRequest deal{.ToFloor = true, .ShowFaces = true, .Speed = state.Room.CardSpeed};
  // Slot by slot, as the deal laid them (one card to a slot).
  for (int card = 0; card < state.Room.CardsInPlay; ++card) {
    CardRecord& record = state.Card(card);
    if (record.Location != kOnFloor || record.FloorSlot < firstSlot ||
        record.FloorSlot >= firstSlot + 4) {
      continue;
    }
    const FloorSlot& place = state.FloorSlots[record.FloorSlot];
    deal.Cards.push_back({card, record.ImageLeft, record.ImageTop, place.Left, place.Top});
    record.ImageLeft = place.Left;
    record.ImageTop = place.Top;
  }
  std::sort(deal.Cards.begin(), deal.Cards.end(), [&state](const auto& a, const auto& b) {
    return state.Card(a.Number).FloorSlot < state.Card(b.Number).FloorSlot;
  });
  game.board.DealCards(deal);
}

void GlideHandHalf(Game& game, int player, int firstSlot) {
  GameState& state = game.state;
  const PlayerRecord& who = state.Player(player);
  const SeatCardSet& seat = state.SeatOf(player);
  const bool bottom = who.Seat == kHumanSeat;
  DealRequest deal{.ToFloor = false,
                   .ShowFaces = who.Name == state.PlayerInfo.Name,
                   .Width = bottom ? kCardWidth : kSmallCardWidth,
                   .Height = bottom ? kCardHeight : kSmallCardHeight,
                   .Speed = state.Room.CardSpeed};
  for (int slot = firstSlot; slot < firstSlot + 5; ++slot) {
    const int card = seat.Hand[slot];
    if (card == kNoCard) continue;
    CardRecord& record = state.Card(card);
    const BoardPoint target = seat.HandSlotPos[slot];
    deal.Cards.push_back({card, record.ImageLeft, record.ImageTop, target.Left, target.Top});
    record.ImageLeft = target.Left;
    record.ImageTop = target.Top;
  }
  game.board.DealCards(deal);
}

}  // namespace

void GlideCard(Game& game, int card, BoardPoint target, bool showFace, int zoom, int width,
               int height) {
  if (!game.board.Seen()) return;
  CardRecord& record = game.state.Card(card);
  game.board.MoveCard({.Card = card,
                       .FromX = record.ImageLeft,
                       .FromY = record.ImageTop,
                       .ToX = target.Left,
                       .ToY = target.Top,
                       .ShowFace = showFace,
                       .Width = width,
                       .Height = height,
                       .Zoom = zoom,
                       .Speed = game.state.Room.CardSpeed});
  record.ImageLeft = target.Left;
  record.ImageTop = target.Top;
}

void DealFloorHalf(Game& game, int half) {
  if (Idle(game)) return;
  const int firstSlot = half == 1 ? 0 : 4;
  for (int slot = firstSlot; slot < firstSlot + 4; ++slot)
    game.state.FloorSlots[slot].Used = 1;
  if (game.board.Seen()) GlideFloorHalf(game, firstSlot);
  game.Sound("TUCK", 3);
}

void DealHandHalf(Game& game, int player, int half) {
  if (Idle(game)) return;
  if (game.board.Seen()) GlideHandHalf(game, player, half == 1 ? 0 : 5);
  game.Sound("TUCK", 3, {}, true);
}

}  // namespace hw
