#include "scoring/score.h"

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

void CalculateScore(Game& game, int playerIndex) {
  GameState& state = game.state;
  PlayerRecord& player = state.Player(playerIndex);
  const SeatCardSet& seat = state.SeatOf(playerIndex);

  const int brights = seat.CapturedCountByKind[kBright];
  player.BrightScore = BrightPoints(state, seat, brights);
  player.BrightCount = brights;
  player.CapturedCount = brights;

  const int animals = seat.CapturedCountByKind[kAnimal];
  int animalPoints = 0;
  if (animals >= 3) {
    animalPoints = animals >= 5 ? animals - 4 : 0;
    int birds = 0;
    for (int card = 0; card < state.Room.CardsInPlay; ++card) {
      const CardRecord& record = state.Card(card);
      if (record.Location == CapturedBy(playerIndex) && record.Kind == kAnimal &&
          record.Mark == kMarkGodoriBird) {
        ++birds;
      }
    }
    if (birds == 3) {
      animalPoints += 5;
      Announce(game, player, player.GodoriShown, "GODORI", 0);
    }
  }
  player.SevenAnimals = animals >= 7 ? 1 : 0;
  player.CapturedCount += animals;

  const int ribbons = seat.CapturedCountByKind[kRibbon];
  int ribbonPoints = 0;
  if (ribbons >= 3) {
    ribbonPoints = ribbons >= 5 ? ribbons - 4 : 0;
    int redPoem = 0, blue = 0, grass = 0;
    for (int i = 0; i < ribbons; ++i) {
      switch (state.Card(seat.Captured[kRibbon][i]).Mark) {
        case kMarkRedPoemRibbon:
          ++redPoem;
          break;
        case kMarkBlueRibbon:
          ++blue;
          break;
        case kMarkGrassRibbon:
          ++grass;
          break;
        default:
          break;
      }
    }
    if (redPoem == 3) {
      ribbonPoints += 3;
      Announce(game, player, player.HongdanShown, "HONGDAN", 4);
    }
    if (blue == 3) {
      ribbonPoints += 3;
      Announce(game, player, player.ChungdanShown, "CHUNGDAN", 4);
    }
    if (grass == 3) {
      ribbonPoints += 3;
      Announce(game, player, player.ChodanShown, "CHODAN", 4);
    }
  }
  player.CapturedCount += ribbons;

  const int junk = seat.CapturedCountByKind[kJunk];
  player.JunkCount = junk;
  player.CapturedCount += junk;
  int junkValue = 0;
  for (int i = 0; i < junk; ++i) {
    junkValue += state.Card(seat.Captured[kJunk][i]).Mark == kMarkDoubleJunk ? 2 : 1;
  }
  game.board.SetJunkLabel(player.Seat, junkValue);
  player.JunkValue = junkValue;
  player.JunkScore = junkValue >= 10 ? junkValue - 9 : 0;

  player.Score = player.BrightScore + animalPoints + ribbonPoints + player.JunkScore;

  game.board.DrawScore(playerIndex);
  game.board.UpdateMissionMarks();
}

}  // namespace hw
