#pragma once
// The game's one source of chance: the shuffle and the mission of each hand. Seeded
// once (from the system's entropy, or by a test or the simulator to replay a game);
// its numbers are the same on every machine for the same seed.

#include <cstdint>
#include <random>
#include <span>

namespace hw {

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
  std::mt19937_64 engine_;
};

}  // namespace hw
