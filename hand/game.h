#pragma once
// A running game: its state together with the world the rules act on. Game procedures
// take a Game&; pure questions about the state take a const GameState&.

#include <algorithm>
#include <array>
#include <functional>
#include <initializer_list>
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
  // The players of the two levels (상대 수준), by OpponentLevel; every deal seats the one
  // of the room's level, so that a hand is played at the level it was dealt for. Without
  // a search player the written one plays.
  std::array<ComputerPlayer*, 2> levels{&WrittenPlayer::Default(), nullptr};
  void SeatComputerOfLevel() {
    if (ComputerPlayer* player = levels.at(static_cast<std::size_t>(state.Room.Opponent))) {
      computer = player;
    }
  }
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
  // The same for a line of several pieces ("[", a name, "]님 스톱"): a line of usual
  // length is joined on the stack, so that writing it allocates nothing.
  void Log(std::initializer_list<std::string_view> pieces, Rgb colour = kYellow,
           bool bold = false) {
    std::size_t size = 0;
    for (const std::string_view piece : pieces)
      size += piece.size();
    std::array<char, 256> line;
    if (size > line.size()) {
      std::string longLine;
      longLine.reserve(size);
      for (const std::string_view piece : pieces)
        longLine += piece;
      Log(std::string_view(longLine), colour, bold);
      return;
    }
    char* end = line.data();
    for (const std::string_view piece : pieces)
      end = std::copy(piece.begin(), piece.end(), end);
    Log(std::string_view(line.data(), size), colour, bold);
  }
  void Sound(std::string_view name, int channel, std::string_view voiceFolder = {},
             bool wait = false, double delaySeconds = 0.3) {
    sound.PlayGameSound(name, channel, wait, voiceFolder, delaySeconds);
  }
};

}  // namespace hw
