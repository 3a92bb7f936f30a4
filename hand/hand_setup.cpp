#include "hand/hand_setup.h"

#include <algorithm>
#include <array>
#include <stdexcept>

#include "hand/capture.h"
#include "hand/glide.h"
#include "hand/score.h"
#include "rules/card_table.h"
#include "rules/lookups.h"

namespace hw {
namespace {

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

int TwoDigits(std::string_view deckText, int position) {
  return (deckText[2 * position] - '0') * 10 + (deckText[2 * position + 1] - '0');
}

void DealToHand(GameState& state, int player, int firstSlot, int& position) {
  for (int slot = firstSlot; slot < firstSlot + 5; ++slot, ++position) {
    const int card = state.DrawPile[position];
    state.Card(card).Location = player;
    state.SeatOf(player).Hand[slot] = card;
    state.DrawPile[position] = kNoCard;
  }
}

void DealToFloor(GameState& state, int firstSlot, int& position) {
  for (int slot = firstSlot; slot < firstSlot + 4; ++slot, ++position) {
    CardRecord& card = state.Card(state.DrawPile[position]);
    card.Location = kOnFloor;
    card.StackLevel = 0;
    card.FloorSlot = slot;
    state.FloorSlots[slot].Used = 1;
    state.DrawPile[position] = kNoCard;
  }
}

// Service cards lying on the floor go to 선; returns how many there were.
int TakeServiceCardsFromFloor(Game& game, int seon) {
  GameState& state = game.state;
  int taken = 0;
  for (int card = kMonthCards; card < state.Room.CardsInPlay; ++card) {
    CardRecord& record = state.Card(card);
    if (record.Location != kOnFloor) continue;
    if (record.FloorSlot >= 0) state.FloorSlots[record.FloorSlot].Used = 0;
    record.FloorSlot = -1;
    record.StackLevel = 0;
    CapturePile(game, seon, card, false);
    ++taken;
  }
  return taken;
}

void LayReplacementOnFloor(Game& game) {
  GameState& state = game.state;
  const int card = NextDrawCard(state, true);
  if (card == kNoCard) return;  // the pile always holds 20 cards or more here
  game.sound.PlayGameSound("HOLD", 1, false, "", 0.3);
  const int slot = FirstFreeSlot(state);
  CardRecord& record = state.Card(card);
  record.Location = kOnFloor;
  record.StackLevel = 0;
  record.FloorSlot = slot;
  state.FloorSlots[slot].Used = 1;
  GlideCard(game, card, {state.FloorSlots[slot].Left, state.FloorSlots[slot].Top});
  game.sound.PlayGameSound("TUCK", 3, true, "", 0.3);
}

void RegroupFloorByMonth(Game& game) {
  GameState& state = game.state;
  for (FloorSlot& slot : state.FloorSlots)
    slot.Used = 0;
  int nextSlot = 0;
  int previous = kNoCard;  // the floor card visited last
  for (int card = 0; card < state.Room.CardsInPlay; ++card) {
    CardRecord& record = state.Card(card);
    if (record.Location != kOnFloor) continue;
    if (previous != kNoCard && state.Card(previous).Month == record.Month) {
      const CardRecord& below = state.Card(previous);
      record.FloorSlot = below.FloorSlot;
      record.StackLevel = below.StackLevel + 1;
      record.ImageLeft = below.ImageLeft + 8;
      record.ImageTop = below.ImageTop + 6;
    } else {
      const FloorSlot& slot = state.FloorSlots.at(static_cast<std::size_t>(nextSlot));
      record.FloorSlot = nextSlot++;
      record.StackLevel = 0;
      record.ImageLeft = slot.Left;
      record.ImageTop = slot.Top;
    }
    state.FloorSlots[record.FloorSlot].Used = 1;
    game.board.PlaceCard(card, record.ImageLeft, record.ImageTop);
    previous = card;
  }
}

}  // namespace

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
  room.Status = 'F';
}

