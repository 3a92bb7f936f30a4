#pragma once
// How the portal deals a hand so that the member can check afterwards that it was not
// chosen against him.
//
// The portal holds a secret server seed and publishes its SHA-256 before dealing with
// it; the game sends a seed of its own with every request for a hand. A hand's deck and
// mission come from the SHA-256 of "<server seed>:<game's seed>:<hand id>": the portal
// cannot pick the game's seed, the game cannot know the server seed. Once the portal
// has moved on to a new server seed it reveals the old one, and anyone can deal every
// hand of that seed again (hwatable-sim --verify-deal) and compare.

#include <string>
#include <string_view>

#include "rules/deal.h"

namespace hw::portal {

// A server seed: 64 lower-case hex digits (256 random bits).
inline constexpr std::size_t kServerSeedLength = 64;
bool IsServerSeed(std::string_view text);
// The game's seed: 1 to 64 lower-case hex digits.
inline constexpr std::size_t kMaxGameSeedLength = 64;
bool IsGameSeed(std::string_view text);

// What the portal publishes before dealing from a server seed: its SHA-256, in hex.
std::string SeedCommitment(std::string_view serverSeed);

// The hand dealt from these seeds for this many service cards (0..5).
SeededDeal FairDeal(std::string_view serverSeed, std::string_view gameSeed, std::string_view handId,
                    int serviceCards);

// What the portal shows of a dealt hand before its server seed is revealed: the SHA-256
// of its deck text.
std::string DeckCommitment(std::string_view deck);

}  // namespace hw::portal
