#pragma once
// The game's sounds: the player that turns a sound name into a file under "sounds/" and
// plays it on one of the mixer's channels.
//
// Channels: 0 voices, 1 button and card clicks, 3 effects, 4 the Stop call and the ribbon
// sets. A new sound on a channel ends what the channel was playing.

#include <string>
#include <string_view>

#include "hand/effects.h"
#include "platform/event_loop.h"
#include "platform/file_system.h"
#include "platform/wave_mixer.h"
#include "rules/game_state.h"

namespace hw::ui {

// PlayGameSound: the sound setting, the file under the program folder, the channel and
// the caller's wait.
class GameSoundPlayer final : public SoundPlayer {
 public:
  GameSoundPlayer(const GameState& state, platform::WaveMixer& mixer,
                  const platform::FileSystem& files, platform::EventLoop& loop)
      : state_(state), mixer_(mixer), files_(files), loop_(loop) {}

  // Sound is on while the first character of the setting is 'T'. A sound that is off,
  // missing or unplayable is skipped and nobody waits for it; nothing here ever throws.
  void PlayGameSound(std::string_view name, int channel, bool wait, std::string_view voiceFolder,
                     double delaySeconds) override;

  // Where the sound's file lies: program folder + "sounds/" + (voice folder + "/") + name
  // + ".wav".
  std::string SoundPath(std::string_view name, std::string_view voiceFolder) const;

 private:
  const GameState& state_;
  platform::WaveMixer& mixer_;
  const platform::FileSystem& files_;
  platform::EventLoop& loop_;
};

}  // namespace hw::ui
