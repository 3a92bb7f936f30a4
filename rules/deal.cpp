#include "rules/deal.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstring>
#include <stdexcept>

#include "rules/lookups.h"
#include "rules/missions_ranks.h"

namespace hw {
namespace {

// Characters of a deck as a message may quote them: printable ASCII as it is, any other
// byte as \xHH, so that a damaged deck cannot end the message or write into a log.
std::string Quoted(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string shown;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F && c != '\\') {
      shown += c;
    } else {
      shown += "\\x";
      shown += kHex[byte >> 4];
      shown += kHex[byte & 0xF];
    }
  }
  return shown;
}

int TwoDigits(std::string_view deckText, int position) {
  return (deckText[2 * position] - '0') * 10 + (deckText[2 * position + 1] - '0');
}

void DealToHand(GameState& state, int player, int firstSlot, int& position) {
  for (int slot = firstSlot; slot < firstSlot + 5; ++slot, ++position) {
    const int card = state.DrawPile[position];
    state.MoveCard(card, player);
    state.SeatOf(player).Hand[slot] = card;
    state.DrawPile[position] = kNoCard;
  }
}

void DealToFloor(GameState& state, int firstSlot, int& position) {
  for (int slot = firstSlot; slot < firstSlot + 4; ++slot, ++position) {
    state.MoveCard(state.DrawPile[position], kOnFloor);
    CardRecord& card = state.Card(state.DrawPile[position]);
    card.StackLevel = 0;
    card.FloorSlot = slot;
    state.FloorSlots[slot].Used = 1;
    state.DrawPile[position] = kNoCard;
  }
}

}  // namespace

void ClearHandFigures(PlayerRecord& player) {
  player.PlayedCount = 0;
  player.GoCount = 0;
  player.ScoreAtLastGo = 0;
  player.Score = 0;
  player.ShakeCount = 0;
  player.PpeokCount = 0;
  player.SevenAnimals = 0;
  player.BrightScore = 0;
  player.JunkScore = 0;
  player.JunkValue = 0;
  player.BrightCount = 0;
  player.JunkCount = 0;
  player.CapturedCount = 0;
  player.GodoriShown = false;
  player.ChungdanShown = false;
  player.ChodanShown = false;
  player.HongdanShown = false;
}

void SetUpPlayer(GameState& state, int index, std::string_view name, std::string_view voiceFolder,
                 std::string_view money, int avatar, std::string_view wins, std::string_view losses,
                 std::string_view draws, int seat, std::string_view missionCount) {
  PlayerRecord& player = state.Player(index);
  player.Name = name;
  player.VoiceFolder = voiceFolder;
  player.Money = money;
  player.Avatar = avatar;
  player.Wins = wins;
  player.Losses = losses;
  player.Draws = draws;
  player.Seat = seat;
  player.MissionCount = missionCount;
  ClearHandFigures(player);
}

void SeatLoggedInPlayer(GameState& state) {
  const PlayerInfoRecord& info = state.PlayerInfo;
  SetUpPlayer(state, kHuman, info.Name, info.VoiceFolder, info.Money, info.Avatar, info.Wins,
              info.Losses, info.Draws, kHumanSeat, info.MissionCount);
  RoomRecord& room = state.Room;
  room.OwnerName = info.Name;
  room.LastTurnBonus = 0;
  room.ThreePpeokRule = 1;
  room.SelfPpeokRule = 1;
  room.SeonName = info.Name;
  room.HandRunning = false;
}

std::string_view ShuffleInto(int serviceCards, GameRandom& random, DeckTextBuffer& text) {
  if (serviceCards < 0 || serviceCards > kMaxServiceCards) {
    throw std::invalid_argument("the number of service cards must be 0 to 5");
  }
  const int n = kMonthCards + serviceCards;
  // Fisher-Yates from the last card down. The places drawn do not depend on the deck, so
  // they are all drawn first: the swaps then do not wait for each draw.
  std::array<int, kMaxCardsInPlay> drawn;
  for (int i = n - 1; i > 0; --i)
    drawn[i] = random.Below(i + 1);
  std::array<int, kMaxCardsInPlay> deck;
  for (int i = 0; i < n; ++i)
    deck[i] = i;
  for (int i = n - 1; i > 0; --i)
    std::swap(deck[i], deck[drawn[i]]);

  // Each card's two digits are copied from a table of them all ("00" to "52").
  static constexpr auto kDigitPairs = [] {
    std::array<char, 2 * kMaxCardsInPlay> pairs{};
    for (int card = 0; card < kMaxCardsInPlay; ++card) {
      pairs[2 * card] = static_cast<char>('0' + card / 10);
      pairs[2 * card + 1] = static_cast<char>('0' + card % 10);
    }
    return pairs;
  }();
  for (int i = 0; i < n; ++i)
    std::memcpy(&text[2 * i], &kDigitPairs[2 * deck[i]], 2);
  return {text.data(), static_cast<std::size_t>(2 * n)};
}

