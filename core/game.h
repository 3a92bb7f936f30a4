#pragma once
// A running game: its state together with the world the rules act on. Game procedures
// take a Game&; pure questions about the state take a const GameState&.

#include "core/effects.h"
#include "core/game_state.h"
#include "core/random.h"
#include "platform/event_loop.h"

namespace hw {

struct Game {
  Game(BoardView& boardView, SoundPlayer& soundPlayer, MessageLog& messageLog,
       platform::EventLoop& eventLoop, GameRandom randomSource)
      : board(boardView),
        sound(soundPlayer),
        log(messageLog),
        loop(eventLoop),
        random(randomSource) {}

  GameState state;
  BoardView& board;
  SoundPlayer& sound;
  MessageLog& log;
  platform::EventLoop& loop;
  GameRandom random;
};

}  // namespace hw
