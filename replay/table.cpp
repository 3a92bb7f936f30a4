#include "replay/table.h"

#include <algorithm>
#include <bit>

#include "hand/hand_setup.h"
#include "hand/moves.h"

namespace hw::replay {

Table::Table(const Member& member, std::uint64_t seed)
    : sound_(loop_),
      game_(board_, sound_, log_, loop_, desktop_, GameRandom(seed)),
      window_(game_, dialogs_) {
  game_.levels[static_cast<std::size_t>(OpponentLevel::kSearch)] = &searchPlayer_;
  PlayerInfoRecord& info = game_.state.PlayerInfo;
  info.Name = member.Name;
  info.VoiceFolder = member.Voice;
  info.Money = member.Money;
  info.Avatar = member.Avatar;
  info.Wins = member.Wins;
  info.Losses = member.Losses;
  info.Draws = member.Draws;
  info.MissionCount = member.Missions;
  EnterRoomHeadless(game_);
  game_.onScoreSave = [this](int slot, HandOutcome outcome, std::string_view amount,
                             bool missionAchieved) {
    saves_.push_back({slot, outcome, std::string(amount), missionAchieved});
  };
}

bool Table::Start(const std::optional<DealtHand>& hand) {
  saves_.clear();
  RoomRecord& room = game_.state.Room;
  if (hand) {
    room.StakeText = hand->Stake;
    room.ServiceCards = hand->ServiceCards;
    room.SeonName = hand->MemberFirst ? game_.state.PlayerInfo.Name : std::string(kComputerName);
    game_.nextDeck = hand->Deck;
    game_.nextMission = hand->Mission;
    room.Opponent = hand->Opponent;
  }
  window_.PressStart();
  return !window_.Unloaded() && room.HandRunning;
}

namespace {

bool MemberAsked(const GameState& state, const MainWindow& window) {
  if (window.Shake().IsOpen() || window.Select().IsOpen() || window.GoStop().IsOpen() ||
      window.September().IsOpen()) {
    return true;
  }
  const RoomRecord& room = state.Room;
  return room.HandRunning && room.TurnPlayer == kHuman && room.HumanTurnMark == -1 &&
         room.DialogOpen == 0;
}

}  // namespace

Table::Next Table::RunToNextDecision(double maxSeconds) {
  const bool stopped =
      loop_.RunUntil([this] { return Settled() || MemberAsked(game_.state, window_); }, maxSeconds);
  if (Settled()) return Next::kSettled;
  return stopped ? Next::kMemberDecides : Next::kStuck;
}

std::vector<Decision> Table::Choices() const {
  using Kind = Decision::Kind;
  const GameState& state = game_.state;
  if (window_.Shake().IsOpen()) return {{Kind::kShake, 0}, {Kind::kShake, 1}};
  if (window_.Select().IsOpen()) {
    const FloorChoice& choice = window_.Select().Choice();
    return {{Kind::kChoice, choice.First}, {Kind::kChoice, choice.Second}};
  }
  if (window_.GoStop().IsOpen()) return {{Kind::kGoStop, 0}, {Kind::kGoStop, 1}};
  if (window_.September().IsOpen()) return {{Kind::kSeptember, 1}, {Kind::kSeptember, 2}};
  if (!MemberAsked(state, window_)) return {};
  std::vector<Decision> choices;
  for (CardSet rest = state.CardsAt(kHuman); rest != 0; rest &= rest - 1)
    choices.push_back({Kind::kPlay, std::countr_zero(rest)});
  for (int index = 0; index < kBombCards; ++index) {
    if (state.BombCards[kHuman][index] == BombCard::kAvailable) {
      choices.push_back({Kind::kBomb, index});
    }
  }
  return choices;
}

bool Table::Take(const Decision& decision) {
  const std::vector<Decision> choices = Choices();
  if (std::find(choices.begin(), choices.end(), decision) == choices.end()) return false;
  switch (decision.What) {
    case Decision::Kind::kPlay:
      window_.OnCardPress(decision.Value, MouseButton::kLeft);
      window_.OnCardRelease(decision.Value, MouseButton::kLeft);
      return true;
    case Decision::Kind::kBomb:
      window_.OnBombCardClick(decision.Value, MouseButton::kLeft);
      return true;
    case Decision::Kind::kShake:  // the yes button shakes
      return window_.Shake().PressButtonWith(decision.Value == 1 ? "0" : "1");
    case Decision::Kind::kChoice:
      return window_.Select().Choose(decision.Value);
    case Decision::Kind::kGoStop:  // the Go button goes
      return window_.GoStop().PressButtonWith(decision.Value == 1 ? "0" : "1");
    case Decision::Kind::kSeptember:  // the yes button makes it a double junk
      return window_.September().PressButtonWith(decision.Value == 2 ? "1" : "0");
  }
  return false;
}

bool Table::RunIdle(double maxSeconds) {
  return loop_.RunUntil([this] { return Settled(); }, maxSeconds);
}

bool Table::RunByChance(std::mt19937_64& chance) {
  while (true) {
    switch (RunToNextDecision()) {
      case Next::kSettled:
        return true;
      case Next::kStuck:
        return false;
      case Next::kMemberDecides:
        break;
    }
    const std::vector<Decision> choices = Choices();
    if (choices.empty()) return false;
    const auto pick = std::uniform_int_distribution<std::size_t>(0, choices.size() - 1)(chance);
    if (!Take(choices[pick])) return false;
  }
}

bool Table::FinishHand(double maxSeconds) {
  return loop_.RunUntil(
      [this] { return !game_.state.Room.HandRunning && !window_.Result().IsOpen(); }, maxSeconds);
}

// ---- Settling a hand

Settlement SettlementOf(const Table& table) {
  Settlement settlement;
  for (const Save& save : table.Saves()) {
    if (save.Slot == kHuman) settlement.MemberSave = save;
  }
  const PlayerRecord& member = table.State().Player(kHuman);
  settlement.After = {member.Name, member.VoiceFolder, member.Avatar, member.Money,
                      member.Wins, member.Losses,      member.Draws,  member.MissionCount};
  settlement.Decisions = table.State().Record;
  const Save& save = settlement.MemberSave;
  settlement.UpPoint = save.Outcome == HandOutcome::kLost ? "-" + save.Amount : save.Amount;
  return settlement;
}

std::optional<Settlement> Replay(const Member& member, const DealtHand& hand,
                                 const HandRecord& record, std::string& why) {
  Table table(member);
  if (!table.Start(hand)) {
    why = "the member cannot pay for this hand";
    return std::nullopt;
  }
  std::size_t next = 0;
  while (true) {
    const Table::Next now = table.RunToNextDecision();
    if (now == Table::Next::kSettled) break;
    if (now == Table::Next::kStuck) {
      why = "the hand does not come to an end";
      return std::nullopt;
    }
    if (next == record.size()) {
      why = "the record ends after " + std::to_string(next) + " decisions, before the hand does";
      return std::nullopt;
    }
    if (!table.Take(record[next])) {
      why = "decision " + std::to_string(next + 1) + " (" + DecisionText(record[next]) +
            ") is not one the hand allows there";
      return std::nullopt;
    }
    ++next;
  }
  if (next != record.size()) {
    why = "the record goes on after the hand has ended (" + std::to_string(next) + " of " +
          std::to_string(record.size()) + " decisions taken)";
    return std::nullopt;
  }
  return SettlementOf(table);
}

std::optional<Settlement> PlayIdle(const Member& member, const DealtHand& hand, std::string& why) {
  Table table(member);
  if (!table.Start(hand)) {
    why = "the member cannot pay for this hand";
    return std::nullopt;
  }
  if (!table.RunIdle()) {
    why = "the hand does not come to an end";
    return std::nullopt;
  }
  return SettlementOf(table);
}

}  // namespace hw::replay
