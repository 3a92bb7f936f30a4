#include "hand/turn.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>

#include "hand/after_turn.h"
#include "hand/capture.h"
#include "hand/glide.h"
#include "hand/moves.h"
#include "rules/card_table.h"
#include "rules/lookups.h"
#include "rules/money.h"
#include "rules/score.h"
#include "rules/turn_rules.h"

namespace hw {
namespace {

// What taking one of the turn's two stacks found.
struct TakenStack {
  int count = 0;        // cards in the stack
  int first = kNoCard;  // its first card
};

// The player takes the stack: every card of it not yet captured, then the service cards
// that joined a ppeok of its month. The stack and its match list are emptied, and the
// card a choice left behind goes back to its slot's base.
TakenStack TakeStack(Game& game, int player, CardList& stack, CardList& matches, ChoiceSide side) {
  GameState& state = game.state;
  TakenStack taken;
  if (!stack.empty()) {
    taken.count = static_cast<int>(stack.size());
    taken.first = stack.front();
    const bool show = taken.count >= 4;  // a big stack turns all its cards face up
    const CardList cards = stack;
    for (const int card : cards) {
      CardRecord& record = state.Card(card);
      if (record.Location >= CapturedBy(0)) continue;
      record.FloorSlot = -1;
      record.StackLevel = 0;
      CapturePile(game, player, card, show);
    }
    // A service card that joined a ppeok lies on the floor, tagged with its month, until
    // the ppeok is taken.
    const int month = state.Card(taken.first).Month;
    for (CardSet rest = state.CardsAt(kOnFloor) & ~kMonthCardSet; rest != 0; rest &= rest - 1) {
      const int card = std::countr_zero(rest);
      if (state.StackMonthTag[card] != month) continue;
      state.StackMonthTag[card] = -1;
      state.Card(card).FloorSlot = -1;
      state.Card(card).StackLevel = 0;
      CapturePile(game, player, card, show);
    }
  }
  stack.clear();
  matches.clear();
  const int choiceMonth =
      side == ChoiceSide::kHand ? state.Turn.HandChoiceMonth : state.Turn.FlipChoiceMonth;
  if (choiceMonth >= 0) RestoreChoiceSlot(game, side);
  return taken;
}

void TakeServiceFlips(Game& game, int player) {
  GameState& state = game.state;
  const CardList flipped = state.Turn.ServiceFlipList;
  for (const int card : flipped) {
    if (state.Card(card).Location < CapturedBy(0)) CapturePile(game, player, card, false);
  }
  state.Turn.ServiceFlipList.clear();
}

// Service cards on top of the pile are laid aside first; they go with this turn.
void LayAsideServiceFlips(Game& game) {
  GameState& state = game.state;
  TurnState& turn = state.Turn;
  while (PeekDrawCard(state) >= kMonthCards) {
    const int card = NextDrawCard(state, true);
    game.board.ShowCardFace(card);
    game.Sound("HOLD", 3);
    const BoardPoint spot = ServiceSpotPosition(static_cast<int>(turn.ServiceFlipList.size()));
    turn.ServiceFlipList.push_back(card);
    state.MoveCard(card, kOnFloor);
    state.Card(card).FloorSlot = -1;
    GlideCard(game, card, spot);
    game.Sound("SANGPI", 3, {}, true);
  }
}

// The flipped card goes onto its month's slot (or an empty one) and the turn notes what
// it met there.
FloorMatch LayFlippedCard(Game& game, int card) {
  GameState& state = game.state;
  TurnState& turn = state.Turn;
  game.board.ShowCardFace(card);
  game.Sound("HOLD", 3);
  const FloorMatch match = FloorMatchInfo(state, card);
  turn.FlipMatchList = match.Cards;
  CardRecord& record = state.Card(card);
  record.FloorSlot = match.Slot;
  state.MoveCard(card, kOnFloor);
  state.FloorSlots[match.Slot].Used = 1;
  record.StackLevel = match.Count;
  if (match.Count == 0) {
    turn.FlipMatchList.clear();
    turn.FlipStackList.clear();
    GlideCard(game, card, StackPosition(state.FloorSlots[match.Slot], 0));
    game.Sound("TUCK", 3, {}, true);
  } else {
    turn.FlipStackList = FloorMatchList(state, card);
    GlideCard(game, card, StackPosition(state.FloorSlots[match.Slot], match.Count));
    game.Sound("CHAK", 3, {}, true, 0.5);
  }
  return match;
}

// The flipped card lands on the played card and a third card of their month: the three
// (with the service cards flipped this turn) stay on the floor as a ppeok. On the
// player's last turn it is not counted; returns whether it was.
bool MakePpeok(Game& game, int player, int slot) {
  GameState& state = game.state;
  TurnState& turn = state.Turn;
  CardList stack = turn.FlipStackList;
  turn.HandMatchList.clear();
  turn.FlipMatchList.clear();
  turn.HandStackList.clear();
  turn.FlipStackList.clear();
  const int month = state.Card(stack.front()).Month;
  for (std::size_t i = 0; i < turn.ServiceFlipList.size(); ++i) {
    const int card = turn.ServiceFlipList[i];
    stack.push_back(card);
    state.MoveCard(card, kOnFloor);
    CardRecord& record = state.Card(card);
    record.FloorSlot = slot;
    record.StackLevel = 0;
    GlideCard(game, card, StackPosition(state.FloorSlots[slot], static_cast<int>(i) + 3));
    state.StackMonthTag[card] = month;
  }
  turn.ServiceFlipList.clear();
  const PlayerRecord& who = state.Player(player);
  if (who.PlayedCount >= 10 && state.Room.LastTurnBonus == 0) return false;
  game.Sound("SANDA", 0, who.VoiceFolder);
  RegisterPpeok(game, player, stack);
  return true;
}

// The rewards for what the turn took: jjok's steal was counted already; here ttadak,
// self-ppeok and the sweep. Only before the player's last turn.
void GiveBonuses(Game& game, int player, const TakenStack& hand, const TakenStack& flip,
                 bool ttadak) {
  GameState& state = game.state;
  const PlayerRecord& who = state.Player(player);
  if (who.PlayedCount >= 10) return;
  int& steal = state.Turn.StealCount;
  auto ahh = [&] { game.Sound("AHH", 0, who.VoiceFolder); };
  auto own = [&](int card) { return IsOwnPpeok(state, state.Card(card).Month, player); };
  const bool bigHand = hand.count >= 4;
  const bool bigFlip = flip.count >= 4;

  if (!bigHand && !bigFlip) {
    if (IsSweep(game, player)) {
      ++steal;
      ahh();
    }
  } else if (!bigHand) {
    ahh();
    steal = 1;
    if (ttadak) {
      game.Log("아싸!! 따닥입니다!!");
    } else if (own(flip.first)) {
      ++steal;
      game.Log("자뻑을 먹었습니다.~ 2장씩!!");
    }
    if (IsSweep(game, player)) {
      ++steal;
      game.Log("야호! 판쓸이까지...^^");
    }
  } else if (!bigFlip) {
    ahh();
    steal = 1;
    if (own(hand.first)) {
      ++steal;
      game.Log("자뻑을 먹었습니다.~ 2장씩들..");
    }
    if (IsSweep(game, player)) {
      ++steal;
      game.Log("야호! 판쓸이까지...^^");
    }
  } else {
    steal = 2;
    ahh();
    if (own(hand.first)) {
      ++steal;
      game.Log("OK~ 앞자뻑을 먹었네요 ^^");
    }
    if (own(flip.first)) {
      ++steal;
      game.Log("뒤뻑이!! 자뻑이네? ~~ 야호~");
    }
    if (IsSweep(game, player)) {
      ++steal;
      game.Log({who.Name, "님 판쓸이까지..^^"});
    }
  }
}

// The takings of a turn: both stacks into the player's capture piles, the service cards
// flipped, the bonuses, the junk stolen from the opponent; then the end of the turn.
void TakeTheTurnsCards(Game& game, int player) {
  TurnState& turn = game.state.Turn;
  const bool ttadak = IsTtadak(turn);
  const TakenStack hand =
      TakeStack(game, player, turn.HandStackList, turn.HandMatchList, ChoiceSide::kHand);
  const TakenStack flip =
      TakeStack(game, player, turn.FlipStackList, turn.FlipMatchList, ChoiceSide::kFlip);
  TakeServiceFlips(game, player);
  GiveBonuses(game, player, hand, flip, ttadak);
  if (turn.StealCount >= 1 && turn.StealCount <= 5) StealJunk(game, player, turn.StealCount);
  EndTurn(game, player);
}

}  // namespace

bool IsSweep(Game& game, int player) {
  const GameState& state = game.state;
  if (state.Player(player).PlayedCount >= 10 || state.CardsAt(kOnFloor) != 0) return false;
  game.Sound("PANSL", 0, state.Player(player).VoiceFolder);
  return true;
}

void ApplyMoneyChange(Game& game, int player, std::string_view amount) {
  PlayerRecord& who = game.state.Player(player);
  if (amount.starts_with("-")) {
    amount.remove_prefix(1);
    who.Money = BigSubtract(who.Money, amount);
    who.RunningGain = BigSubtract(who.RunningGain, amount);
  } else {
    who.Money = BigAdd(who.Money, amount);
    who.RunningGain = BigAdd(who.RunningGain, amount);
    game.Log({"<", who.Name, ">님 첫뻑!으로 [", amount, "원]을 획득하셨습니다 !!"});
  }
  if (player == kHuman) game.state.PlayerInfo.Money = who.Money;
  game.board.DrawPlayerPanel(player);
}

void RegisterPpeok(Game& game, int player, const CardList& stack) {
  GameState& state = game.state;
  PlayerRecord& who = state.Player(player);
  ++who.PpeokCount;
  game.board.DrawPlayerStatus(player);
  for (const int card : stack) {
    const int month = state.Card(card).Month;
    if (month <= 12) state.PpeokOwner[month] = player;
    game.board.ShowCardFace(card);
  }
  if (who.PpeokCount == 1 && who.PlayedCount == 1) {
    const std::string reward = FirstPpeokReward(state, player);
    ApplyMoneyChange(game, player, reward);
    ApplyMoneyChange(game, OpponentOf(player), "-" + reward);
  }
}

void StealJunk(Game& game, int thief, int n) {
  GameState& state = game.state;
  if (state.Player(thief).PlayedCount >= 10 && state.Room.LastTurnBonus == 0) return;
  const int victim = OpponentOf(thief);
  SeatCardSet& seat = state.SeatOf(victim);
  auto& pile = seat.Captured[kJunk];
  int& count = seat.CapturedCountByKind[kJunk];
  if (count == 0) return;
  const int doubles = DoubleJunkCount(state, victim);

  // The most recently captured cards go first.
  StealPlan plan = PlanSteal(n, doubles, count - doubles);
  for (int i = count - 1; i >= 0; --i) {
    const int card = pile[i];
    int& wanted = state.Card(card).Mark == kMarkDoubleJunk ? plan.doubles : plan.plains;
    if (wanted == 0) continue;
    --wanted;
    pile[i] = kNoCard;
    CapturePile(game, thief, card, false);
    game.Sound("ONE", 3);
  }
  const auto end = std::remove(pile.begin(), pile.begin() + count, kNoCard);
  count = static_cast<int>(end - pile.begin());
  std::fill(end, pile.end(), kNoCard);

  LayOutPile(game, thief, kJunk, kNoCard);
  LayOutPile(game, victim, kJunk, kNoCard);
  CalculateScore(game, thief);
  CalculateScore(game, victim);
}

void LayOutHand(Game& game, int player) {
  GameState& state = game.state;
  SeatCardSet& seat = state.SeatOf(player);
  // The hand's cards in card-number order fill the slots from the first; the slots of
  // cards played since are emptied.
  const CardSet held = state.CardsAt(player);
  seat.Hand.fill(kNoCard);
  // Three month cards of a month (not yet shown in a shake or used in a bomb) may shake
  // or bomb; a month's four cards are numbered together, and a service card is alone in
  // its month.
  std::uint64_t open = 0;
  int slot = 0;
  const bool seen = game.board.Seen();
  for (std::uint64_t rest = held; rest != 0; rest &= rest - 1) {
    const int card = std::countr_zero(rest);
    CardRecord& record = state.Card(card);
    open |= std::uint64_t{record.ShakeMark != kShakeShown} << card;
    seat.Hand[slot] = card;
    const BoardPoint at = seat.HandSlotPos[slot++];
    if (!seen || (record.ImageLeft == at.Left && record.ImageTop == at.Top)) continue;
    record.ImageLeft = at.Left;
    record.ImageTop = at.Top;
    game.board.PlaceCard(card, at.Left, at.Top);
  }
  // Each month's open cards counted within its own 4 bits (at most 4, so no count spills
  // into the next month), then bit 2 of count + 1 is set for a count of 3 or 4.
  constexpr CardSet kMonthLow = kMonthLowBits;
  open &= kMonthCardSet;
  const std::uint64_t counts = (open & kMonthLow) + (open >> 1 & kMonthLow) +
                               (open >> 2 & kMonthLow) + (open >> 3 & kMonthLow);
  const std::uint64_t months = ((counts + kMonthLow) >> 2) & kMonthLow;
  for (std::uint64_t rest = held & months * 0xF; rest != 0; rest &= rest - 1) {
    state.Card(std::countr_zero(rest)).ShakeMark = kShakeCandidate;
  }
}

void RestoreChoiceSlot(Game& game, ChoiceSide side) {
  GameState& state = game.state;
  const int month =
      side == ChoiceSide::kHand ? state.Turn.HandChoiceMonth : state.Turn.FlipChoiceMonth;
  for (CardSet rest = state.CardsAt(kOnFloor) & MonthCardSet(month); rest != 0; rest &= rest - 1) {
    const int card = std::countr_zero(rest);
    CardRecord& record = state.Card(card);
    if (record.FloorSlot < 0) continue;
    const FloorSlot& slot = state.FloorSlots[record.FloorSlot];
    record.StackLevel = 0;
    if (!game.board.Seen()) continue;
    record.ImageLeft = slot.Left;
    record.ImageTop = slot.Top;
    game.board.PlaceCard(card, slot.Left, slot.Top);
  }
}

void FreeEmptySlots(GameState& state) {
  std::uint32_t used = 0;  // bit slot + 1 per slot with a card; bit 0: floor cards in no slot
  const CardSet inPlay = CardBit(state.Room.CardsInPlay) - 1;
  for (CardSet rest = state.CardsAt(kOnFloor) & inPlay; rest != 0; rest &= rest - 1)
    used |= std::uint32_t{1} << (state.Card(std::countr_zero(rest)).FloorSlot + 1);
  // Masked rather than tested: which slots empty is chance, and a branch on it is
  // mispredicted as often as not.
  for (int slot = 0; slot < kFloorSlots; ++slot)
    state.FloorSlots[slot].Used &= -static_cast<int>((used >> (slot + 1)) & 1);
}

void RemoveCaptured(Game& game, int player, int kind, int card) {
  SeatCardSet& seat = game.state.SeatOf(player);
  auto& pile = seat.Captured.at(static_cast<std::size_t>(kind));
  int& count = seat.CapturedCountByKind[kind];
  const auto end = std::remove(pile.begin(), pile.begin() + count, card);
  if (end != pile.begin() + count) count = std::max(0, count - 1);
  std::fill(pile.begin() + count, pile.end(), kNoCard);
  LayOutPile(game, player, kind, kNoCard);
}

void EndTurn(Game& game, int player) {
  FreeEmptySlots(game.state);
  CalculateScore(game, player);
  if (DecideAfterScore(game, player) == AfterScore::kTakenOver) return;
  LayOutHand(game, player);
  BeginTurn(game, OpponentOf(player));
}

void FlipFromDeck(Game& game, int player, FlipKind kind) {
  GameState& state = game.state;
  if (!state.Room.HandRunning) return;
  TurnState& turn = state.Turn;
  LayAsideServiceFlips(game);

  const int card = NextDrawCard(state, true);
  if (card != kNoCard) {  // an empty pile skips the flip
    const FloorMatch match = LayFlippedCard(game, card);
    if (match.Count == 2) {
      if (turn.FlipMatchList.contains(turn.PlayedCard) &&
          turn.HandStackList == turn.FlipMatchList) {
        if (MakePpeok(game, player, match.Slot)) {
          EndTurn(game, player);  // no capture and no steal
          return;
        }
        // On the last turn the cards just stay where they are.
      } else {
        const int first = turn.FlipMatchList[0];
        const int second = turn.FlipMatchList[1];
        const FloorChoice choice{card, first, second, ChoiceSide::kFlip};
        if (NothingToChoose(state, first, second)) {
          ResolveFlipChoice(game, player, card, first);
        } else if (player != kHuman) {
          ResolveFlipChoice(game, player, card,
                            game.Computer().TakeFloorCard(state, player, choice));
        } else {
          game.Window().RequestFloorChoice(choice);
        }
        return;
      }
    }
    if (match.Count == 1 && IsJjok(state, kind == FlipKind::kAfterHandCard) &&
        state.Player(player).PlayedCount < 10) {
      turn.StealCount = 1;
      game.Sound("KISS", 3, {}, true);
    }
  }
  TakeTheTurnsCards(game, player);
}

void ResolveFlipChoice(Game& game, int player, int card, int chosen) {
  GameState& state = game.state;
  if (!state.Room.HandRunning) return;
  TurnState& turn = state.Turn;
  turn.FlipChoiceMonth = state.Card(card).Month;
  turn.FlipStackList = {card, chosen};
  const TakenStack hand =
      TakeStack(game, player, turn.HandStackList, turn.HandMatchList, ChoiceSide::kHand);
  TakeStack(game, player, turn.FlipStackList, turn.FlipMatchList, ChoiceSide::kFlip);
  TakeServiceFlips(game, player);
  if (hand.count >= 4) {
    game.Sound("AHH", 0, state.Player(player).VoiceFolder);
    if (IsOwnPpeok(state, state.Card(hand.first).Month, player)) {
      game.Log("자뻑을 먹었습니다.~ 2장씩 주십시요 ^^");
      StealJunk(game, player, 2);
    } else {
      StealJunk(game, player, 1);
    }
  }
  EndTurn(game, player);
}

}  // namespace hw
