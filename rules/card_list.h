#pragma once
// A short list of card numbers, in order: the cards a play meets on the floor, the stack
// it takes, the service cards flipped in a turn. Never more than a month's four cards
// and a turn's service cards, so it lives inline, without allocation.

#include <algorithm>
#include <array>
#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>

namespace hw {

class CardList {
 public:
  static constexpr int kCapacity = 16;
  using value_type = std::int8_t;
  using const_iterator = const std::int8_t*;
  using iterator = const_iterator;

  CardList() = default;
  CardList(std::initializer_list<int> cards) {
    for (const int card : cards)
      push_back(card);
  }

  void push_back(int card) {
    if (size_ == kCapacity) throw std::length_error("a card list holds 16 cards at most");
    cards_[size_++] = static_cast<std::int8_t>(card);
  }
  void clear() { size_ = 0; }
  bool empty() const { return size_ == 0; }
  std::size_t size() const { return size_; }
  int operator[](std::size_t i) const { return cards_[i]; }
  int front() const { return cards_[0]; }
  bool contains(int card) const { return std::find(begin(), end(), card) != end(); }

  const std::int8_t* begin() const { return cards_.data(); }
  const std::int8_t* end() const { return cards_.data() + size_; }

  friend bool operator==(const CardList& a, const CardList& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
  }

 private:
  std::array<std::int8_t, kCapacity> cards_{};
  std::uint8_t size_ = 0;
};

}  // namespace hw
