#pragma once
// Builds deck texts that put chosen cards in chosen places, so that a test reads like
// the table it sets up:
//
//   std::string deck = DeckFor(48)
//       .Floor({0, 4, 8, 12, 16, 20, 24, 28})   // floor slots 0..7
//       .FirstHand({1, 5, 9, ...})               // 선's ten cards, hand slots 0..9
//       .SecondHand({...})
//       .Pile({40, 44})                          // the first cards to be flipped
//       .Text();
//
// Cards not named anywhere fill the rest of the pile in card-number order.

#include <stdexcept>
#include <string>
#include <vector>

namespace hw::testing {

class DeckFor {
 public:
  explicit DeckFor(int cardsInPlay) : cardsInPlay_(cardsInPlay) {}
  DeckFor& Floor(std::vector<int> cards) {
    floor_ = std::move(cards);
    return *this;
  }
  DeckFor& FirstHand(std::vector<int> cards) {
    first_ = std::move(cards);
    return *this;
  }
  DeckFor& SecondHand(std::vector<int> cards) {
    second_ = std::move(cards);
    return *this;
  }
  DeckFor& Pile(std::vector<int> cards) {
    pile_ = std::move(cards);
    return *this;
  }

  std::string Text() const {
    std::vector<int> used(static_cast<std::size_t>(cardsInPlay_), 0);
    for (const auto* list : {&floor_, &first_, &second_, &pile_}) {
      for (int card : *list)
        used.at(static_cast<std::size_t>(card))++;
    }
    std::vector<int> spare;
    for (int card = 0; card < cardsInPlay_; ++card) {
      if (used[card] > 1) throw std::logic_error("card named twice: " + std::to_string(card));
      if (used[card] == 0) spare.push_back(card);
    }
    auto take = [&spare](const std::vector<int>& wanted, std::size_t i) {
      if (i < wanted.size()) return wanted[i];
      const int card = spare.front();
      spare.erase(spare.begin());
      return card;
    };
    std::vector<int> order;
    for (std::size_t i = 0; i < 4; ++i)
      order.push_back(take(floor_, i));
    for (std::size_t i = 0; i < 5; ++i)
      order.push_back(take(second_, i));
    for (std::size_t i = 0; i < 5; ++i)
      order.push_back(take(first_, i));
    for (std::size_t i = 4; i < 8; ++i)
      order.push_back(take(floor_, i));
    for (std::size_t i = 5; i < 10; ++i)
      order.push_back(take(second_, i));
    for (std::size_t i = 5; i < 10; ++i)
      order.push_back(take(first_, i));
    for (int card : pile_)
      order.push_back(card);
    for (int card : spare)
      order.push_back(card);

    std::string text;
    for (int card : order) {
      text += static_cast<char>('0' + card / 10);
      text += static_cast<char>('0' + card % 10);
    }
    return text;
  }

 private:
  int cardsInPlay_;
  std::vector<int> floor_, first_, second_, pile_;
};

// A quiet hand: one junk of each month 1..8 on the floor; 선 holds one card of each month
// 1..10, the other player another; no chongtong, no three of a month in either hand. The
// service cards, if any, lie at the bottom of the pile.
inline std::string QuietDeck(int cardsInPlay = 48) {
  return DeckFor(cardsInPlay)
      .Floor({2, 6, 10, 14, 18, 22, 26, 30})
      .FirstHand({0, 4, 8, 12, 16, 20, 24, 28, 32, 36})
      .SecondHand({1, 5, 9, 13, 17, 21, 25, 29, 33, 37})
      .Text();
}

}  // namespace hw::testing
