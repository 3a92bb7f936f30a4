#include "core/lookups.h"

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
  for (const int card : state.DrawPile) {
    if (card != kNoCard) return card;
  }
  return kNoCard;
}

int NextDrawCard(GameState& state, bool remove) {
  for (int& entry : state.DrawPile) {
    if (entry == kNoCard) continue;
    const int card = entry;
    if (remove) entry = kNoCard;
    return card;
  }
  return kNoCard;
}

std::string FloorMatch::ToText() const {
  return std::string(1, static_cast<char>('0' + Slot / 10)) + static_cast<char>('0' + Slot % 10) +
         std::to_string(Count);
}

FloorMatch FloorMatchInfo(const GameState& state, int card) {
  const int month = state.Card(card).Month;
  FloorMatch match;
  int lastSlot = -1;
  for (int c = 0; c < state.Room.CardsInPlay; ++c) {
    const CardRecord& record = state.Card(c);
    if (record.Location == kOnFloor && record.FloorSlot != -1 && record.Month == month) {
      ++match.Count;
      lastSlot = record.FloorSlot;
    }
  }
  match.Slot = match.Count > 0 ? lastSlot : FirstFreeSlot(state);
  return match;
}

CardList FloorMatchList(const GameState& state, int card) {
  const int month = state.Card(card).Month;
  CardList cards;
  for (int c = 0; c < state.Room.CardsInPlay; ++c) {
    const CardRecord& record = state.Card(c);
    if (record.Location == kOnFloor && record.FloorSlot != -1 && record.Month == month) {
      cards.push_back(c);
    }
  }
  return cards;
}

int FirstFreeSlot(const GameState& state) {
  for (int slot = 0; slot < kFloorSlots; ++slot) {
    if (state.FloorSlots[slot].Used == 0) return slot;
  }
  return 0;
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

}  // namespace hw