std::string Shuffle(int serviceCards, GameRandom& random) {
  DeckTextBuffer text;
  return std::string(ShuffleInto(serviceCards, random, text));
}

bool DeckTextIsValid(std::string_view deckText, int cardsInPlay) {
  if (cardsInPlay < kMonthCards || cardsInPlay > kMaxCardsInPlay ||
      deckText.size() != static_cast<std::size_t>(2 * cardsInPlay)) {
    return false;
  }
  static_assert(kMaxCardsInPlay <= 64, "one bit per card");
  std::uint64_t seen = 0;
  for (int position = 0; position < cardsInPlay; ++position) {
    const unsigned high = static_cast<unsigned char>(deckText[2 * position]) - '0';
    const unsigned low = static_cast<unsigned char>(deckText[2 * position + 1]) - '0';
    if (high > 9 || low > 9) return false;
    const unsigned card = high * 10 + low;
    if (card >= static_cast<unsigned>(cardsInPlay)) return false;
    const std::uint64_t bit = std::uint64_t{1} << card;
    if ((seen & bit) != 0) return false;
    seen |= bit;
  }
  return true;
}

std::string DeckTextProblem(std::string_view deckText, int cardsInPlay) {
  if (DeckTextIsValid(deckText, cardsInPlay)) return "";
  if (cardsInPlay < kMonthCards || cardsInPlay > kMaxCardsInPlay) {
    return "a hand is played with 48 to 53 cards, not " + std::to_string(cardsInPlay);
  }
  const auto expected = static_cast<std::size_t>(2 * cardsInPlay);
  if (deckText.size() != expected) {
    return "a deck of " + std::to_string(cardsInPlay) + " cards is " + std::to_string(expected) +
           " characters long, not " + std::to_string(deckText.size());
  }
  std::array<int, kMaxCardsInPlay> seenAt;
  seenAt.fill(-1);
  for (int position = 0; position < cardsInPlay; ++position) {
    const char high = deckText[2 * position];
    const char low = deckText[2 * position + 1];
    if (high < '0' || high > '9' || low < '0' || low > '9') {
      return "the card at position " + std::to_string(position + 1) + " (\"" +
             Quoted(deckText.substr(2 * position, 2)) + "\") is not two digits";
    }
    const int card = TwoDigits(deckText, position);
    if (card >= cardsInPlay) {
      return "card " + std::to_string(card) + " at position " + std::to_string(position + 1) +
             " is not in play (cards 0 to " + std::to_string(cardsInPlay - 1) + ")";
    }
    if (seenAt[card] >= 0) {
      return "card " + std::to_string(card) + " appears twice, at positions " +
             std::to_string(seenAt[card] + 1) + " and " + std::to_string(position + 1);
    }
    seenAt[card] = position;
  }
  return "";
}

void Deal(GameState& state, std::string_view deckText) {
  const int cardsInPlay = state.Room.CardsInPlay;
  if (!DeckTextIsValid(deckText, cardsInPlay)) {
    throw std::invalid_argument("cannot deal this deck: " + DeckTextProblem(deckText, cardsInPlay));
  }
  DealCheckedDeck(state, deckText);
}

void DealCheckedDeck(GameState& state, std::string_view deckText) {
  const int cardsInPlay = state.Room.CardsInPlay;
  assert(DeckTextIsValid(deckText, cardsInPlay));
  state.GatherCards();  // the cards not dealt stay in the draw pile
  state.DrawPile.assign(static_cast<std::size_t>(cardsInPlay), kNoCard);
  for (int i = 0; i < cardsInPlay; ++i) {
    state.DrawPile[i] = TwoDigits(deckText, i);
    state.Card(i).StackLevel = 0;
    state.Card(i).FloorSlot = -1;
  }
  state.DealtOrder = state.DrawPile;

  const int first = PlayerByOrder(state, 1);
  const int second = PlayerByOrder(state, 2);
  int position = 0;
  DealToFloor(state, 0, position);
  DealToHand(state, second, 0, position);
  DealToHand(state, first, 0, position);
  DealToFloor(state, 4, position);
  DealToHand(state, second, 5, position);
  DealToHand(state, first, 5, position);
  state.DrawPileTaken = static_cast<std::size_t>(position);
}

SeededDeal DealFrom(GameRandom random, int serviceCards) {
  SeededDeal deal;
  deal.Deck = Shuffle(serviceCards, random);
  deal.Mission = RandomMission(random);
  return deal;
}

}  // namespace hw
