#include "hand/capture.h"

#include <cassert>

#include "hand/glide.h"

namespace hw {

namespace {

// The pile's cards moved to their places on a board that is seen, from the card added
// at its end (the others are in place) or from the first; the added card glides there.
[[gnu::noinline]] void LayOutSeenPile(Game& game, int seatIndex, int kind, int card,
                                      bool appended) {
  GameState& state = game.state;
  const SeatCardSet& seat = state.SeatCards[static_cast<std::size_t>(seatIndex)];
  const int count = seat.CapturedCountByKind[kind];
  for (int i = appended ? count : 1; i <= count; ++i) {
    const int c = seat.Captured[kind][i - 1];
    if (c == kNoCard) continue;
    CardRecord& record = state.Card(c);
    const BoardPoint target = PilePosition(seat, kind, i);
    if (c == card) {
      GlideCard(game, c, target);
      game.sound.PlayGameSound("TUCK", 3, false, "", 0.3);
    } else if (record.ImageLeft != target.Left || record.ImageTop != target.Top) {
      game.board.PlaceCard(c, target.Left, target.Top);  // the pile closed up
    }
    record.ImageLeft = target.Left;
    record.ImageTop = target.Top;
  }
  if (kind == kJunk && count > 0) {
    const BoardPoint last = PilePosition(seat, kind, count);
    game.board.MoveJunkLabel(seatIndex, last.Left + kJunkLabelOffset.Left,
                             last.Top + kJunkLabelOffset.Top);
  }
}

}  // namespace

void LayOutPile(Game& game, int player, int kind, int card) {
  GameState& state = game.state;
  const int seatIndex = state.Player(player).Seat;
  const SeatCardSet& seat = state.SeatCards[static_cast<std::size_t>(seatIndex)];
  const int count = seat.CapturedCountByKind[kind];
  // A pile is laid out after every change, so when the change was a card added at its
  // end, the cards before it are in their places already.
  const bool appended = count > 0 && card != kNoCard && seat.Captured[kind][count - 1] == card;
  if (game.board.Seen()) {
    LayOutSeenPile(game, seatIndex, kind, card, appended);
  } else if (appended) {  // nothing to lay out; the added card is still heard
    game.sound.PlayGameSound("TUCK", 3, false, "", 0.3);
  }
}

void CapturePile(Game& game, int player, int card, bool show) {
  if (card < 0) return;
  GameState& state = game.state;
  state.MoveCard(card, CapturedBy(player));
  const CardRecord& record = state.Card(card);
  SeatCardSet& seat = state.SeatOf(player);
  const int kind = record.Kind;
  // Every pile has room for every card in play, and a card is captured only once.
  assert(kind >= kBright && kind <= kJunk && seat.CapturedCountByKind[kind] < kMaxCardsInPlay);
  seat.Captured[kind][seat.CapturedCountByKind[kind]] = card;
  ++seat.CapturedCountByKind[kind];
  for (int& slot : seat.Hand)
    slot = slot == card ? kNoCard : slot;
  if (show) game.board.ShowCardFace(card);
  LayOutPile(game, player, kind, card);
}

}  // namespace hw
