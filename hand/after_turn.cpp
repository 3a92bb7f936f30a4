#include "hand/after_turn.h"

#include "hand/declarations.h"
#include "hand/settlement.h"
#include "rules/computer_player.h"

namespace hw {
namespace {

// Plays a set's announcement the first time it is complete in this hand.
void Announce(Game& game, const PlayerRecord& player, bool& shown, const char* sound, int channel) {
  if (shown) return;
  shown = true;
  game.sound.PlayGameSound(sound, channel, true, player.VoiceFolder, 0.3);
}

}  // namespace

void CalculateScore(Game& game, int playerIndex) {
  PlayerRecord& player = game.state.Player(playerIndex);
  const ScoreFigures f = ComputeScore(game.state, playerIndex);
  player.BrightScore = f.BrightScore;
  player.BrightCount = f.BrightCount;
  if (f.Godori) Announce(game, player, player.GodoriShown, "GODORI", 0);
  player.SevenAnimals = f.SevenAnimals;
  if (f.Hongdan) Announce(game, player, player.HongdanShown, "HONGDAN", 4);
  if (f.Chungdan) Announce(game, player, player.ChungdanShown, "CHUNGDAN", 4);
  if (f.Chodan) Announce(game, player, player.ChodanShown, "CHODAN", 4);
  player.JunkCount = f.JunkCount;
  game.board.SetJunkLabel(player.Seat, f.JunkValue);
  player.JunkValue = f.JunkValue;
  player.JunkScore = f.JunkScore;
  player.CapturedCount = f.CapturedCount;
  player.Score = f.Score;
  game.board.DrawScore(playerIndex);
  game.board.UpdateMissionMarks();
}

AfterScore DecideAfterScore(Game& game, int player) {
  GameState& state = game.state;
  const PlayerRecord& who = state.Player(player);
  int finished = 0;
  for (const PlayerRecord& p : state.Players)
    finished += p.PlayedCount >= 10;

  if (state.Room.SeptemberChoicePending &&
      state.Card(kSeptemberAnimal).Location == CapturedBy(player)) {
    if (player == kHuman) {
      game.Window().AskSeptemberAnimal();
    } else {
      game.Log({"[", who.Name, "]님 구열결정중.."});
      ChooseSeptemberAnimal(game, player, game.Computer().SeptemberAnimal(state, player));
    }
    return AfterScore::kTakenOver;
  }

  if (who.Score >= 7 && who.Score > who.ScoreAtLastGo) {
    if (who.PlayedCount >= 10) {
      SettleByStop(game, player);
    } else if (player == kHuman) {
      game.Window().AskGoOrStop();
    } else {
      game.Log({"[", who.Name, "]님 고/스톱 결정중입니다"});
      if (game.Computer().Go(state, player)) {
        CallGo(game, player);
      } else {
        CallStop(game, player);
      }
    }
    return AfterScore::kTakenOver;
  }

  if (finished == kPlayers) {
    SettleDraw(game);
    return AfterScore::kTakenOver;
  }

  if (state.Room.ThreePpeokRule == 1 && who.PpeokCount >= 3) {
    game.Log({"[", who.Name, "]님께서 3회뻑으로 승리하셨습니다..짝짝짝!!!"});
    SettleSpecialWin(game, player, SpecialWin::kThreePpeok);
    return AfterScore::kTakenOver;
  }
  return AfterScore::kTurnGoesOn;
}

}  // namespace hw
