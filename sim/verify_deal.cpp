#include "sim/verify_deal.h"

#include "portal/fair_deal.h"
#include "rules/card_table.h"
#include "rules/missions_ranks.h"

namespace hw::sim {
namespace {

// "12(4월)" for a month card, "50(서비스)" for a service card.
std::string CardLabel(int card) {
  const int month = MonthOfCardNumber(card);
  return std::to_string(card) +
         (month <= 12 ? "(" + std::to_string(month) + "월)" : std::string("(서비스)"));
}

std::string Cards(const std::string& deck, const std::vector<int>& positions) {
  std::string text;
  for (const int position : positions) {
    if (!text.empty()) text += ' ';
    const std::size_t at = static_cast<std::size_t>(2 * position);
    text += CardLabel((deck[at] - '0') * 10 + (deck[at + 1] - '0'));
  }
  return text;
}

std::vector<int> Range(int first, int count) {
  std::vector<int> positions;
  for (int i = 0; i < count; ++i)
    positions.push_back(first + i);
  return positions;
}

}  // namespace

int VerifyDeal(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() != 4) {
    err << "hwatable-sim: --verify-deal wants SERVER_SEED GAME_SEED HAND_ID SERVICE_CARDS\n";
    return 2;
  }
  const std::string& serverSeed = args[0];
  const std::string& gameSeed = args[1];
  const std::string& handId = args[2];
  const std::string& service = args[3];
  if (!portal::IsServerSeed(serverSeed)) {
    err << "hwatable-sim: the server seed is 64 lower-case hex digits, as the portal shows it\n";
    return 2;
  }
  if (!portal::IsGameSeed(gameSeed)) {
    err << "hwatable-sim: the game's seed is 1 to 64 lower-case hex digits, as the portal "
           "shows it\n";
    return 2;
  }
  if (handId.empty() || handId.size() > 18 ||
      handId.find_first_not_of("0123456789") != std::string::npos) {
    err << "hwatable-sim: the hand's number is a whole number, not \"" << handId << "\"\n";
    return 2;
  }
  if (service.size() != 1 || service[0] < '0' || service[0] > '5') {
    err << "hwatable-sim: the number of service cards is 0 to 5, not \"" << service << "\"\n";
    return 2;
  }
  const SeededDeal deal = portal::FairDeal(serverSeed, gameSeed, handId, service[0] - '0');
  GameState missions;
  BuildMissionTable(missions);

  // The deal's order: four cards to the floor, five to each hand (the one who plays
  // second first), four more to the floor, five more to each hand; the rest is the pile.
  std::vector<int> floor = Range(0, 4), second = Range(4, 5), first = Range(9, 5);
  for (const int p : Range(14, 4))
    floor.push_back(p);
  for (const int p : Range(18, 5))
    second.push_back(p);
  for (const int p : Range(23, 5))
    first.push_back(p);
  const int cards = static_cast<int>(deal.Deck.size() / 2);

  out << "server seed commitment: " << portal::SeedCommitment(serverSeed) << "\n"
      << "deck: " << deal.Deck << "\n"
      << "deck commitment: " << portal::DeckCommitment(deal.Deck) << "\n"
      << "mission: " << deal.Mission << " " << missions.Missions[deal.Mission].Name << "\n"
      << "floor: " << Cards(deal.Deck, floor) << "\n"
      << "first player's hand: " << Cards(deal.Deck, first) << "\n"
      << "second player's hand: " << Cards(deal.Deck, second) << "\n"
      << "draw pile, top first: " << Cards(deal.Deck, Range(28, cards - 28)) << "\n";
  return 0;
}

}  // namespace hw::sim
