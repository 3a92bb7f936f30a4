#include "rules/lookups.h"

#include <bit>
#include <cstdint>

namespace hw {

int PlayerByOrder(const GameState& state, int order) {
  for (int player = 0; player < kPlayers; ++player) {
    if (state.Player(player).TurnOrder == order) return player;
  }
  return 0;
}

int PlayerByName(const GameState& state, std::string_view name) {
  for (int player = 0; player < kPlayers; ++player) {
    if (state.Player(player).Name == name) return player;
  }
  return 0;
}

int OpponentOf(int player) {
  return player == kHuman ? kComputer : kHuman;
}

int PeekDrawCard(const GameState& state) {
  for (std::size_t i = state.DrawPileTaken; i < state.DrawPile.size(); ++i) {
    if (state.DrawPile[i] != kNoCard) return state.DrawPile[i];
  }
  return kNoCard;
}

int NextDrawCard(GameState& state, bool remove) {
  for (std::size_t i = state.DrawPileTaken; i < state.DrawPile.size(); ++i) {
    const int card = state.DrawPile[i];
    if (card == kNoCard) continue;
    if (remove) {
      state.DrawPile[i] = kNoCard;
      state.DrawPileTaken = i + 1;
    }
    return card;
  }
  return kNoCard;
}

// Only month cards share a month, four to a month in card-number order; a service
// card's pseudo-month is its own.
template <typename Visit>
void ForEachFloorCardOfMonth(const GameState& state, int card, Visit visit) {
  if (card >= kMonthCards) return;
  for (CardSet rest = state.CardsAt(kOnFloor) & MonthCardSet(state.Card(card).Month); rest != 0;
       rest &= rest - 1) {
    const int c = std::countr_zero(rest);
    const CardRecord& record = state.Card(c);
    if (record.FloorSlot != -1) visit(c, record);
  }
}

FloorMatch FloorMatchInfo(const GameState& state, int card) {
  FloorMatch match;
  int lastSlot = -1;
  ForEachFloorCardOfMonth(state, card, [&](int c, const CardRecord& record) {
    ++match.Count;
    match.Cards.push_back(c);
    lastSlot = record.FloorSlot;
  });
  match.Slot = match.Count > 0 ? lastSlot : FirstFreeSlot(state);
  return match;
}

CardList FloorMatchList(const GameState& state, int card) {
  CardList cards;
  ForEachFloorCardOfMonth(state, card, [&](int c, const CardRecord&) { cards.push_back(c); });
  return cards;
}

int FirstFreeSlot(const GameState& state) {
  // Every slot is looked at: which ones are free is chance, and a loop that stops at the
  // first is mispredicted as often as not.
  std::uint32_t free = 0;
  for (int slot = 0; slot < kFloorSlots; ++slot)
    free |= std::uint32_t{state.FloorSlots[slot].Used == 0} << slot;
  return free != 0 ? std::countr_zero(free) : 0;
}

int CardInSlot(const GameState& state, int slot) {
  for (int c = 0; c < state.Room.CardsInPlay; ++c) {
    if (state.Card(c).FloorSlot == slot) return c;
  }
  return 0;
}

std::string CardListText(const CardList& cards) {
  std::string text;
  for (const int card : cards)
    text += std::to_string(card) + ",";
  return text;
}

bool FloorHasMonth(const GameState& state, int card) {
  return (state.CardsAt(kOnFloor) & MonthCardSet(state.Card(card).Month)) != 0;
}

}  // namespace hw
