#include "rules/random.h"

#include <stdexcept>

namespace hw {

GameRandom GameRandom::FromEntropy() {
  std::random_device device;
  const std::uint64_t high = device();
  return GameRandom((high << 32) ^ device());
}

int GameRandom::Below(int bound) {
  if (bound <= 0) throw std::invalid_argument("GameRandom::Below needs a positive bound");
  // Rejecting the lowest (2^64 mod bound) outputs leaves a range that divides evenly.
  const auto range = static_cast<std::uint64_t>(bound);
  const std::uint64_t threshold = (0 - range) % range;
  std::uint64_t x = engine_();
  while (x < threshold)
    x = engine_();
  return static_cast<int>(x % range);
}

}  // namespace hw
