#include "rules/random.h"

#include <stdexcept>
#include <vector>

namespace hw {

GameRandom GameRandom::FromEntropy() {
  std::random_device device;
  const std::uint64_t high = device();
  return GameRandom((high << 32) ^ device());
}

GameRandom GameRandom::FromBytes(std::span<const std::uint8_t> bytes) {
  std::vector<std::uint32_t> words((bytes.size() + 3) / 4, 0);
  for (std::size_t i = 0; i < bytes.size(); ++i)
    words[i / 4] |= static_cast<std::uint32_t>(bytes[i]) << (8 * (i % 4));
  std::seed_seq seeds(words.begin(), words.end());
  return GameRandom(seeds);
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
