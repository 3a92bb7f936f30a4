#pragma once
// Checks that must hold at every moment of a hand: every card in exactly one place, the
// capture piles agreeing with where the cards are, and scores agreeing with the piles.

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <string>

#include "hand/after_turn.h"
#include "rules/game_state.h"

namespace hw::testing {

// Returns a description of the first broken invariant, or "" when all hold.
inline std::string BrokenInvariant(const GameState& state, bool betweenTurns) {
  const int inPlay = state.Room.CardsInPlay;
  std::map<int, int> pileCount;
  for (int card : state.DrawPile) {
    if (card != kNoCard) ++pileCount[card];
  }
  for (int player = 0; player < kPlayers; ++player) {
    const SeatCardSet& seat = state.SeatOf(player);
    for (int kind = kBright; kind <= kJunk; ++kind) {
      for (int i = 0; i < seat.CapturedCountByKind[kind]; ++i) {
        const int card = seat.Captured[kind][i];
        if (card < 0 || card >= inPlay) return "bad card in a pile";
        if (state.Card(card).Location != CapturedBy(player)) {
          return "card " + std::to_string(card) + " in player " + std::to_string(player) +
                 "'s pile has location " + std::to_string(state.Card(card).Location);
        }
        if (state.Card(card).Kind != kind)
          return "card " + std::to_string(card) + " in the wrong pile";
        if (++pileCount[card] > 1) return "card " + std::to_string(card) + " listed twice";
      }
    }
  }
  // The set of every place holds exactly the cards placed there.
  for (const int location :
       {kInDrawPile, kHuman, kComputer, kOnFloor, CapturedBy(kHuman), CapturedBy(kComputer)}) {
    CardSet placed = 0;
    for (int card = 0; card < kMaxCardsInPlay; ++card) {
      if (state.Card(card).Location == location) placed |= CardBit(card);
    }
    if (placed != state.CardsAt(location)) {
      return "the set of the cards at " + std::to_string(location) + " differs from their places";
    }
  }
  for (int card = 0; card < inPlay; ++card) {
    const int location = state.Card(card).Location;
    const bool listed = pileCount.count(card) > 0;
    if (location == kInDrawPile && !listed) return "card " + std::to_string(card) + " lost";
    if (location >= CapturedBy(0) && !listed) {
      return "captured card " + std::to_string(card) + " in no pile";
    }
    if ((location == kHuman || location == kComputer || location == kOnFloor) && listed) {
      return "card " + std::to_string(card) + " in two places";
    }
  }
  if (betweenTurns) {
    for (int player = 0; player < kPlayers; ++player) {
      const PlayerRecord& who = state.Player(player);
      const ScoreFigures f = ComputeScore(state, player);
      if (f.Score != who.Score) {
        return "player " + std::to_string(player) + " has " + std::to_string(who.Score) +
               " points, the piles give " + std::to_string(f.Score);
      }
      int held = 0;
      for (int card = 0; card < inPlay; ++card)
        held += state.Card(card).Location == player;
      for (const BombCard b : state.BombCards[player])
        held += b == BombCard::kAvailable;
      int expected = 10 - who.PlayedCount + (state.Room.TurnPlayer == player ? 1 : 0);
      if (held != expected) {
        return "player " + std::to_string(player) + " holds " + std::to_string(held) +
               " cards and bomb cards with " + std::to_string(expected) + " turns left";
      }
    }
  }
  return "";
}

}  // namespace hw::testing