void SetUpBothPlayers(Game& game) {
  GameState& state = game.state;
  const PlayerInfoRecord& info = state.PlayerInfo;
  SetUpPlayer(state, kHuman, info.Name, info.VoiceFolder, info.Money, info.Avatar, info.Wins,
              info.Losses, info.Draws, kHumanSeat, info.MissionCount);
  SetUpPlayer(state, kComputer, "컴퓨터", "F", "1000000", 1, "0", "0", "0", kComputerSeat, "0");
  game.board.DrawPlayerPanel(kComputer);
}

void ResetHand(Game& game) {
  GameState& state = game.state;
  for (PlayerRecord& player : state.Players)
    ClearHandFigures(player);
  for (SeatCardSet& seat : state.SeatCards) {
    for (auto& pile : seat.Captured)
      pile.fill(kNoCard);
    seat.CapturedCountByKind.fill(0);
    seat.Hand.fill(kNoCard);
  }

  RoomRecord& room = state.Room;
  room.LastGoPlayer = -1;
  room.TurnPlayer = -1;
  room.MissionIndex = -1;
  room.Status = 'F';
  room.DialogOpen = 0;
  state.Turn = TurnState{};

  game.board.ResetBoardIndicators();
  room.MissionShown = false;

  for (FloorSlot& slot : state.FloorSlots)
    slot.Used = 0;
  state.PpeokOwner.fill(-1);
  state.Card(kSeptemberAnimal).Kind = kAnimal;
  game.board.ResetCardImages();
  // Bomb cards left over from a hand that ended early must not be played in the next.
  for (int player = 0; player < kPlayers; ++player) {
    for (int index = 0; index < kBombCards; ++index) {
      state.BombCards[player][index] = BombCard::kNotGranted;
      game.board.HideBombCard(player, index);
    }
  }
}

void ClearCardTable(Game& game) {
  GameState& state = game.state;
  // All cards, not only those of this hand: a service card of an earlier hand with more
  // service cards must not linger.
  for (int card = 0; card < kMaxCardsInPlay; ++card) {
    CardRecord& record = state.Card(card);
    record.Location = kInDrawPile;
    record.ShakeMark = kShakeNone;
    record.StackLevel = 0;
    record.FloorSlot = -1;
    game.board.HideCard(card);
  }
  state.StackMonthTag.fill(-1);
  state.Room.SeptemberChoicePending = true;
}

void AssignTurnOrder(Game& game, std::string_view seonName) {
  for (PlayerRecord& player : game.state.Players) {
    player.TurnOrder = player.Name == seonName ? 1 : 2;
    player.PlayedCount = 0;
  }
  game.Log("<" + std::string(seonName) + ">님을 게임[선]으로 시작합니다");
}

std::string Shuffle(int serviceCards, GameRandom& random) {
  if (serviceCards < 0 || serviceCards > kMaxServiceCards) {
    throw std::invalid_argument("the number of service cards must be 0 to 5");
  }
  const int n = kMonthCards + serviceCards;
  std::vector<int> deck(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i)
    deck[i] = i;
  for (int i = n - 1; i > 0; --i)
    std::swap(deck[i], deck[random.Below(i + 1)]);

  std::string text;
  text.reserve(2 * deck.size());
  for (const int card : deck) {
    text += static_cast<char>('0' + card / 10);
    text += static_cast<char>('0' + card % 10);
  }
  return text;
}

std::string DeckTextProblem(std::string_view deckText, int cardsInPlay) {
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
             std::string(deckText.substr(2 * position, 2)) + "\") is not two digits";
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
  if (const std::string problem = DeckTextProblem(deckText, cardsInPlay); !problem.empty()) {
    throw std::invalid_argument("cannot deal this deck: " + problem);
  }
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
  for (; position < cardsInPlay; ++position) {
    state.Card(state.DrawPile[position]).Location = kInDrawPile;
  }
}

void TidyFloorAfterDeal(Game& game) {
  const int seon = PlayerByOrder(game.state, 1);
  // A replacement may itself be a service card; then it goes to 선 as well.
  while (true) {
    const int taken = TakeServiceCardsFromFloor(game, seon);
    if (taken == 0) break;
    for (int i = 0; i < taken; ++i)
      LayReplacementOnFloor(game);
    CalculateScore(game, seon);
  }
  RegroupFloorByMonth(game);
}

}  // namespace hw
