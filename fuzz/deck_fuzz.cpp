// Feeds arbitrary deck texts to the deal, as the portal's deal reply and hwatable-sim
// --deck bring them. A deck is either refused, with the same reason by the check and by
// the deal itself, or dealt; a dealt deck plays to the end of its hand.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "fuzz/check.h"
#include "replay/table.h"
#include "rules/deal.h"
#include "rules/game_state.h"

using hw::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  if (input.empty()) return 0;
  // The first byte is the number of service cards, the rest the deck.
  const int service = static_cast<unsigned char>(input.front()) % 6;
  const std::string_view deck = input.substr(1);

  const std::string problem = hw::DeckTextProblem(deck, hw::kMonthCards + service);
  hw::GameState state;
  state.Room.CardsInPlay = hw::kMonthCards + service;
  std::string refused;
  try {
    hw::Deal(state, deck);
  } catch (const std::invalid_argument& error) {
    refused = error.what();
  }
  Check(refused.empty() == problem.empty(), "the deal refuses what the check refuses", input);
  if (!problem.empty()) {
    Check(refused.find(problem) != std::string::npos, "the deal gives the check's reason", input);
    return 0;
  }
  const hw::replay::Member member{.Name = "fuzz", .Money = "1000000000"};
  const hw::replay::DealtHand hand{.Deck = std::string(deck), .ServiceCards = service};
  std::string why;
  Check(hw::replay::PlayIdle(member, hand, why).has_value(), "a dealt deck plays to its end",
        input);
  return 0;
}
