#include "hand/moves.h"

#include <algorithm>
#include <cassert>
#include <stdexcept>
#include <vector>

#include "hand/after_turn.h"
#include "hand/capture.h"
#include "hand/declarations.h"
#include "hand/glide.h"
#include "hand/hand_setup.h"
#include "hand/turn.h"
#include "rules/card_table.h"
#include "rules/lookups.h"
#include "rules/missions_ranks.h"
#include "rules/money.h"
#include "rules/room_title.h"
#include "rules/turn_rules.h"

namespace hw {
namespace {

constexpr std::string_view kCrLf = "\r\n";

bool Idle(const Game& game) {
  return !game.state.Room.HandRunning;
}

void GrantBombCards(Game& game, int player) {
  auto& cards = game.state.BombCards[player];
  for (int pair = 0; pair < kBombCards; pair += 2) {
    if (cards[pair] != BombCard::kNotGranted || cards[pair + 1] != BombCard::kNotGranted) continue;
    for (int index : {pair, pair + 1}) {
      cards[index] = BombCard::kAvailable;
      game.board.ShowBombCard(player, index);
    }
    return;
  }
}

}  // namespace

void NewHand(Game& game) {
  GameState& state = game.state;
  if (!Idle(game)) return;

  const std::string needed = BigMultiply("20", state.Room.StakeText);
  if (BigCompare(state.PlayerInfo.Money, needed) < 0) {
    const std::string text =
        std::string("회원님께서는 게임진행에 필요한 점수가 부족합니다") + std::string(kCrLf) +
        std::string(kCrLf) + "게임을 진행하시기 위해서는 [점당금액의 최소20배]가 필요합니다   " +
        std::string(kCrLf) + "홈페이지에서 무료충전을 하시고 이용해 주십시요" + std::string(kCrLf) +
        std::string(kCrLf) + "지금 충전페이지로 이동하시겠습니까?";
    const auto answer =
        game.desktop.ShowMessage("게임점수부족", text, platform::MessageIcon::kInformation,
                                 platform::MessageButtons::kYesNo);
    if (answer == platform::MessageAnswer::kYes) game.desktop.OpenWithShell(state.Portal.TopUpPage);
    game.Window().Unload();
    return;
  }
  if (game.portal != nullptr) {
    game.portal->RequestHand();
    return;
  }
  DealHand(game);
}

void DealHand(Game& game) {
  GameState& state = game.state;
  if (!Idle(game)) return;
  std::string given;
  DeckTextBuffer shuffled;
  std::string_view deck;
  const bool dealtHere = !game.nextDeck;
  if (dealtHere) {
    deck = ShuffleInto(state.Room.ServiceCards, game.random, shuffled);
  } else {
    given = std::move(*game.nextDeck);
    game.nextDeck.reset();
    deck = given;
  }
  game.SeatComputerOfLevel();
  const std::string seon = state.Room.SeonName;
  const int cardsInPlay = kMonthCards + state.Room.ServiceCards;
  if (dealtHere) {  // a deck of our own shuffle needs no checking
    StartCheckedHand(game, cardsInPlay, deck, seon);
  } else {
    StartHand(game, cardsInPlay, deck, seon);
  }
  if (game.nextMission) {
    SetMission(state, *game.nextMission);
    game.nextMission.reset();
  } else {
    SetMission(state, RandomMission(game.random));
  }
  BeginTurn(game, PlayerByName(state, seon));
}

void StartHand(Game& game, int cardsInPlay, std::string_view deckText, std::string_view seonName) {
  if (game.state.Room.HandRunning) return;
  if (!DeckTextIsValid(deckText, cardsInPlay)) {
    throw std::invalid_argument("cannot deal this deck: " + DeckTextProblem(deckText, cardsInPlay));
  }
  StartCheckedHand(game, cardsInPlay, deckText, seonName);
}

void StartCheckedHand(Game& game, int cardsInPlay, std::string_view deckText,
                      std::string_view seonName) {
  GameState& state = game.state;
  if (state.Room.HandRunning) return;
  assert(DeckTextIsValid(deckText, cardsInPlay));
  state.Room.HandRunning = true;
  state.Record.clear();

  SetUpBothPlayers(game);
  state.Room.CardsInPlay = cardsInPlay;
  state.Room.SeonName = seonName;
  AssignTurnOrder(game, seonName);

  game.board.PrepareCardImages(cardsInPlay);
  ClearCardTable(game);
  DealCheckedDeck(state, deckText);  // valid for state.Room.CardsInPlay cards
  for (int position = 0; position < cardsInPlay && game.board.Seen(); ++position) {
    CardRecord& card = state.Card(state.DealtOrder[position]);
    const BoardPoint at = card.Location == kInDrawPile ? DrawPilePosition(position) : kPileCentre;
    card.ImageLeft = at.Left;
    card.ImageTop = at.Top;
    if (card.Location == kInDrawPile)
      game.board.PlaceCard(state.DealtOrder[position], at.Left, at.Top);
  }

  const int first = PlayerByOrder(state, 1);
  const int second = PlayerByOrder(state, 2);
  DealFloorHalf(game, 1);
  DealHandHalf(game, second, 1);
  DealHandHalf(game, first, 1);
  DealFloorHalf(game, 2);
  DealHandHalf(game, second, 2);
  DealHandHalf(game, first, 2);

  TidyFloorAfterDeal(game);
  LayOutHand(game, kHuman);
  game.Sound("START", 3);
}

void ShowMissionInfo(Game& game) {
  GameState& state = game.state;
  const int index = state.Room.MissionIndex;
  if (state.Room.MissionShown || index < 0 || index >= kMissions) return;
  const MissionRecord& mission = state.Missions[index];
  game.board.OpenMissionBox(index);
  state.Room.MissionShown = true;
  game.Log("----------------------", kWhite);
  game.Log("현재판 미션정보", kWhite, true);
  game.Log({"미션명: ", mission.Name}, kWhite);
  game.Log({"승리후 미션성공 ", std::to_string(mission.Multiple), "배 획득"}, kWhite);
  game.Log("----------------------", kWhite);
}

void BeginTurn(Game& game, int player) {
  GameState& state = game.state;
  if (Idle(game)) return;

  // The mission opens once both players have had their first turn.
  if (state.Player(kHuman).PlayedCount == 1 && state.Player(kComputer).PlayedCount == 1 &&
      !state.Room.MissionShown) {
    game.Sound("MISSION", 3);
    ShowMissionInfo(game);
    game.loop.WaitSeconds(0.8);
    game.board.UpdateMissionMarks();
  }

  state.Turn.StealCount = 0;
  PlayerRecord& who = state.Player(player);

  if (who.PlayedCount == 0) {
    // Chongtong in 선's hand, then in the other hand, then four of a month on the floor.
    if (HasChongtong(game, PlayerByOrder(state, 1))) return;
    if (HasChongtong(game, PlayerByOrder(state, 2))) return;
    if (FloorHasFourOfAMonth(game)) return;
  }

  ++who.PlayedCount;
  state.Turn.HandChoiceMonth = -1;
  state.Turn.FlipChoiceMonth = -1;
  state.Room.TurnPlayer = player;

  if (player == kHuman) {
    game.Sound("MTURN", 3);
    game.board.MoveTurnIndicator(true);
    game.board.HighlightHand(true);
    state.Room.HumanTurnMark = -1;
  } else {
    game.board.MoveTurnIndicator(false);
    game.board.HighlightHand(false);
  }
  game.board.ShowTurnIndicator(true);
  game.Window().타이머_차례시작(player);
}

void PlayHandCard(Game& game, int player, int card, int power) {
  GameState& state = game.state;
  if (Idle(game)) return;
  game.Window().타이머_차례중지();

  TurnState& turn = state.Turn;
  const FloorMatch match = FloorMatchInfo(state, card);
  turn.PlayedCard = card;
  turn.HandMatchList = match.Cards;

  CardRecord& record = state.Card(card);
  record.FloorSlot = match.Slot;
  state.MoveCard(card, kOnFloor);
  state.FloorSlots[match.Slot].Used = 1;
  game.board.ShowCardFace(card);

  const FloorSlot& slot = state.FloorSlots[match.Slot];
  if (match.Count == 0) {
    turn.HandMatchList.clear();
    turn.HandStackList.clear();
    record.StackLevel = 0;
    GlideCard(game, card, StackPosition(slot, 0), true, power);
    game.Sound("TUCK", 3, {}, true);
  } else {
    turn.HandStackList = FloorMatchList(state, card);
    GlideCard(game, card, StackPosition(slot, match.Count), true, power);
    record.StackLevel = match.Count;
    game.Sound(power < 9 ? "CHAK" : "POWER", 3, {}, true);
  }

  if (match.Count == 2) {
    const int first = turn.HandMatchList[0];
    const int second = turn.HandMatchList[1];
    const FloorChoice choice{card, first, second, ChoiceSide::kHand};
    if (NothingToChoose(state, first, second)) {
      ResolveChoice(game, player, ChoiceSide::kHand, card, first);
    } else if (player != kHuman) {
      ResolveChoice(game, player, ChoiceSide::kHand, card,
                    game.Computer().TakeFloorCard(state, player, choice));
    } else {
      game.Window().RequestFloorChoice(choice);
    }
    return;
  }
  FlipFromDeck(game, player, FlipKind::kAfterHandCard);
}

namespace {

// The other cards of the player's hand that form a triple with `card`; marks them (and,
// when there are any, `card`) as shown.
std::vector<int> TakeTriple(GameState& state, int player, int card) {
  std::vector<int> found;
  for (int other = 0; other < state.Room.CardsInPlay; ++other) {
    CardRecord& record = state.Card(other);
    if (other == card || record.Location != player || record.ShakeMark != kShakeCandidate ||
        record.Month != state.Card(card).Month) {
      continue;
    }
    record.ShakeMark = kShakeShown;
    found.push_back(other);
  }
  if (!found.empty()) state.Card(card).ShakeMark = kShakeShown;
  return found;
}

}  // namespace

void PlayChosenCard(Game& game, int player, int card, int power) {
  GameState& state = game.state;
  if (card >= kMonthCards) {
    PlayServiceCard(game, player, card);
    return;
  }
  if (state.Card(card).ShakeMark != kShakeCandidate) {
    PlayHandCard(game, player, card, power);
    return;
  }
  const std::vector<int> triple = TakeTriple(state, player, card);
  if (FloorHasMonth(state, card)) {
    if (triple.size() >= 2) {
      PlayBomb(game, player, card, triple[0], triple[1]);
    } else {
      PlayHandCard(game, player, card, power);
    }
  } else if (triple.empty()) {
    PlayHandCard(game, player, card, power);
  } else if (player == kHuman) {
    game.Window().AskShake(card);
  } else if (game.Computer().Shake(state, player, card)) {
    DeclareShake(game, player, card);
  } else {
    PlayHandCard(game, player, card, power);
  }
}

void PlayBombCardTurn(Game& game, int player, int index) {
  game.state.BombCards[player][index] = BombCard::kUsed;
  game.board.HideBombCard(player, index);
  game.Sound("BOMB", 3);
  game.Window().타이머_차례중지();
  FlipFromDeck(game, player, FlipKind::kFlipOnly);
}

void PlayBomb(Game& game, int player, int card1, int card2, int card3) {
  GameState& state = game.state;
  if (Idle(game)) return;
  TurnState& turn = state.Turn;
  const FloorMatch match = FloorMatchInfo(state, card1);
  turn.HandMatchList = match.Cards;
  for (const int card : {card1, card2, card3}) {
    state.MoveCard(card, kOnFloor);
    state.Card(card).FloorSlot = match.Slot;
  }
  state.FloorSlots[match.Slot].Used = 1;
  turn.HandStackList = FloorMatchList(state, card1);

  const FloorSlot& slot = state.FloorSlots[match.Slot];
  GlideCard(game, card1, BombPosition(slot, 1));
  GlideCard(game, card2, BombPosition(slot, 2));
  GlideCard(game, card3, BombPosition(slot, 3));
  state.Card(card1).StackLevel = match.Count;
  state.Card(card2).StackLevel = match.Count + 1;
  state.Card(card3).StackLevel = match.Count + 1;

  ++state.Player(player).ShakeCount;
  game.board.DrawPlayerStatus(player);
  game.Sound("BOMB", 3, {}, true);
  GrantBombCards(game, player);
  FlipFromDeck(game, player, FlipKind::kAfterHandCard);
}

void PlayServiceCard(Game& game, int player, int card) {
  GameState& state = game.state;
  if (Idle(game)) return;
  state.MoveCard(card, CapturedBy(player));
  CardRecord& record = state.Card(card);
  record.FloorSlot = -1;
  record.StackLevel = 0;
  game.board.ShowCardFace(card);
  CapturePile(game, player, card, false);

  PlayerRecord& who = state.Player(player);
  state.Room.TurnPlayer = player;
  --who.PlayedCount;  // the same player plays this turn again
  const int replacement = NextDrawCard(state, true);
  if (replacement != kNoCard) {
    state.MoveCard(replacement, player);
    SeatCardSet& seat = state.SeatOf(player);
    for (int slot = 0; slot < kHandSlots; ++slot) {
      if (seat.Hand[slot] != kNoCard) continue;
      seat.Hand[slot] = replacement;
      const bool human = player == kHuman;
      GlideCard(game, replacement, seat.HandSlotPos[slot], human, 0,
                human ? kCardWidth : kSmallCardWidth, human ? kCardHeight : kSmallCardHeight);
      break;
    }
  }

  CalculateScore(game, player);
  LayOutHand(game, player);
  if (HasChongtong(game, player)) return;
  BeginTurn(game, player);
}

void ResolveChoice(Game& game, int player, ChoiceSide side, int card, int chosen) {
  if (Idle(game)) return;
  if (side == ChoiceSide::kFlip) {
    ResolveFlipChoice(game, player, card, chosen);
    return;
  }
  TurnState& turn = game.state.Turn;
  turn.HandChoiceMonth = game.state.Card(card).Month;
  turn.HandStackList = {card, chosen};
  FlipFromDeck(game, player, FlipKind::kAfterHandCard);
}

void CloseGameDialogs(Game& game) {
  if (Idle(game)) return;
  for (const DialogKind dialog :
       {DialogKind::kCommon, DialogKind::kShake, DialogKind::kSelect, DialogKind::kGoStop,
        DialogKind::kResult, DialogKind::kSeptember}) {
    game.Window().CloseDialog(dialog);
  }
}

void LeaveGame(Game& game) {
  if (Idle(game)) return;
  game.Window().Unload();
}

void EnterRoomHeadless(Game& game) {
  GameState& state = game.state;
  SetUpBoardLayout(state);
  BuildMissionTable(state);
  BuildRankTable(state);
  SeatLoggedInPlayer(state);
  EnterRoom(game);
}

void EnterRoom(Game& game) {
  GameState& state = game.state;
  ResetHand(game);
  game.Sound("MROOM", 3);
  game.board.DrawWaitingRoom();
  game.board.DrawRoomTitle(RoomTitle(state.Room));
  game.board.DrawPlayerPanel(kHuman);
  game.board.DrawPlayerPanel(kComputer);
  game.Log({"총통/3뻑 점당금액의 <", std::to_string(state.PlayerInfo.ChongtongMultiple), "배>"},
           kWhite);
  game.Log({"첫뻑시 점당금액의 <", std::to_string(state.PlayerInfo.FirstPpeokMultiple), "배> "},
           kWhite);
  game.Log("화살표로 패속도조절", kWhite);
  game.Log("<- (속도증가)", kWhite);
  game.Log("-> (속도감소)", kWhite);
}

}  // namespace hw
