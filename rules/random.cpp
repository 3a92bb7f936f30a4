#include "rules/random.h"

#include <array>
#include <stdexcept>
#include <vector>

namespace hw {

namespace {

constexpr std::uint64_t kUpperBits = ~std::uint64_t{0} << 31;
constexpr std::uint64_t kTwist = 0xb5026f5aa96619e9ULL;

// A word of the next state from the word itself, its successor and the word 156 on.
constexpr std::uint64_t Twisted(std::uint64_t word, std::uint64_t successor, std::uint64_t far) {
  const std::uint64_t y = (word & kUpperBits) | (successor & ~kUpperBits);
  return far ^ (y >> 1) ^ ((0 - (y & 1)) & kTwist);
}

}  // namespace

MersenneTwister64::MersenneTwister64(std::uint64_t seed) {
  state_[0] = seed;
  for (std::size_t i = 1; i < kWords; ++i) {
    const std::uint64_t previous = state_[i - 1];
    state_[i] = 6364136223846793005ULL * (previous ^ (previous >> 62)) + i;
  }
}

MersenneTwister64::MersenneTwister64(std::seed_seq& seeds) {
  std::array<std::uint32_t, 2 * kWords> words;
  seeds.generate(words.begin(), words.end());
  bool allZero = true;
  for (std::size_t i = 0; i < kWords; ++i) {
    state_[i] = words[2 * i] | static_cast<std::uint64_t>(words[2 * i + 1]) << 32;
    allZero = allZero && (i == 0 ? (state_[0] & kUpperBits) == 0 : state_[i] == 0);
  }
  if (allZero) state_[0] = std::uint64_t{1} << 63;
}

void MersenneTwister64::Renew() {
  constexpr std::size_t kShift = 156;
  for (std::size_t i = 0; i < kWords - kShift; ++i)
    state_[i] = Twisted(state_[i], state_[i + 1], state_[i + kShift]);
  for (std::size_t i = kWords - kShift; i < kWords - 1; ++i)
    state_[i] = Twisted(state_[i], state_[i + 1], state_[i + kShift - kWords]);
  state_[kWords - 1] = Twisted(state_[kWords - 1], state_[0], state_[kShift - 1]);
  next_ = 0;
}

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
