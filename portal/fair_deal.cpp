#include "portal/fair_deal.h"

#include <algorithm>

#include "platform/digest.h"

namespace hw::portal {
namespace {

bool IsLowerHex(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

}  // namespace

bool IsServerSeed(std::string_view text) {
  return text.size() == kServerSeedLength && IsLowerHex(text);
}

bool IsGameSeed(std::string_view text) {
  return !text.empty() && text.size() <= kMaxGameSeedLength && IsLowerHex(text);
}

std::string SeedCommitment(std::string_view serverSeed) {
  return platform::Sha256Hex(serverSeed);
}

SeededDeal FairDeal(std::string_view serverSeed, std::string_view gameSeed, std::string_view handId,
                    int serviceCards) {
  std::string material(serverSeed);
  material += ':';
  material += gameSeed;
  material += ':';
  material += handId;
  return DealFrom(GameRandom::FromBytes(platform::Sha256(material)), serviceCards);
}

std::string DeckCommitment(std::string_view deck) {
  return platform::Sha256Hex(deck);
}

}  // namespace hw::portal
