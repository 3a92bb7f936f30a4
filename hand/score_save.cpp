#include "hand/score_save.h"

#include "rules/money.h"

namespace hw {

void SaveScore(Game& game, int slot, std::string_view code, std::string_view amount,
               std::string_view missionFlag) {
  if (game.onScoreSave) game.onScoreSave(slot, code, amount, missionFlag);
  GameState& state = game.state;
  PlayerRecord& player = state.Player(slot);
  PlayerInfoRecord& info = state.PlayerInfo;
  const bool own = player.Name == info.Name;

  std::string upPoint(amount);
  if (code == "W") {
    state.Room.SeonName = player.Name;
    player.Money = BigAdd(amount, player.Money);
    player.RunningGain = BigAdd(player.RunningGain, amount);
    game.board.DrawRunningGain(slot);
    player.Wins = BigAdd(player.Wins, "1");
    if (missionFlag == "1") player.MissionCount = BigAdd(player.MissionCount, "1");
  } else if (code == "L") {
    player.Money = BigSubtract(player.Money, amount);
    player.RunningGain = BigSubtract(player.RunningGain, amount);
    game.board.DrawRunningGain(slot);
    upPoint = "-" + upPoint;
    player.Losses = BigAdd(player.Losses, "1");
  } else if (code == "D") {
    player.Draws = BigAdd(player.Draws, "1");
  }

  if (own) {
    info.Money = player.Money;
    info.Wins = player.Wins;
    info.Losses = player.Losses;
    info.Draws = player.Draws;
    info.MissionCount = player.MissionCount;
    if (game.portal != nullptr) {
      game.portal->PostScoreSave({.Name = info.Name,
                                  .GameCode = state.GameInfo.GameCode,
                                  .Money = info.Money,
                                  .UpPoint = upPoint,
                                  .Wins = info.Wins,
                                  .Losses = info.Losses,
                                  .Draws = info.Draws,
                                  .Missions = info.MissionCount});
    }
  }
  game.board.DrawPlayerPanel(slot);
}

}  // namespace hw
