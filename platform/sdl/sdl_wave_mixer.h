#pragma once

#include <SDL_mixer.h>

#include <map>
#include <memory>
#include <string>

#include "platform/wave_mixer.h"

namespace hw::platform {

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

}  // namespace hw::platform
