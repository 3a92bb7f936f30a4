#include "rules/random.h"

#include <array>
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

namespace {

__extension__ using Wide = unsigned __int128;

// For the small bounds of a shuffle, both the rejection threshold (2^64 mod bound) and
// the remainder are found without a division: a remainder by multiplying with a
// precomputed 128-bit reciprocal, exact for every 64-bit number (Lemire, Kaser and
// Kurz, "Faster remainder by direct computation", 2019).
constexpr int kSmallBounds = 64;

struct SmallBound {
  std::uint64_t threshold = 0;  // 2^64 mod bound
  Wide reciprocal = 0;          // ceil(2^128 / bound), 0 for 1 (as 2^128 wraps)
};

constexpr std::array<SmallBound, kSmallBounds + 1> kSmallBoundTable = [] {
  std::array<SmallBound, kSmallBounds + 1> table{};
  for (std::uint64_t bound = 1; bound <= kSmallBounds; ++bound) {
    table[bound].threshold = (0 - bound) % bound;
    table[bound].reciprocal = ~Wide{0} / bound + 1;
  }
  return table;
}();

std::uint64_t Remainder(std::uint64_t x, const SmallBound& small, std::uint64_t bound) {
  const Wide fraction = small.reciprocal * x;  // the fraction x / bound, in 128 bits
  // The integer part of fraction * bound / 2^128 is the remainder.
  const Wide low = (static_cast<Wide>(static_cast<std::uint64_t>(fraction)) * bound) >> 64;
  return static_cast<std::uint64_t>((low + (fraction >> 64) * bound) >> 64);
}

}  // namespace

int GameRandom::Below(int bound) {
  if (bound <= 0) throw std::invalid_argument("GameRandom::Below needs a positive bound");
  // Rejecting the lowest (2^64 mod bound) outputs leaves a range that divides evenly.
  const auto range = static_cast<std::uint64_t>(bound);
  if (bound <= kSmallBounds) {
    const SmallBound& small = kSmallBoundTable[range];
    std::uint64_t x = engine_();
    while (x < small.threshold)
      x = engine_();
    return static_cast<int>(Remainder(x, small, range));
  }
  const std::uint64_t threshold = (0 - range) % range;
  std::uint64_t x = engine_();
  while (x < threshold)
    x = engine_();
  return static_cast<int>(x % range);
}

}  // namespace hw
