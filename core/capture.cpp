#include "core/capture.h"

namespace hw {

BoardPoint PilePosition(const SeatCardSet& seat, int kind, int i) {
  const BoardPoint anchor = seat.PileAnchor[kind];
  switch (kind) {
    case kBright:
      return {anchor.Left + 12 * (i - 1), anchor.Top};
    case kAnimal:
      return {anchor.Left + 18 * (i - 1), anchor.Top};
    case kRibbon:
      return {anchor.Left + 15 * (i - 1), anchor.Top};
    default:
      // Junk: rows of seven, growing upwards so that the bottom seat stays on the board.
      if (i <= 7) return {anchor.Left + 15 * (i - 1), anchor.Top};
      if (i <= 14) return {anchor.Left + 15 * (i - 8), anchor.Top - 29};
      return {anchor.Left + 15 * (i - 15), anchor.Top - 58};
  }
}

void LayOutPile(Game& game, int player, int kind, int card) {
  GameState& state = game.state;
  const int seatIndex = state.Player(player).Seat;
  const SeatCardSet& seat = state.SeatCards.at(static_cast<std::size_t>(seatIndex));
  const int count = seat.CapturedCountByKind[kind];
  for (int i = 1; i <= count; ++i) {
    const int c = seat.Captured[kind][i - 1];
    if (c == kNoCard) continue;
    CardRecord& record = state.Card(c);
    const BoardPoint target = PilePosition(seat, kind, i);
    if (c == card) {
      game.board.MoveCard({.Card = c,
                           .FromX = record.ImageLeft,
                           .FromY = record.ImageTop,
                           .ToX = target.Left,
                           .ToY = target.Top,
                           .ShowFace = true});
      game.sound.PlayGameSound("TUCK", 3, false, "", 0.3);
    } else {
      game.board.PlaceCard(c, target.Left, target.Top);
    }
    record.ImageLeft = target.Left;
    record.ImageTop = target.Top;
  }
  if (kind == kJunk && count > 0) {
    const BoardPoint last = PilePosition(seat, kind, count);
    game.board.MoveJunkLabel(seatIndex, last.Left + 37, last.Top + 12);
  }
}

void CapturePile(Game& game, int player, int card, bool show) {
  if (card < 0) return;
  GameState& state = game.state;
  CardRecord& record = state.Card(card);
  record.Location = CapturedBy(player);
  SeatCardSet& seat = state.SeatOf(player);
  const int kind = record.Kind;
  seat.Captured.at(static_cast<std::size_t>(kind))
      .at(static_cast<std::size_t>(seat.CapturedCountByKind[kind])) = card;
  ++seat.CapturedCountByKind[kind];
  for (int& slot : seat.Hand) {
    if (slot == card) slot = kNoCard;
  }
  if (show) game.board.ShowCardFace(card);
  LayOutPile(game, player, kind, card);
}

}  // namespace hw
