#pragma once
// A running game: its state together with the world the rules act on. Game procedures
// take a Game&; pure questions about the state take a const GameState&.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "hand/effects.h"
#include "hand/game_window.h"
#include "platform/desktop.h"
#include "platform/event_loop.h"
#include "rules/computer_player.h"
#include "rules/game_state.h"
#include "rules/random.h"

namespace hw {

struct Game {
  Game(BoardView& boardView, SoundPlayer& soundPlayer, MessageLog& messageLog,
       platform::EventLoop& eventLoop, platform::Desktop& desktopServices, GameRandom randomSource)
      : board(boardView),
        sound(soundPlayer),
        log(messageLog),
        loop(eventLoop),
        desktop(desktopServices),
        random(randomSource) {}

  GameState state;
  BoardView& board;
  SoundPlayer& sound;
  MessageLog& log;
  platform::EventLoop& loop;
  platform::Desktop& desktop;
  GameRandom random;

  // The main window; set once it exists (it needs the game to be built first).
  GameWindow* window = nullptr;
  GameWindow& Window() { return *window; }

  // Who decides the computer's moves: the written player unless another is set.
  ComputerPlayer* computer = &WrittenPlayer::Default();
  ComputerPlayer& Computer() { return *computer; }

  // Where the human's results go; none: they stay local.
  PortalPoster* portal = nullptr;

  // Told of every score save the settlement makes (the simulator listens).
  std::function<void(int slot, HandOutcome outcome, std::string_view amount, bool missionAchieved)>
      onScoreSave;

  // For tests and the simulator: the next hand is dealt from this deck and gets this
  // mission instead of chance's (each is used once).
  std::optional<std::string> nextDeck;
  std::optional<int> nextMission;

  // Writes a game event (yellow) or an information line (white) to the message log.
  void Log(std::string_view text, Rgb colour = kYellow, bool bold = false) {
    log.AppendLog(kLogArea, text, colour, bold);
  }
  void Sound(std::string_view name, int channel, std::string_view voiceFolder = {},
             bool wait = false, double delaySeconds = 0.3) {
    sound.PlayGameSound(name, channel, wait, voiceFolder, delaySeconds);
  }
};

}  // namespace hw
