#include "hand/glide.h"

namespace hw {

void GlideCard(Game& game, int card, BoardPoint target, bool showFace, int zoom, int width,
               int height) {
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

}  // namespace hw
