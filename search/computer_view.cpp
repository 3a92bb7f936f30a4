#include "search/computer_view.h"

#include <algorithm>
#include <array>

#include "rules/lookups.h"

namespace hw::search {
namespace {

// A card the player cannot see: in the opponent's hand and never shown, or in the pile.
bool IsUnseen(const GameState& state, int card, int opponent) {
  const CardRecord& record = state.Card(card);
  if (record.Location == opponent) return record.ShakeMark != kShakeShown;
  return record.Location == kInDrawPile;
}

void Forget(GameState& state, int card) {
  state.MoveCard(card, kInDrawPile);
  CardRecord& record = state.Card(card);
  record.ImageLeft = 0;
  record.ImageTop = 0;
  record.ShakeMark = kShakeNone;
  record.StackLevel = 0;
  record.FloorSlot = -1;
}

}  // namespace

ComputerView SeenBy(const GameState& state, int player) {
  const int opponent = OpponentOf(player);
  ComputerView view;
  view.Me = player;
  view.Known = state;
  GameState& known = view.Known;
  known.DealtOrder.clear();
  known.Record.clear();
  for (int card = 0; card < known.Room.CardsInPlay; ++card) {
    if (!IsUnseen(state, card, opponent)) continue;
    if (state.Card(card).Location == opponent) ++view.OpponentUnseen;
    view.Unseen.push_back(card);
    Forget(known, card);
  }
  auto unseen = [&](int card) {
    return card >= 0 && std::binary_search(view.Unseen.begin(), view.Unseen.end(), card);
  };
  for (int& card : known.SeatOf(opponent).Hand) {
    if (unseen(card)) card = kUnseenCard;
  }
  for (int& card : known.DrawPile) {
    if (unseen(card)) card = kUnseenCard;
  }
  return view;
}

GameState Determinize(const ComputerView& view, GameRandom& chance) {
  GameState state;
  Determinize(view, chance, state);
  return state;
}

void Determinize(const ComputerView& view, GameRandom& chance, GameState& state) {
  state = view.Known;
  std::array<int, kMaxCardsInPlay> cards;
  std::copy(view.Unseen.begin(), view.Unseen.end(), cards.begin());
  for (int i = static_cast<int>(view.Unseen.size()) - 1; i > 0; --i)
    std::swap(cards[static_cast<std::size_t>(i)],
              cards[static_cast<std::size_t>(chance.Below(i + 1))]);
  const int opponent = OpponentOf(view.Me);

  // The opponent's part, in card-number order into the slots his unseen cards hold.
  const auto split = cards.begin() + view.OpponentUnseen;
  std::sort(cards.begin(), split);
  auto next = cards.begin();
  SeatCardSet& seat = state.SeatOf(opponent);
  for (std::size_t slot = 0; slot < seat.Hand.size(); ++slot) {
    if (seat.Hand[slot] != kUnseenCard) continue;
    const int card = *next++;
    seat.Hand[slot] = card;
    state.MoveCard(card, opponent);
    CardRecord& record = state.Card(card);
    record.ImageLeft = seat.HandSlotPos[slot].Left;
    record.ImageTop = seat.HandSlotPos[slot].Top;
  }
  for (int& card : state.DrawPile) {
    if (card == kUnseenCard) card = *next++;
  }

  // Three cards of a month not yet shown may shake or bomb, as the hand's layout marks.
  std::array<int, 18> open{};
  for (const int card : seat.Hand) {
    if (card >= 0 && state.Card(card).Location == opponent &&
        state.Card(card).ShakeMark != kShakeShown) {
      ++open[state.Card(card).Month];
    }
  }
  for (const int card : seat.Hand) {
    if (card >= 0 && state.Card(card).Location == opponent && open[state.Card(card).Month] >= 3) {
      state.Card(card).ShakeMark = kShakeCandidate;
    }
  }
}

std::uint64_t Digest(const ComputerView& view) {
  std::uint64_t hash = 0xcbf29ce484222325ULL;
  auto mix = [&hash](long long value) {
    hash = (hash ^ static_cast<std::uint64_t>(value)) * 0x100000001b3ULL;
  };
  const GameState& known = view.Known;
  mix(view.Me);
  for (int card = 0; card < known.Room.CardsInPlay; ++card) {
    const CardRecord& record = known.Card(card);
    mix(record.Location);
    mix(record.FloorSlot);
    mix(record.Kind);
  }
  for (const PlayerRecord& player : known.Players) {
    mix(player.PlayedCount);
    mix(player.Score);
    mix(player.GoCount);
    mix(player.ShakeCount);
    mix(player.PpeokCount);
  }
  for (const int card : known.DrawPile)
    mix(card);
  mix(static_cast<long long>(known.DrawPileTaken));
  mix(known.Room.MissionIndex);
  return hash;
}

}  // namespace hw::search
