#pragma once
// The game's sounds: a wave mixer with five numbered channels, and the player that turns
// a sound name into a file under "sounds/" and plays it on one of them.
//
// Channels: 0 voices, 1 button and card clicks, 3 effects, 4 the Stop call and the ribbon
// sets. A new sound on a channel ends what the channel was playing.

#include <SDL_mixer.h>

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "hand/effects.h"
#include "platform/event_loop.h"
#include "platform/file_system.h"
#include "rules/game_state.h"

namespace hw::ui {

inline constexpr int kMixerChannels = 5;

// Several WAV files at once, one per channel.
class WaveMixer {
 public:
  virtual ~WaveMixer() = default;
  // Ends whatever the channel is playing.
  virtual void Stop(int channel) = 0;
  // Plays the WAV file once on the channel. False when it cannot be played.
  virtual bool Play(int channel, const std::string& path) = 0;
  virtual bool IsPlaying(int channel) const = 0;
};

// The mixer on the sound card, through SDL_mixer. When no audio device can be opened
// (no sound card, no driver) it is silent: it accepts every sound and plays none, so the
// game goes on exactly as with sound.
//
// Opens the audio device for the whole program: keep one mixer at a time.
class SdlWaveMixer final : public WaveMixer {
 public:
  SdlWaveMixer();
  ~SdlWaveMixer() override;
  SdlWaveMixer(const SdlWaveMixer&) = delete;
  SdlWaveMixer& operator=(const SdlWaveMixer&) = delete;

  // True when no audio device could be opened; Problem() then says why.
  bool Silent() const { return audio_ == nullptr; }
  const std::string& Problem() const { return problem_; }

  void Stop(int channel) override;
  bool Play(int channel, const std::string& path) override;
  bool IsPlaying(int channel) const override;

 private:
  class AudioDevice;
  struct ChunkDeleter {
    void operator()(Mix_Chunk* chunk) const { Mix_FreeChunk(chunk); }
  };
  using ChunkPtr = std::unique_ptr<Mix_Chunk, ChunkDeleter>;

  static bool ValidChannel(int channel) { return channel >= 0 && channel < kMixerChannels; }

  std::string problem_;
  std::unique_ptr<AudioDevice> audio_;  // declared before the chunks: closed after them
  std::map<std::string, ChunkPtr, std::less<>> chunks_;  // loaded once per path
};

// A mixer for tests: writes down every call and keeps a channel "playing" from its Play
// until its Stop.
class RecordingWaveMixer final : public WaveMixer {
 public:
  struct Call {
    enum class Kind { kStop, kPlay };
    Kind kind;
    int channel;
    std::string path;  // empty for kStop
    friend bool operator==(const Call&, const Call&) = default;
  };

  void Stop(int channel) override {
    calls.push_back({Call::Kind::kStop, channel, {}});
    playing_.erase(channel);
  }
  bool Play(int channel, const std::string& path) override {
    calls.push_back({Call::Kind::kPlay, channel, path});
    if (refusePlay) return false;
    playing_[channel] = path;
    return true;
  }
  bool IsPlaying(int channel) const override { return playing_.contains(channel); }

  std::vector<Call> calls;
  bool refusePlay = false;  // Play fails (the file cannot be played)

 private:
  std::map<int, std::string> playing_;
};

// PlayGameSound: the sound setting, the file under the program folder, the channel and
// the caller's wait.
class GameSoundPlayer final : public SoundPlayer {
 public:
  GameSoundPlayer(const GameState& state, WaveMixer& mixer, const platform::FileSystem& files,
                  platform::EventLoop& loop)
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
  WaveMixer& mixer_;
  const platform::FileSystem& files_;
  platform::EventLoop& loop_;
};

}  // namespace hw::ui
