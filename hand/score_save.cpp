#include "hand/score_save.h"

#include "rules/hand_record.h"
#include "rules/money.h"

namespace hw {

void SaveScore(Game& game, int slot, HandOutcome outcome, std::string_view amount,
               bool missionAchieved) {
  if (game.onScoreSave) game.onScoreSave(slot, outcome, amount, missionAchieved);
  GameState& state = game.state;
  PlayerRecord& player = state.Player(slot);
  PlayerInfoRecord& info = state.PlayerInfo;
  const bool own = player.Name == info.Name;

  if (outcome == HandOutcome::kWon) {
    state.Room.SeonName = player.Name;
    player.Money = BigAdd(amount, player.Money);
    player.RunningGain = BigAdd(player.RunningGain, amount);
    game.board.DrawRunningGain(slot);
    AddOne(player.Wins);
    if (missionAchieved) AddOne(player.MissionCount);
  } else if (outcome == HandOutcome::kLost) {
    player.Money = BigSubtract(player.Money, amount);
    player.RunningGain = BigSubtract(player.RunningGain, amount);
    game.board.DrawRunningGain(slot);
    AddOne(player.Losses);
  } else {
    AddOne(player.Draws);
  }

  if (own) {
    info.Money = player.Money;
    info.Wins = player.Wins;
    info.Losses = player.Losses;
    info.Draws = player.Draws;
    info.MissionCount = player.MissionCount;
    if (game.portal != nullptr) {
      const std::string upPoint =
          outcome == HandOutcome::kLost ? "-" + std::string(amount) : std::string(amount);
      game.portal->PostScoreSave({.Name = info.Name,
                                  .GameCode = state.GameInfo.GameCode,
                                  .Money = info.Money,
                                  .UpPoint = upPoint,
                                  .Wins = info.Wins,
                                  .Losses = info.Losses,
                                  .Draws = info.Draws,
                                  .Missions = info.MissionCount,
                                  .HandId = state.Room.HandId,
                                  .Record = RecordText(state.Record)});
    }
  }
  game.board.DrawPlayerPanel(slot);
}

}  // namespace hw
