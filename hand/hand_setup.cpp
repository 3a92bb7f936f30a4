#include "hand/hand_setup.h"

#include <algorithm>
#include <bit>

#include "hand/after_turn.h"
#include "hand/capture.h"
#include "hand/glide.h"
#include "rules/card_table.h"
#include "rules/deal.h"
#include "rules/lookups.h"

namespace hw {
namespace {

// Service cards lying on the floor go to 선; returns how many there were.
int TakeServiceCardsFromFloor(Game& game, int seon) {
  GameState& state = game.state;
  int taken = 0;
  for (CardSet rest = state.CardsAt(kOnFloor) & ~kMonthCardSet; rest != 0; rest &= rest - 1) {
    const int card = std::countr_zero(rest);
    CardRecord& record = state.Card(card);
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
  state.MoveCard(card, kOnFloor);
  CardRecord& record = state.Card(card);
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
  const CardSet inPlay = CardBit(state.Room.CardsInPlay) - 1;
  for (CardSet rest = state.CardsAt(kOnFloor) & inPlay; rest != 0; rest &= rest - 1) {
    const int card = std::countr_zero(rest);
    CardRecord& record = state.Card(card);
    if (previous != kNoCard && state.Card(previous).Month == record.Month) {
      const CardRecord& below = state.Card(previous);
      record.FloorSlot = below.FloorSlot;
      record.StackLevel = below.StackLevel + 1;
      record.ImageLeft = below.ImageLeft + kStackStep.Left;
      record.ImageTop = below.ImageTop + kStackStep.Top;
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

void SetUpBothPlayers(Game& game) {
  GameState& state = game.state;
  const PlayerInfoRecord& info = state.PlayerInfo;
  SetUpPlayer(state, kHuman, info.Name, info.VoiceFolder, info.Money, info.Avatar, info.Wins,
              info.Losses, info.Draws, kHumanSeat, info.MissionCount);
  SetUpPlayer(state, kComputer, kComputerName, "F", "1000000", 1, "0", "0", "0", kComputerSeat,
              "0");
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
  room.HandRunning = false;
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
  state.GatherCards();
  const bool seen = game.board.Seen();
  for (int card = 0; card < kMaxCardsInPlay; ++card) {
    CardRecord& record = state.Card(card);
    record.ShakeMark = kShakeNone;
    record.StackLevel = 0;
    record.FloorSlot = -1;
    if (seen) game.board.HideCard(card);
  }
  state.StackMonthTag.fill(-1);
  state.Room.SeptemberChoicePending = true;
}

void AssignTurnOrder(Game& game, std::string_view seonName) {
  for (PlayerRecord& player : game.state.Players) {
    player.TurnOrder = player.Name == seonName ? 1 : 2;
    player.PlayedCount = 0;
  }
  game.Log({"<", seonName, ">님을 게임[선]으로 시작합니다"});
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
