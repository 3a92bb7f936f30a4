#include "search/quick_table.h"

#include <bit>

#include "hand/declarations.h"
#include "hand/hand_setup.h"
#include "hand/moves.h"
#include "rules/lookups.h"

namespace hw::search {

CardList LegalAnswers(const GameState& state, const Question& question) {
  using Kind = Question::Kind;
  switch (question.What) {
    case Kind::kCard: {
      CardList cards;
      for (CardSet rest = state.CardsAt(question.Player); rest != 0; rest &= rest - 1)
        cards.push_back(std::countr_zero(rest));
      if (FirstAvailableBombCard(state, question.Player) >= 0) cards.push_back(-1);
      return cards;
    }
    case Kind::kShake:
    case Kind::kGoStop:
      return {1, 0};
    case Kind::kFloor:
      return {question.Choice.First, question.Choice.Second};
    case Kind::kSeptember:
      return {2, 1};
  }
  return {};
}

int AnswerOf(ComputerPlayer& player, const GameState& state, const Question& question) {
  using Kind = Question::Kind;
  switch (question.What) {
    case Kind::kCard:
      return player.PlayCard(state, question.Player);
    case Kind::kShake:
      return player.Shake(state, question.Player, question.Card) ? 1 : 0;
    case Kind::kFloor:
      return player.TakeFloorCard(state, question.Player, question.Choice);
    case Kind::kGoStop:
      return player.Go(state, question.Player) ? 1 : 0;
    case Kind::kSeptember:
      return player.SeptemberAnimal(state, question.Player);
  }
  return 0;
}

QuickTable::QuickTable() : game_(board_, silence_, silence_, loop_, silence_, GameRandom(1)) {
  game_.window = this;
  PlayerInfoRecord& info = game_.state.PlayerInfo;
  info.Name = "player";
  info.VoiceFolder = "M";
  info.Avatar = 1;
  info.Money = "1000000";
  info.Wins = info.Losses = info.Draws = info.MissionCount = "0";
  EnterRoomHeadless(game_);
}

void QuickTable::Deal(const std::string& deck, int mission, bool humanFirst,
                      const std::string& money) {
  GameState& state = game_.state;
  ResetHand(game_);
  state.PlayerInfo.Money = money;
  state.Room.ServiceCards = static_cast<int>(deck.size() / 2) - kMonthCards;
  state.Room.SeonName = humanFirst ? state.PlayerInfo.Name : std::string(kComputerName);
  game_.nextDeck = deck;
  game_.nextMission = mission;
  state.Result.Ending = HandEnding::kNotYet;  // the last hand's ending stays until settled
  pending_.reset();
  DealHand(game_);
}

void QuickTable::Resume(const GameState& state, const Question& question, int answer) {
  game_.state = state;
  game_.state.Result.Ending = HandEnding::kNotYet;  // it is asked during the hand
  pending_.reset();
  Answer(question, answer);
}

void QuickTable::타이머_차례시작(int player) {
  pending_ = Question{.What = Question::Kind::kCard, .Player = player};
}

void QuickTable::RequestFloorChoice(const FloorChoice& choice) {
  pending_ = Question{.What = Question::Kind::kFloor, .Player = kHuman, .Choice = choice};
}

void QuickTable::AskSeptemberAnimal() {
  pending_ = Question{.What = Question::Kind::kSeptember, .Player = kHuman};
}

void QuickTable::AskGoOrStop() {
  pending_ = Question{.What = Question::Kind::kGoStop, .Player = kHuman};
}

void QuickTable::AskShake(int card) {
  pending_ = Question{.What = Question::Kind::kShake, .Player = kHuman, .Card = card};
}

void QuickTable::Answer(const Question& question, int answer) {
  using Kind = Question::Kind;
  const int player = question.Player;
  switch (question.What) {
    case Kind::kCard:
      if (answer == -1) {
        PlayBombCardTurn(game_, player, FirstAvailableBombCard(game_.state, player));
        return;
      }
      pending_.reset();
      if (player == kHuman) game_.state.Room.HumanTurnMark = 0;
      PlayChosenCard(game_, player, answer, 0);
      return;
    case Kind::kShake:
      if (answer == 1) {
        DeclareShake(game_, player, question.Card);
      } else {
        PlayHandCard(game_, player, question.Card, 0);
      }
      return;
    case Kind::kFloor:
      ResolveChoice(game_, player, question.Choice.Side, question.Choice.Card, answer);
      return;
    case Kind::kGoStop:
      if (answer == 1) {
        CallGo(game_, player);
      } else {
        CallStop(game_, player);
      }
      return;
    case Kind::kSeptember:
      ChooseSeptemberAnimal(game_, player, answer);
      return;
  }
}

int QuickTable::Ask(ComputerPlayer& seat, const Question& question) {
  const int answer = AnswerOf(seat, game_.state, question);
  const CardList allowed = LegalAnswers(game_.state, question);
  if (allowed.contains(answer)) return answer;
  refused_ = true;  // the hand goes on with an allowed answer, and is reported stalled
  return allowed.front();
}

bool QuickTable::PlayToEnd(ComputerPlayer& humanSeat, ComputerPlayer& computerSeat) {
  Seat computer(*this, computerSeat);
  ComputerPlayer* const before = game_.computer;
  game_.computer = &computer;
  refused_ = false;
  while (!Ended() && !refused_ && pending_) {
    const Question question = *pending_;
    pending_.reset();
    Answer(question, Ask(question.Player == kHuman ? humanSeat : computerSeat, question));
  }
  game_.computer = before;
  return Ended() && !refused_;
}

}  // namespace hw::search
