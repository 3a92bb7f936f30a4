#include "hand/score.h"

#include "hand/declarations.h"
#include "hand/settlement.h"
#include "rules/computer_player.h"

namespace hw {
namespace {

int BrightPoints(const GameState& state, const SeatCardSet& seat, int brights) {
  switch (brights) {
    case 3: {
      // Three brights with the rain bright among them score one point less.
      for (int i = 0; i < brights; ++i) {
        if (state.Card(seat.Captured[kBright][i]).Mark == kMarkRainBright) return 2;
      }
      return 3;
    }
    case 4:
      return 4;
    case 5:
      return 15;
    default:
      return 0;
  }
}

// Plays a set's announcement the first time it is complete in this hand.
void Announce(Game& game, const PlayerRecord& player, bool& shown, const char* sound, int channel) {
  if (shown) return;
  shown = true;
  game.sound.PlayGameSound(sound, channel, true, player.VoiceFolder, 0.3);
}

}  // namespace

ScoreFigures ComputeScore(const GameState& state, int player) {
  const SeatCardSet& seat = state.SeatOf(player);
  ScoreFigures f;

  const int brights = seat.CapturedCountByKind[kBright];
  f.BrightScore = BrightPoints(state, seat, brights);
  f.BrightCount = brights;

  const int animals = seat.CapturedCountByKind[kAnimal];
  int animalPoints = 0;
  if (animals >= 3) {
    animalPoints = animals >= 5 ? animals - 4 : 0;
    int birds = 0;  // the animal pile holds exactly the player's captured animals
    for (int i = 0; i < animals; ++i) {
      birds += state.Card(seat.Captured[kAnimal][i]).Mark == kMarkGodoriBird;
    }
    f.Godori = birds == 3;
    if (f.Godori) animalPoints += 5;
  }
  f.SevenAnimals = animals >= 7 ? 1 : 0;

  const int ribbons = seat.CapturedCountByKind[kRibbon];
  int ribbonPoints = 0;
  if (ribbons >= 3) {
    ribbonPoints = ribbons >= 5 ? ribbons - 4 : 0;
    int redPoem = 0, blue = 0, grass = 0;
    for (int i = 0; i < ribbons; ++i) {
      const int mark = state.Card(seat.Captured[kRibbon][i]).Mark;
      redPoem += mark == kMarkRedPoemRibbon;
      blue += mark == kMarkBlueRibbon;
      grass += mark == kMarkGrassRibbon;
    }
    f.Hongdan = redPoem == 3;
    f.Chungdan = blue == 3;
    f.Chodan = grass == 3;
    ribbonPoints += 3 * (f.Hongdan + f.Chungdan + f.Chodan);
  }

  f.JunkCount = seat.CapturedCountByKind[kJunk];
  for (int i = 0; i < f.JunkCount; ++i) {
    f.JunkValue += state.Card(seat.Captured[kJunk][i]).Mark == kMarkDoubleJunk ? 2 : 1;
  }
  f.JunkScore = f.JunkValue >= 10 ? f.JunkValue - 9 : 0;

  f.CapturedCount = brights + animals + ribbons + f.JunkCount;
  f.Score = f.BrightScore + animalPoints + ribbonPoints + f.JunkScore;
  return f;
}

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

int DecideAfterScore(Game& game, int player) {
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
      game.Log("[" + who.Name + "]님 구열결정중..");
      ChooseSeptemberAnimal(game, player, 2);
    }
    return 0;
  }

  if (who.Score >= 7 && who.Score > who.ScoreAtLastGo) {
    if (who.PlayedCount >= 10) {
      SettleByStop(game, player);
    } else if (player == kHuman) {
      game.Window().AskGoOrStop();
    } else {
      game.Log("[" + who.Name + "]님 고/스톱 결정중입니다");
      if (ChooseGoOrStop(state, player) == -1) {
        CallGo(game, player);
      } else {
        CallStop(game, player);
      }
    }
    return 0;
  }

  if (finished == kPlayers) {
    SettleDraw(game);
    return 0;
  }

  if (state.Room.ThreePpeokRule == 1 && who.PpeokCount >= 3) {
    game.Log("[" + who.Name + "]님께서 3회뻑으로 승리하셨습니다..짝짝짝!!!");
    SettleSpecialWin(game, player, 'P');
    return 0;
  }
  return -1;
}

}  // namespace hw
