#pragma once
// The game's one source of chance: the shuffle and the mission of each hand. Seeded
// once (from the system's entropy, or by a test or the simulator to replay a game);
// its numbers are the same on every machine for the same seed.

#include <array>
#include <cstddef>
#include <cstdint>
#include <random>
#include <span>

namespace hw {

// The 64-bit Mersenne Twister: the numbers of std::mt19937_64 from the same seeds, with
// its state renewed by a loop the compiler can run two words at a time.
class MersenneTwister64 {
 public:
  explicit MersenneTwister64(std::uint64_t seed);
  // As std::mt19937_64 is seeded from a std::seed_seq.
  explicit MersenneTwister64(std::seed_seq& seeds);

  std::uint64_t operator()() {
    if (next_ == kWords) Renew();
    std::uint64_t z = state_[next_++];
    z ^= (z >> 29) & 0x5555555555555555ULL;
    z ^= (z << 17) & 0x71d67fffeda60000ULL;
    z ^= (z << 37) & 0xfff7eee000000000ULL;
    return z ^ (z >> 43);
  }

 private:
  static constexpr std::size_t kWords = 312;
  void Renew();
  std::array<std::uint64_t, kWords> state_;
  std::size_t next_ = kWords;
};

class GameRandom {
 public:
  explicit GameRandom(std::uint64_t seed) : engine_(seed) {}
  static GameRandom FromEntropy();
  // Seeded with every bit of `bytes` (a 256-bit digest, say), read as little-endian
  // 32-bit words through std::seed_seq, whose mixing the standard fixes.
  static GameRandom FromBytes(std::span<const std::uint8_t> bytes);

  // A whole number from 0 to bound - 1, each equally likely. bound must be positive.
  int Below(int bound);

 private:
  explicit GameRandom(std::seed_seq& seeds) : engine_(seeds) {}
  MersenneTwister64 engine_;
};

}  // namespace hw
